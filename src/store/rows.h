// Rows of the results database as the program holds them in memory.
//
// Text that comes from the submission (identifiers, records, references,
// entries, messages, EINs) is held as code page 1252 bytes; the database
// stores it as UTF-8. File names are held and stored as UTF-8.
#ifndef LINTARO_STORE_ROWS_H_
#define LINTARO_STORE_ROWS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lintaro {

// MISC: one row per tested file.
struct MiscRow {
  int64_t data_id = 0;
  std::string path;      // UTF-8
  bool pin_ok = false;
  std::string rpt_date;  // "mm/dd/yyyy"
};

// RECORDS: one row per record of the submission.
struct RecordRow {
  int64_t rec_num = 0;
  std::string id;             // identifier as found
  int64_t rce_indx = 0;       // employer's running-total row; 0 when none
  int32_t errors = 0;         // findings recorded against the record
  std::string record;         // the stored record text
  std::string rec_reference;  // EIN or employee reference; may be empty
};

// A RECORDS row as the record grids show it: the record's number, its
// count of findings and its text as stored, UTF-8, without conversion.
struct RecordListing {
  int64_t rec_num = 0;  // 0 when the row's record is not stored
  int32_t errors = 0;
  std::string record;  // UTF-8, as stored

  friend bool operator==(const RecordListing&, const RecordListing&) = default;
};

// ERRORS: one row per finding.
struct ErrorRow {
  int64_t err_num = 0;
  std::string type;  // "C" for a critical finding, else empty
  int64_t rec_num = 0;
  std::string reference;
  std::string user_entry;
  std::string error;
};

// One row of the error report: a finding joined with its record's
// identifier and reference.
struct ReportRow {
  int64_t err_num = 0;
  std::string type;
  int64_t rec_num = 0;
  std::string reference;
  std::string user_entry;
  std::string error;
  std::string id;             // the record's identifier
  std::string rec_reference;  // the record's EIN or employee reference; may be empty
};

// The two running-total tables: TRCT holds 25 money pairs per employer (the
// RCT totals), TRCU holds 8 (the RCU totals).
enum class TotalsTable { kTRCT, kTRCU };

constexpr int PairCount(TotalsTable table) { return table == TotalsTable::kTRCT ? 25 : 8; }
const char* TableName(TotalsTable table);

// One employer's running totals. Amounts are whole cents.
struct TotalsRow {
  struct Pair {
    int64_t correct = 0;         // column n
    bool correct_blank = true;   // column n + "b"
    int64_t orig = 0;            // column "Orig" + n
    bool orig_blank = true;      // column "Orig" + n + "b"
    std::string err_ref = "None";  // column "C" + n + "ErrRef"

    friend bool operator==(const Pair&, const Pair&) = default;
  };

  TotalsRow() = default;
  explicit TotalsRow(TotalsTable table) : pairs(PairCount(table)) {}

  int64_t indx = 0;
  std::string rce_ein;
  int64_t count = 0;        // column "0": RCW (TRCT) or RCO (TRCU) records
  std::vector<Pair> pairs;  // pairs[n - 1] is money pair n

  Pair& pair(int n) { return pairs.at(static_cast<size_t>(n - 1)); }
  const Pair& pair(int n) const { return pairs.at(static_cast<size_t>(n - 1)); }

  friend bool operator==(const TotalsRow&, const TotalsRow&) = default;
};

// A column of a running-total row, named as in the table: "0" (the record
// count), n, n + "b", "Orig" + n, "Orig" + n + "b" or "C" + n + "ErrRef".
struct TotalsColumn {
  enum Kind { kCount, kCorrect, kCorrectBlank, kOrig, kOrigBlank, kErrRef };
  Kind kind = kCount;
  int pair = 0;  // 1-based money pair; 0 for the count

  friend bool operator==(const TotalsColumn&, const TotalsColumn&) = default;
};

// Parses a column name; nothing for a name the tables do not have (pairs
// beyond the table's count are refused by the caller).
std::optional<TotalsColumn> ParseTotalsColumn(std::string_view name);

}  // namespace lintaro

#endif  // LINTARO_STORE_ROWS_H_
