#include "core/error_recorder.h"

#include <gtest/gtest.h>

#include <limits>

#include "store/run_results.h"

namespace lintaro {
namespace {

// The recorder's running-total operations against a results database: each
// typed column reaches its own cell of its own table, an amount added to a
// sum clears that side's blank flag, and what the tables do not have is left
// alone. That viewing writes nothing is the record viewer's
// test (tests/browse).
TEST(ErrorRecorder, EachTotalsColumnReachesItsCellAndTheFirstEmployeeIsNamed) {
  RunResults run(ResultsDb::CreateInMemory());
  run.AddFile("/in/submission.txt", "01/01/2008");
  run.OpenEmployer("310000001");
  run.AppendRecord(3, "RCW", "RCW...");
  RunState state;
  state.employee_reference = "200000001";
  ErrorRecorder recorder(state, &run, nullptr);
  recorder.CountEmployeeRecord(TotalsTable::kTRCU);
  recorder.AddToTotals({TotalsTable::kTRCT, TotalsKind::kCorrectSum, 25}, 700);
  recorder.AddToTotals({TotalsTable::kTRCT, TotalsKind::kCorrectSum, 25}, 5);
  recorder.AddToTotals({TotalsTable::kTRCT, TotalsKind::kOrigSum, 1}, 30);
  // An amount of zero still makes its sum not blank.
  recorder.AddToTotals({TotalsTable::kTRCU, TotalsKind::kOrigSum, 8}, 0);
  recorder.AddToTotals({TotalsTable::kTRCT, TotalsKind::kCorrectSum, 2}, 0);
  const TotalsColumn reference{TotalsTable::kTRCT, TotalsKind::kErrorReference, 3};
  recorder.NonNumericAmountError("Ref", "[1A]", "Message", 22, reference);
  state.employee_reference = "200000002";
  recorder.NonNumericAmountError("Ref", "[1B]", "Message", 22, reference);
  // Columns the tables do not have, and kinds an operation does not apply to.
  recorder.AddToTotals({TotalsTable::kTRCU, TotalsKind::kCorrectSum, 9}, 1);
  recorder.AddToTotals({TotalsTable::kTRCT, TotalsKind::kCorrectSum, 0}, 1);
  recorder.AddToTotals({TotalsTable::kTRCT, TotalsKind::kRecordCount, 1}, 1);
  recorder.AddToTotals({TotalsTable::kTRCT, TotalsKind::kOrigBlank, 4}, 1);
  recorder.AddToTotals({TotalsTable::kTRCT, TotalsKind::kErrorReference, 4}, 1);

  TotalsRow trct(TotalsTable::kTRCT);
  trct.indx = 1;
  trct.rce_ein = "310000001";
  trct.pair(25).correct = 705;
  trct.pair(25).correct_blank = false;
  trct.pair(1).orig = 30;
  trct.pair(1).orig_blank = false;
  trct.pair(2).correct_blank = false;
  trct.pair(3).err_ref = "200000001";
  run.Flush();
  EXPECT_EQ(run.db().ReadTotals(TotalsTable::kTRCT, 1), trct);
  TotalsRow trcu(TotalsTable::kTRCU);
  trcu.indx = 1;
  trcu.rce_ein = "310000001";
  trcu.count = 1;
  trcu.pair(8).orig_blank = false;
  EXPECT_EQ(run.db().ReadTotals(TotalsTable::kTRCU, 1), trcu);
  // The counted record is stamped with the employee and the employer's row.
  EXPECT_EQ(run.current().rec_reference, "200000001");
  EXPECT_EQ(run.current().rce_indx, 1);
  EXPECT_EQ(run.error_count(), 2);
}

// Sums far beyond any total of 15 digits (tens of millions of the largest
// employee amounts in one employer's block) stop at the largest whole
// number, on both sides of a pair, rather than going round to small or
// negative values that a total could match; the store reads them back so.
TEST(ErrorRecorder, ASumBeyondTheLargestNumberStaysThere) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kLargestAmount = 99999999999;  // 11 digits of cents
  RunResults run(ResultsDb::CreateInMemory());
  run.AddFile("/in/submission.txt", "01/01/2008");
  run.OpenEmployer("310000001");
  RunState state;
  ErrorRecorder recorder(state, &run, nullptr);
  const TotalsColumn correct{TotalsTable::kTRCT, TotalsKind::kCorrectSum, 1};
  const TotalsColumn orig{TotalsTable::kTRCU, TotalsKind::kOrigSum, 8};
  recorder.AddToTotals(correct, kMax - kLargestAmount);
  recorder.AddToTotals(orig, kMax - 1);
  EXPECT_EQ(run.employer(TotalsTable::kTRCT)->pair(1).correct, kMax - kLargestAmount);
  recorder.AddToTotals(correct, kLargestAmount + 1);
  recorder.AddToTotals(correct, kLargestAmount);
  recorder.AddToTotals(orig, kLargestAmount);
  EXPECT_EQ(run.employer(TotalsTable::kTRCT)->pair(1).correct, kMax);
  EXPECT_EQ(run.employer(TotalsTable::kTRCU)->pair(8).orig, kMax);

  run.Flush();
  EXPECT_EQ(run.db().ReadTotals(TotalsTable::kTRCT, 1)->pair(1).correct, kMax);
  EXPECT_EQ(run.db().ReadTotals(TotalsTable::kTRCU, 1)->pair(8).orig, kMax);
}

// A finding about a field is written straight into its row of a batch,
// whose storage held a finding written before: each row read back holds its
// own texts whole, none of a longer one before it. Flushed after each record,
// the run fills its batches in turn again.
TEST(ErrorRecorder, FieldFindingsWrittenIntoUsedRowsHoldTheirOwnTexts) {
  constexpr FieldSpec kLong{4, 105, 22, "Employee Location Address", ""};
  constexpr FieldSpec kShort{9, 7, 1, "Tax Code", ""};
  RunResults run(ResultsDb::CreateInMemory());
  RunState state;
  ErrorRecorder recorder(state, &run, nullptr);
  for (int64_t r = 1; r <= 6; ++r) {
    run.AppendRecord(r, "RCW", "RCW...");
    if (r <= 2)
      recorder.FieldError(kLong, "12 Long Street Suite 4", "A long message about the address.");
    else
      recorder.FieldError(kShort, "", "Short.");
    run.Flush();
  }
  for (int64_t r = 1; r <= 6; ++r) {
    SCOPED_TRACE(r);
    const std::vector<ErrorRow> rows = run.ErrorsOf(r);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(
        rows[0].type + "|" + rows[0].reference + "|" + rows[0].user_entry + "|" + rows[0].error,
        r <= 2 ? "|Employee Location Address [Position 105 - 126]|[12 Long Street Suite 4]|"
                 "A long message about the address."
               : "|Tax Code [Position 7]|[]|Short.");
  }
  EXPECT_EQ(run.error_count(), 6);
}

}  // namespace
}  // namespace lintaro
