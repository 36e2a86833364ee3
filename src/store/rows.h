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
  std::string path;  // UTF-8
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

// How a test run ended, as its RUN row records it. A run whose row has no
// ending did not finish: it was killed, its program ended during its
// clean-up, or its results could not be written.
enum class RunEnding {
  kCompleted,        // the submission was read to its end
  kErrorLimit,       // stopped when the findings reached the error limit
  kCriticalStop,     // stopped by a critical finding
  kStoppedByUser,    // Exit was chosen during the run
  kStoppedBySignal,  // a signal (SIGINT, SIGTERM, SIGHUP) stopped the run
  kFailed,           // a file could not be read, or the run failed otherwise
};

// "completed", "error_limit", "critical_stop", "stopped_by_user",
// "stopped_by_signal" or "failed": the words the RUN table stores.
const char* RunEndingName(RunEnding ending);
std::optional<RunEnding> RunEndingNamed(std::string_view name);

// RUN: the one row of the test run that wrote the database. It is added with
// the tables, and its ending in the same transaction as the run's last rows.
struct RunRow {
  std::string started;  // UTC, "2008-02-14T09:30:00Z"
  std::optional<RunEnding> ending;
  std::string ended;  // UTC; empty while there is no ending

  bool finished() const {
    return ending == RunEnding::kCompleted || ending == RunEnding::kErrorLimit ||
           ending == RunEnding::kCriticalStop;
  }
};

// What a run counted of the rows it stored, recorded with its ending so
// that a reader need not count them, and can tell rows lost since (nothing:
// not counted).
struct RunCounts {
  std::optional<int64_t> rcw_records;  // records stored with the ID "RCW"
  std::optional<int64_t> findings;     // findings stored
  std::optional<int64_t> records;      // records stored: the records tested
};

// The two running-total tables: TRCT holds 25 money pairs per employer (the
// RCT totals), TRCU holds 8 (the RCU totals).
enum class TotalsTable { kTRCT, kTRCU };

constexpr int PairCount(TotalsTable table) { return table == TotalsTable::kTRCT ? 25 : 8; }
const char* TableName(TotalsTable table);

// What a column of a running-total row holds. The columns of money pair n
// are, in table order, its correct sum, correct-blank flag, original sum,
// original-blank flag and error reference; the record count is the pairs'
// common first column. The store alone knows the columns' names.
enum class TotalsKind {
  kRecordCount,     // RCW (TRCT) or RCO (TRCU) records of the employer
  kCorrectSum,      // the sum of the pair's Correct amounts
  kCorrectBlank,    // every Correct amount of the pair was blank so far
  kOrigSum,         // the sum of the pair's Originally Reported amounts
  kOrigBlank,       // every Originally Reported amount of the pair was blank so far
  kErrorReference,  // the first employee whose Correct amount was not numeric, or "None"
};

// One column of a running-total table: its table, what it holds and its
// money pair (1 to PairCount(table); 0 for the record count).
struct TotalsColumn {
  TotalsTable table = TotalsTable::kTRCT;
  TotalsKind kind = TotalsKind::kRecordCount;
  int pair = 0;

  // True when the table has the column.
  constexpr bool valid() const {
    return kind == TotalsKind::kRecordCount ? pair == 0 : pair >= 1 && pair <= PairCount(table);
  }

  friend bool operator==(const TotalsColumn&, const TotalsColumn&) = default;
};

// One employer's running totals. Amounts are whole cents.
struct TotalsRow {
  struct Pair {
    int64_t correct = 0;           // TotalsKind::kCorrectSum
    bool correct_blank = true;     // TotalsKind::kCorrectBlank
    int64_t orig = 0;              // TotalsKind::kOrigSum
    bool orig_blank = true;        // TotalsKind::kOrigBlank
    std::string err_ref = "None";  // TotalsKind::kErrorReference

    friend bool operator==(const Pair&, const Pair&) = default;
  };

  TotalsRow() = default;
  explicit TotalsRow(TotalsTable table) : pairs(PairCount(table)) {}

  int64_t indx = 0;
  std::string rce_ein;
  int64_t count = 0;        // TotalsKind::kRecordCount
  std::vector<Pair> pairs;  // pairs[n - 1] is money pair n

  Pair& pair(int n) { return pairs.at(static_cast<size_t>(n - 1)); }
  const Pair& pair(int n) const { return pairs.at(static_cast<size_t>(n - 1)); }

  friend bool operator==(const TotalsRow&, const TotalsRow&) = default;
};

}  // namespace lintaro

#endif  // LINTARO_STORE_ROWS_H_
