// The engine keeps no state outside its run: two runs at once in one
// process, on two threads, store exactly what each stores alone.
#include <gtest/gtest.h>

#include <latch>
#include <thread>

#include "core/error_limit.h"
#include "support/clean_records.h"
#include "support/line_diff.h"
#include "support/run_fixture.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;

// Employees with findings every few records. The two submissions differ in
// what one record sets for the next ones (the employer's tax year and
// employment code), so that state shared between runs would change what
// the other run finds.
std::vector<std::string> Submission(int employees, const Fields& employer, int every) {
  std::vector<std::string> records = CleanSubmission(employees);
  records[1] = Patch(records[1], employer);
  for (int i = 0; i < employees; i += every)
    records[static_cast<size_t>(2 + i)] = Patch(records[static_cast<size_t>(2 + i)], {{188, "ZZ"}});
  return records;
}

TEST(ConcurrentRuns, TwoRunsAtOnceStoreWhatEachStoresAlone) {
  const std::vector<std::vector<std::string>> submissions = {
      Submission(12000, {}, 7), Submission(10000, {{4, "2006"}, {17, "310000002"}, {223, "X"}}, 5)};
  std::vector<RunOutput> alone;
  for (const auto& s : submissions) alone.push_back(RunRecords(s, kMaxErrorLimit));
  for (const RunOutput& out : alone) ASSERT_GT(out.errors.size(), 1000u);
  ASSERT_NE(alone[0].errors.size(), alone[1].errors.size());

  for (int round = 0; round < 2; ++round) {
    std::vector<RunOutput> together(submissions.size());
    std::latch start(static_cast<std::ptrdiff_t>(submissions.size()));
    std::vector<std::thread> threads;
    for (size_t i = 0; i < submissions.size(); ++i) {
      threads.emplace_back([&, i] {
        start.arrive_and_wait();
        together[i] = RunRecords(submissions[i], kMaxErrorLimit);
      });
    }
    for (std::thread& t : threads) t.join();
    for (size_t i = 0; i < submissions.size(); ++i) {
      EXPECT_EQ(together[i].summary.outcome, alone[i].summary.outcome);
      EXPECT_EQ(together[i].summary.errors, alone[i].summary.errors);
      EXPECT_EQ(LineDiff(StoredRows(alone[i]), StoredRows(together[i])), "")
          << "submission " << i << ", round " << round;
    }
  }
}

}  // namespace
}  // namespace lintaro
