// The engine keeps no state outside its run: two runs at once in one
// process, on two threads, store exactly what each stores alone.
#include <latch>
#include <thread>

#include "run_test_base.h"

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

// Every stored row of a run, one line each, without the program folder's
// own name.
std::vector<std::string> StoredRows(const RunOutput& out) {
  std::vector<std::string> rows;
  for (const MiscRow& m : out.files)
    rows.push_back("misc " + m.rpt_date + std::to_string(m.pin_ok));
  for (const RecordRow& r : out.records)
    rows.push_back("record " + std::to_string(r.rec_num) + r.id + std::to_string(r.rce_indx) + " " +
                   std::to_string(r.errors) + r.rec_reference + r.record);
  for (const ErrorRow& e : out.errors)
    rows.push_back("error " + std::to_string(e.err_num) + e.type + std::to_string(e.rec_num) +
                   e.reference + "|" + e.user_entry + "|" + e.error);
  for (const auto* table : {&out.trct, &out.trcu}) {
    for (const TotalsRow& t : *table) {
      std::string row = "totals " + std::to_string(t.indx) + t.rce_ein + std::to_string(t.count);
      for (const TotalsRow::Pair& p : t.pairs)
        row += " " + std::to_string(p.correct) + std::to_string(p.correct_blank) +
               std::to_string(p.orig) + std::to_string(p.orig_blank) + p.err_ref;
      rows.push_back(row);
    }
  }
  return rows;
}

// "" when equal, else the first row that differs.
std::string FirstDifference(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    const std::string x = i < a.size() ? a[i] : "<none>";
    const std::string y = i < b.size() ? b[i] : "<none>";
    if (x != y)
      return "row " + std::to_string(i) + ":\n  " + x.substr(0, 300) + "\n  " + y.substr(0, 300);
  }
  return "";
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
      EXPECT_EQ(FirstDifference(StoredRows(together[i]), StoredRows(alone[i])), "")
          << "submission " << i << ", round " << round;
    }
  }
}

}  // namespace
}  // namespace lintaro
