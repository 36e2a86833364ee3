#include "browse/commands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace lintaro {
namespace {

using C = Command;
using E = CommandEvent;

// The commands the user can run now, by name.
std::set<std::string> Enabled(const CommandState& s) {
  std::set<std::string> on;
  for (size_t i = 0; i < kCommandCount; ++i) {
    const auto c = static_cast<Command>(i);
    if (s.enabled(c)) on.insert(std::string(CommandName(c)));
  }
  return on;
}

TEST(CommandStateTest, WindowOpened) {
  CommandState s;
  EXPECT_EQ(Enabled(s),
            (std::set<std::string>{"cmdStart", "cmdLast", "cmdExit", "mnuTStart", "mnuTOpenLast",
                                   "mnuTSet", "mnuTExit", "mnuVReport", "mnuRLast", "mnuHContents",
                                   "mnuHAbout"}));
  // With Errors and All Tested are enabled themselves but sit in the
  // disabled Records submenu.
  EXPECT_TRUE(s.own(C::mnuVRErrors));
  EXPECT_TRUE(s.own(C::mnuVRAll));
  EXPECT_FALSE(s.enabled(C::mnuVRErrors));
  EXPECT_FALSE(s.own(C::mnuRCurrent));
  EXPECT_FALSE(s.own(C::mnuTPrint));
}

TEST(CommandStateTest, RunWithoutErrors) {
  CommandState s;
  s.SetRunInProgress(true);
  s.Apply(E::kRunStarted);
  EXPECT_EQ(Enabled(s), (std::set<std::string>{"cmdExit", "mnuTExit", "mnuHContents",
                                               "mnuHAbout"}));
  s.Apply(E::kRunCompletion);
  s.Apply(E::kRunClean);
  s.Apply(E::kRunEnded);
  s.SetRunInProgress(false);
  EXPECT_EQ(Enabled(s),
            (std::set<std::string>{"cmdStart", "cmdView", "cmdExit", "mnuTStart", "mnuTSet",
                                   "mnuTExit", "mnuVRecords", "mnuVRAll", "mnuHContents",
                                   "mnuHAbout"}));
}

TEST(CommandStateTest, RunOnFileWithoutValidData) {
  CommandState s;
  s.Apply(E::kRunStarted);
  s.Apply(E::kRunCompletion);
  s.Apply(E::kRunNoValidData);
  s.Apply(E::kRunEnded);
  EXPECT_TRUE(s.enabled(C::cmdStart));
  EXPECT_FALSE(s.enabled(C::cmdView));
  EXPECT_TRUE(s.enabled(C::mnuVRAll));
  EXPECT_FALSE(s.enabled(C::mnuVReport));
}

TEST(CommandStateTest, GridViewWithErrors) {
  CommandState s;
  s.SetRunInProgress(true);
  s.Apply(E::kRunStarted);
  s.Apply(E::kGridViewWithErrors);  // the stop path shows the grids
  // Still held while the run unwinds.
  EXPECT_FALSE(s.enabled(C::cmdStart));
  EXPECT_FALSE(s.enabled(C::mnuTStart));
  s.Apply(E::kRunEnded);
  s.SetRunInProgress(false);
  EXPECT_EQ(Enabled(s),
            (std::set<std::string>{"cmdStart", "cmdView", "cmdErrors", "cmdPrint", "cmdExit",
                                   "mnuTStart", "mnuTPrint", "mnuTSet", "mnuTExit", "mnuVReport",
                                   "mnuRCurrent", "mnuVRecords", "mnuVRAll", "mnuVRErrors",
                                   "mnuHContents", "mnuHAbout"}));
}

TEST(CommandStateTest, GridViewWithoutErrorsAndRecordView) {
  CommandState s;
  s.Apply(E::kRunStarted);
  s.Apply(E::kRunCompletion);
  s.Apply(E::kRunClean);
  s.Apply(E::kGridViewNoErrors);
  EXPECT_FALSE(s.own(C::mnuVReport));
  EXPECT_FALSE(s.own(C::mnuVRErrors));
  EXPECT_FALSE(s.own(C::cmdGrid));
  EXPECT_TRUE(s.own(C::cmdView));

  s.Apply(E::kRecordViewOpened);
  EXPECT_TRUE(s.own(C::cmdGrid));
  EXPECT_FALSE(s.own(C::cmdView));
  s.Apply(E::kGridViewWithErrors);
  s.Apply(E::kRecordViewEmpty);
  EXPECT_FALSE(s.own(C::cmdView));
  EXPECT_FALSE(s.own(C::cmdGrid));
}

TEST(CommandStateTest, LastResultsOutcomes) {
  {
    CommandState s;
    s.Apply(E::kLastNoReport);
    EXPECT_FALSE(s.enabled(C::cmdLast));
    EXPECT_FALSE(s.enabled(C::mnuTOpenLast));
    EXPECT_FALSE(s.enabled(C::mnuVReport));
    EXPECT_TRUE(s.enabled(C::cmdStart));
  }
  {
    CommandState s;
    s.Apply(E::kLastUnreadable);
    EXPECT_FALSE(s.own(C::cmdLast));
    EXPECT_FALSE(s.own(C::mnuRLast));
    EXPECT_FALSE(s.own(C::mnuVRErrors));
    EXPECT_FALSE(s.own(C::mnuVRAll));
    EXPECT_FALSE(s.own(C::mnuVRecords));
    EXPECT_FALSE(s.own(C::cmdView));
  }
  {
    CommandState s;
    s.Apply(E::kLastNoErrors);
    EXPECT_TRUE(s.enabled(C::cmdView));
    EXPECT_TRUE(s.enabled(C::mnuVRAll));
    EXPECT_FALSE(s.enabled(C::mnuVRErrors));
    EXPECT_FALSE(s.enabled(C::cmdLast));
    // The Report submenu stays open for Current, but Last is gone.
    EXPECT_FALSE(s.enabled(C::mnuRLast));
  }
  {
    CommandState s;
    s.Apply(E::kGridViewWithErrors);
    s.Apply(E::kLastWithErrors);
    EXPECT_FALSE(s.enabled(C::cmdLast));
    EXPECT_FALSE(s.enabled(C::mnuTOpenLast));
    EXPECT_FALSE(s.enabled(C::mnuRLast));
    EXPECT_TRUE(s.enabled(C::mnuRCurrent));
  }
}

TEST(CommandStateTest, ReopeningLastResultsNeverComesBack) {
  CommandState s;
  s.Apply(E::kRunStarted);
  s.Apply(E::kWindowOpened);  // even the initial rules cannot enable them again
  s.Apply(E::kGridViewWithErrors);
  EXPECT_FALSE(s.own(C::cmdLast));
  EXPECT_FALSE(s.own(C::mnuTOpenLast));
  EXPECT_FALSE(s.own(C::mnuRLast));
  EXPECT_TRUE(s.own(C::cmdStart));
}

TEST(CommandStateTest, ReportRequestHoldsReportCommands) {
  CommandState s;
  s.Apply(E::kGridViewWithErrors);
  s.SetReportInProgress(true);
  EXPECT_FALSE(s.enabled(C::cmdErrors));
  EXPECT_FALSE(s.enabled(C::cmdPrint));
  EXPECT_FALSE(s.enabled(C::mnuRCurrent));
  EXPECT_TRUE(s.enabled(C::cmdStart));
  s.SetReportInProgress(false);
  EXPECT_TRUE(s.enabled(C::cmdErrors));
  EXPECT_TRUE(s.enabled(C::cmdPrint));
}

TEST(CommandStateTest, NamesRoundTrip) {
  for (size_t i = 0; i < kCommandCount; ++i) {
    const auto c = static_cast<Command>(i);
    ASSERT_EQ(CommandByName(CommandName(c)), c) << CommandName(c);
  }
  EXPECT_FALSE(CommandByName("cmdNothing").has_value());
  EXPECT_EQ(SubmenuOf(C::mnuRCurrent), C::mnuVReport);
  EXPECT_EQ(SubmenuOf(C::mnuVRAll), C::mnuVRecords);
  EXPECT_FALSE(SubmenuOf(C::mnuTStart).has_value());
}

}  // namespace
}  // namespace lintaro
