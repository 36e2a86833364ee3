// A results database that fails while the run writes it ends the run with
// the failure, reported once, and the run's counts are what was stored.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "run_test_base.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;

class StoreFailureTest : public RunTestBase {};

TEST_F(StoreFailureTest, AFullDatabaseEndsTheRunWithItsFailure) {
  auto db = ResultsDb::CreateInMemory();
  // Room for a few dozen records.
  sqlite3_exec(db->handle(), "PRAGMA max_page_count = 30", nullptr, nullptr, nullptr);
  results_store = db.get();
  batch_records = 8;
  const RunSummary summary = RunRecords(CleanSubmission(300));
  EXPECT_EQ(summary.outcome, RunOutcome::kFailed);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].title, "Submission File Error");
  EXPECT_EQ(prompts.messages[0].text.rfind("Error Number: 13\r\nError Description: ", 0), 0u)
      << prompts.messages[0].text;
  EXPECT_NE(prompts.messages[0].text.find("database or disk is full"), std::string::npos);
  EXPECT_GT(summary.records_tested, 0);
  EXPECT_LT(summary.records_tested, 300);
  EXPECT_EQ(summary.records_tested % 8, 0);
  EXPECT_EQ(static_cast<int64_t>(out.records.size()), summary.records_tested);
}

}  // namespace
}  // namespace lintaro
