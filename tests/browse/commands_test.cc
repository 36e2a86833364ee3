#include "browse/commands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace lintaro {
namespace {

using C = Command;
using E = CommandEvent;

// The enable rules as a state machine. The commands the window shows
// enabled after each of the user's paths are in tests/ui/states; here what
// holds them during a run and a report request.

TEST(CommandState, ARunAndAReportRequestHoldTheirCommandsAndEventsSetTheirOwn) {
  const std::set<std::string> always = {"cmdExit", "mnuTExit", "mnuHContents", "mnuHAbout"};
  CommandState s;
  s.SetRunInProgress(true);
  s.Apply(E::kRunStarted);
  for (size_t i = 0; i < kCommandCount; ++i) {
    const std::string name(CommandName(static_cast<Command>(i)));
    EXPECT_EQ(s.enabled(static_cast<Command>(i)), always.count(name) == 1) << name;
  }
  s.Apply(E::kGridViewWithErrors);       // the stop path shows the grids
  EXPECT_FALSE(s.enabled(C::cmdStart));  // still held while the run unwinds
  s.Apply(E::kRunEnded);
  s.SetRunInProgress(false);
  EXPECT_TRUE(s.enabled(C::cmdStart) && s.enabled(C::cmdErrors) && s.enabled(C::mnuTPrint));
  s.SetReportInProgress(true);
  for (C held : {C::cmdErrors, C::cmdPrint, C::mnuTPrint, C::mnuRCurrent})
    EXPECT_FALSE(s.enabled(held)) << CommandName(held);
  EXPECT_TRUE(s.enabled(C::mnuVReport) && s.enabled(C::cmdView));
  s.SetReportInProgress(false);
  EXPECT_TRUE(s.enabled(C::cmdErrors) && s.enabled(C::cmdPrint));
  // With Errors and All Tested are enabled themselves but sit in the
  // disabled Records submenu.
  CommandState opened;
  EXPECT_TRUE(opened.own(C::mnuVRErrors));
  EXPECT_FALSE(opened.enabled(C::mnuVRErrors));

  struct Case {
    std::vector<E> events;
    std::vector<C> on, off;
  };
  // The paths the window shows are in tests/ui/states; these it does not.
  const std::vector<Case> cases = {
      {{E::kGridViewWithErrors, E::kRecordViewEmpty}, {}, {C::cmdView, C::cmdGrid}},
      // Reopening the last results never comes back, not even by the
      // initial rules.
      {{E::kRunStarted, E::kWindowOpened, E::kGridViewWithErrors},
       {C::cmdStart},
       {C::cmdLast, C::mnuTOpenLast, C::mnuRLast}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    CommandState after;
    for (E e : cases[i].events) after.Apply(e);
    for (C c : cases[i].on) EXPECT_TRUE(after.enabled(c)) << i << " " << CommandName(c);
    for (C c : cases[i].off) EXPECT_FALSE(after.own(c)) << i << " " << CommandName(c);
  }
  EXPECT_EQ(SubmenuOf(C::mnuRCurrent), C::mnuVReport);
  EXPECT_EQ(SubmenuOf(C::mnuVRAll), C::mnuVRecords);
  EXPECT_FALSE(SubmenuOf(C::mnuTStart).has_value());
}

}  // namespace
}  // namespace lintaro
