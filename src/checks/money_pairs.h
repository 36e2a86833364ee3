// Correction pairs: every corrected value is given twice in a record, as
// originally reported and as correct.
//
// A money pair is described by its two fields in the record's layout and its
// index n among the record's pairs, which is also the pair of the running
// totals it is summed into or compared with. The employee records' pairs
// are checked here (CheckEmployeeMoneyPair: RCW into TRCT, RCO into TRCU);
// the total records' pairs are compared with those sums in
// totals/total_comparisons.h. FieldPairCheck checks any other pair (SSN,
// names, EIN, codes, indicators) for blankness and equality.
//
// Amounts are whole cents. Nothing here writes while viewing (findings then
// only mark rows).
#ifndef LINTARO_CHECKS_MONEY_PAIRS_H_
#define LINTARO_CHECKS_MONEY_PAIRS_H_

#include <cstddef>
#include <span>
#include <string_view>

#include "checks/field_layout.h"
#include "store/rows.h"

namespace lintaro {

struct CheckContext;

// Messages of the money pair check of an employee record.
inline constexpr const char* kMoneyNotNumericMessage =
    "Must be numeric or blank. No negative amounts; right justify and zero fill.";
inline constexpr const char* kMoneyCorrectBlankMessage =
    "A value was entered in the Originally Reported Money field and the Correct Money field is "
    "blank. Either change the Originally Reported Money Field to blank or enter a value in the "
    "Correct Money field.";
inline constexpr const char* kMoneySameMessage =
    "The Originally Reported Money field amount must not be the same as the Correct Money field "
    "amount.";
inline constexpr const char* kMoneyAllZerosMessage =
    "All zeros in the Correct Money field will zero out the Originally Reported Money field. "
    "Please make sure this is correct.";
// All-zero Correct amounts are reported up to this many times per run.
inline constexpr int kZeroAmountFindings = 10;

// The employee record whose amounts a running-total table sums ("RCW" for
// TRCT, "RCO" for TRCU) and the total record compared with the sums ("RCT",
// "RCU").
constexpr const char* EmployeeRecordOf(TotalsTable table) {
  return table == TotalsTable::kTRCT ? "RCW" : "RCO";
}
constexpr const char* TotalRecordOf(TotalsTable table) {
  return table == TotalsTable::kTRCT ? "RCT" : "RCU";
}

// One money pair of a record: its Originally Reported and Correct fields,
// taken from the record's layout, its index n among the record's pairs
// (from 1) and the running-total table its amounts are summed into
// (employee records) or compared with (total records).
struct MoneyPair {
  const FieldSpec& orig;
  const FieldSpec& correct;
  int index;
  TotalsTable totals;

  // The pair's column of kind `kind` in the running totals.
  constexpr TotalsColumn column(TotalsKind kind) const { return {totals, kind, index}; }
};

// The numbers of a money pair's two fields in its record's layout.
struct MoneyPairFields {
  int orig;
  int correct;
};

// The money pairs of a record type: its layout, the fields of its pairs in
// pair order (pairs[n - 1] is pair n) and its running-total table.
struct MoneyPairLayout {
  std::span<const FieldSpec> fields;
  std::span<const MoneyPairFields> pairs;
  TotalsTable totals;

  constexpr int count() const { return static_cast<int>(pairs.size()); }
  // Pair n, 1 to count().
  constexpr MoneyPair pair(int n) const {
    const MoneyPairFields& p = pairs[static_cast<size_t>(n - 1)];
    return {fields[static_cast<size_t>(p.orig)], fields[static_cast<size_t>(p.correct)], n, totals};
  }
};

// True when every pair of layout is as the checks take it: as many pairs as
// its running-total table has, each field numbered as its place in the
// layout, the Originally Reported field just before the Correct field and
// as wide, and the two labels the same name after orig_prefix and
// correct_prefix ("Originally Reported " and "Correct ", with "Total "
// before both on a total record). For static_assert beside each layout.
constexpr bool PairsFollowLayout(const MoneyPairLayout& layout, std::string_view orig_prefix,
                                 std::string_view correct_prefix) {
  if (layout.count() != PairCount(layout.totals)) return false;
  for (int n = 1; n <= layout.count(); ++n) {
    const MoneyPairFields& numbers = layout.pairs[static_cast<size_t>(n - 1)];
    const MoneyPair pair = layout.pair(n);
    if (pair.orig.number != numbers.orig || pair.correct.number != numbers.correct ||
        pair.correct.number != pair.orig.number + 1 || pair.correct.start != pair.orig.end() + 1 ||
        pair.correct.width != pair.orig.width || !pair.orig.label.starts_with(orig_prefix) ||
        !pair.correct.label.starts_with(correct_prefix) ||
        pair.orig.label.substr(orig_prefix.size()) !=
            pair.correct.label.substr(correct_prefix.size()))
      return false;
  }
  return true;
}

// The money pair step of an employee record: nothing when both amounts are
// blank (no correction); otherwise the Originally Reported field's
// characters (the money invalid-character finding names the pair's total
// record), then CheckEmployeeAmounts.
void CheckEmployeeMoneyPair(std::string_view record, const MoneyPair& pair, CheckContext& ctx);

// The amounts of an employee money pair: a finding for a blank Correct
// amount beside a numeric Originally Reported one, for a Correct amount
// that is not numeric (which names the employee in the pair's error
// reference), for two equal amounts and for an all-zero Correct amount
// (up to kZeroAmountFindings per run). In a test run each numeric amount is
// added to the pair's sum in the current employer's running totals and
// clears the sum's blank flag. While viewing, a numeric Originally Reported
// amount gives its field its normal background again.
void CheckEmployeeAmounts(std::string_view record, const MoneyPair& pair, CheckContext& ctx);

// The pair check of a non-money pair of fields of the same width: the
// Correct field against the Originally Reported one. mandatory chooses the
// message for two equal fields.
void FieldPairCheck(std::string_view record, const FieldSpec& orig, const FieldSpec& correct,
                    bool mandatory, CheckContext& ctx);

// Military pay (money pair 16 of RCW and of RCT) may be reported only in
// the tax years 1995 to 2001; outside them both of its amounts must be zero
// or blank.
inline constexpr const char* kMilitaryPayYearsMessage =
    "Must be zero or blank for years prior to 1995 and years after 2001.";
inline constexpr int kMilitaryPayPair = 16;
constexpr bool MilitaryPayAllowed(int tax_year) { return tax_year >= 1995 && tax_year <= 2001; }
// Blanks only, or zeros only.
bool ZeroOrBlankAmount(std::string_view text);

}  // namespace lintaro

#endif  // LINTARO_CHECKS_MONEY_PAIRS_H_
