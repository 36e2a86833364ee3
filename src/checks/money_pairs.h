// Correction pairs: every corrected value is given twice in a record, as
// originally reported and as correct.
//
// MoneyFieldCheck checks a money pair of an employee record (Id "RW": RCW,
// totals in TRCT; "RO": RCO, totals in TRCU): it reports the pair's
// problems and, in a test run, adds both amounts to the current employer's
// running totals. The total records' pairs are compared with those totals
// in totals/total_comparisons.h. FieldPairCheck checks any other pair (SSN,
// names, EIN, codes, indicators) for blankness and equality.
//
// Positions are 1-based and inclusive; amounts are whole cents. Nothing
// here writes while viewing (findings then only mark rows).
#ifndef LINTARO_CHECKS_MONEY_PAIRS_H_
#define LINTARO_CHECKS_MONEY_PAIRS_H_

#include <cstdint>
#include <string>
#include <string_view>

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

// The value of a text of digits (NumCheck true), in cents.
int64_t AmountValue(std::string_view digits);

// Feeds an Originally Reported amount into column origColumn ("Orig" + n)
// of the current employer row (TRCT for "RW", TRCU for "RO") and clears
// its blank flag, when the trimmed text is a number. While viewing it
// instead gives the Originally Reported field (row txtArrayNum - 1) its
// normal background. Other Ids: nothing.
void AddOrigTotal(std::string_view OrigText, std::string_view Id, std::string_view origColumn,
                  int txtArrayNum, CheckContext& ctx);

// The money pair check. txtline: the record; Id: "RW" or "RO" (other Ids:
// nothing); FieldName: the correct field's long name ("Correct Social
// Security Wages"); the correct field at cFieldBegPos-cFieldEndPos, the
// originally reported field at oFieldBegPos-oFieldEndPos, both cFieldLength
// wide; txtArrayNum: the correct field's number (the originally reported
// field is the one before); totalFieldName: the pair number n ("1" to "25").
void MoneyFieldCheck(const std::string& txtline, std::string_view Id, std::string_view FieldName,
                     int cFieldBegPos, int cFieldEndPos, int cFieldLength, int oFieldBegPos,
                     int oFieldEndPos, int txtArrayNum, std::string_view totalFieldName,
                     CheckContext& ctx);

// The pair check of a non-money pair: the correct field (width characters
// at cBeg, ending at cEnd) against the originally reported one at oBeg.
// label is the correct field's long name; fieldNumber the correct field's
// number; mandatory chooses the message for two equal fields.
void FieldPairCheck(const std::string& record, std::string_view label, int cBeg, int cEnd,
                    int width, int oBeg, int fieldNumber, bool mandatory, CheckContext& ctx);

// One money pair of an employee record, 11 characters each, in the order
// the records check it: CharCheck of the Originally Reported field (money
// invalid-character message naming RCT for "RW", RCU for "RO"; reference
// "Originally Reported " + longName, field cRow - 1), then MoneyFieldCheck
// with FieldName "Correct " + longName, field cRow and pair number pair.
void MoneyPairStep(const std::string& txtline, std::string_view Id, std::string_view longName,
                   int oBeg, int cBeg, int cRow, int pair, CheckContext& ctx);

}  // namespace lintaro

#endif  // LINTARO_CHECKS_MONEY_PAIRS_H_
