#include "browse/commands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace lintaro {
namespace {

using C = Command;
using E = CommandEvent;

// The enable rules as a state machine; tests/ui/main_window_test.cc checks
// them on the window after real runs and results.

// The commands the user can run now, by name.
std::set<std::string> Enabled(const CommandState& s) {
  std::set<std::string> on;
  for (size_t i = 0; i < kCommandCount; ++i)
    if (s.enabled(static_cast<Command>(i)))
      on.insert(std::string(CommandName(static_cast<Command>(i))));
  return on;
}

TEST(CommandState, EnabledSetsAfterEachPath) {
  const std::set<std::string> always = {"cmdExit", "mnuTExit", "mnuHContents", "mnuHAbout"};
  auto with = [&](std::set<std::string> more) {
    more.insert(always.begin(), always.end());
    return more;
  };
  CommandState opened;
  EXPECT_EQ(Enabled(opened), with({"cmdStart", "cmdLast", "mnuTStart", "mnuTOpenLast", "mnuTSet",
                                   "mnuVReport", "mnuRLast"}));
  // With Errors and All Tested are enabled themselves but sit in the
  // disabled Records submenu.
  EXPECT_TRUE(opened.own(C::mnuVRErrors));
  EXPECT_FALSE(opened.enabled(C::mnuVRErrors));
  EXPECT_FALSE(opened.own(C::mnuRCurrent));

  CommandState clean;
  clean.SetRunInProgress(true);
  clean.Apply(E::kRunStarted);
  EXPECT_EQ(Enabled(clean), always);
  for (E e : {E::kRunCompletion, E::kRunClean, E::kRunEnded}) clean.Apply(e);
  clean.SetRunInProgress(false);
  EXPECT_EQ(Enabled(clean),
            with({"cmdStart", "cmdView", "mnuTStart", "mnuTSet", "mnuVRecords", "mnuVRAll"}));

  CommandState errors;
  errors.SetRunInProgress(true);
  errors.Apply(E::kRunStarted);
  errors.Apply(E::kGridViewWithErrors);       // the stop path shows the grids
  EXPECT_FALSE(errors.enabled(C::cmdStart));  // still held while the run unwinds
  errors.Apply(E::kRunEnded);
  errors.SetRunInProgress(false);
  EXPECT_EQ(Enabled(errors), with({"cmdStart", "cmdView", "cmdErrors", "cmdPrint", "mnuTStart",
                                   "mnuTPrint", "mnuTSet", "mnuVReport", "mnuRCurrent",
                                   "mnuVRecords", "mnuVRAll", "mnuVRErrors"}));
  // A report request holds the report commands.
  errors.SetReportInProgress(true);
  EXPECT_EQ(Enabled(errors), with({"cmdStart", "cmdView", "mnuTStart", "mnuTSet", "mnuVRecords",
                                   "mnuVRAll", "mnuVRErrors", "mnuVReport"}));
  errors.SetReportInProgress(false);
  EXPECT_TRUE(errors.enabled(C::cmdErrors) && errors.enabled(C::cmdPrint));
}

TEST(CommandState, OwnStateAfterEvents) {
  struct Case {
    std::vector<E> events;
    std::vector<C> on, off;
  };
  const std::vector<Case> cases = {
      {{E::kRunStarted, E::kRunCompletion, E::kRunNoValidData, E::kRunEnded},
       {C::cmdStart, C::mnuVRAll},
       {C::cmdView, C::mnuVReport}},
      {{E::kRunStarted, E::kRunCompletion, E::kRunClean, E::kGridViewNoErrors},
       {C::cmdView},
       {C::mnuVReport, C::mnuVRErrors, C::cmdGrid}},
      {{E::kGridViewNoErrors, E::kRecordViewOpened}, {C::cmdGrid}, {C::cmdView}},
      {{E::kGridViewWithErrors, E::kRecordViewEmpty}, {}, {C::cmdView, C::cmdGrid}},
      // The Report submenu stays open for Current, but Last is gone.
      {{E::kLastNoErrors}, {C::cmdView, C::mnuVRAll}, {C::mnuVRErrors, C::cmdLast, C::mnuRLast}},
      // Reopening the last results never comes back, not even by the
      // initial rules.
      {{E::kRunStarted, E::kWindowOpened, E::kGridViewWithErrors},
       {C::cmdStart},
       {C::cmdLast, C::mnuTOpenLast, C::mnuRLast}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    CommandState s;
    for (E e : cases[i].events) s.Apply(e);
    for (C c : cases[i].on) EXPECT_TRUE(s.enabled(c)) << i << " " << CommandName(c);
    for (C c : cases[i].off) EXPECT_FALSE(s.own(c)) << i << " " << CommandName(c);
  }
  EXPECT_EQ(SubmenuOf(C::mnuRCurrent), C::mnuVReport);
  EXPECT_EQ(SubmenuOf(C::mnuVRAll), C::mnuVRecords);
  EXPECT_FALSE(SubmenuOf(C::mnuTStart).has_value());
}

}  // namespace
}  // namespace lintaro
