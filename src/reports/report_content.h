// What every form of the error report shows, read from the results
// database: the title, the tested files, the date, why testing stopped, the
// counts, and per record in error its heading.
//
// Text from the submission is held as code page 1252 bytes (as the store
// hands it out); file names and the date are UTF-8. Each report form
// converts or escapes at its own boundary.
#ifndef LINTARO_REPORTS_REPORT_CONTENT_H_
#define LINTARO_REPORTS_REPORT_CONTENT_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/cp1252.h"  // DecodeUtf8
#include "store/rows.h"

namespace lintaro {

class ResultsDb;

inline constexpr const char* kCrLf = "\r\n";
// Past this many characters the text preview and the HTML text are handed
// on in pieces.
inline constexpr size_t kReportPieceChars = 64000;

// The report's title line T.
std::string ReportTitle();

// The summary part of the report, read once per report.
struct ReportHeader {
  // Path of every MISC row, in table order, and RptDate of the first, as
  // UTF-8: a byte sequence that is not UTF-8 (a file name in another
  // character set) becomes U+FFFD, so that every report form is UTF-8.
  std::vector<std::string> paths;
  std::string date;
  int64_t records_tested = 0;  // Rec_Num of the last RECORDS row
  int64_t records_with_errors = 0;
  int64_t errors = 0;
  // The last finding, when it is critical: the run was stopped by it. In
  // one employer's report only when the finding is the employer's own;
  // check_stop keeps it either way, for the JSON report, which tells how
  // the whole check ended.
  std::optional<ErrorRow> critical;
  std::optional<ErrorRow> check_stop;
  // UTF-8; the first line of the report when the run that wrote the results
  // did not finish (run/run_ending.h), or finished without finding a record
  // (kNoValidDataWarning), empty otherwise: neither is a clean check.
  std::string notice;
  // The heading of a report of one employer's findings ("Employer EIN:
  // 310000001"), empty for the whole submission's.
  std::string scope_heading;
};

ReportHeader ReadReportHeader(ResultsDb& db);

// G: "Generated from: " and the paths joined by "; " (UTF-8).
std::string SourceLine(const std::vector<std::string>& paths);

// H and E (code page 1252); both empty when the run was not stopped.
std::string TerminationHeading(const ReportHeader& header);
std::string TerminationMessage(const ReportHeader& header);

// A count right-aligned in 10 characters; a longer number keeps only its
// last 10 digits.
std::string CountField(int64_t n);
// C1, C2 and C3 (C3 ends with CR LF).
std::string CountLineTested(int64_t n);
std::string CountLineWithErrors(int64_t n);
std::string CountLineFound(int64_t n);

// I: "EIN:  " + reference for RCA, RCE, RCT and RCU records with a
// reference, nothing for RCF, "SSN:  " + reference otherwise.
std::string Identification(std::string_view id, std::string_view rec_reference);
// R: "Record number: " n "    Code: " id "    " I, followed by CR LF.
std::string RecordHeading(const ReportRow& row);

// Findings come in record order, each record's together. Asked of each
// finding in turn, tells whether it opens a record: the first finding does,
// and each whose record is another than the one before.
class RecordOpenings {
 public:
  bool Opens(const ReportRow& row) {
    const bool opens = !started_ || row.rec_num != rec_num_;
    started_ = true;
    rec_num_ = row.rec_num;
    return opens;
  }

 private:
  bool started_ = false;
  int64_t rec_num_ = 0;
};

// Text being built with its length in characters kept alongside (the text
// is UTF-8, where a character may take several bytes).
struct ReportBuffer {
  std::string text;
  size_t chars = 0;

  void Append(std::string_view utf8);
  void Clear() {
    text.clear();
    chars = 0;
  }
};

// Called by the report builders after each error block with the text built
// so far. It may hand the text on and clear it; returning false stops the
// report there (nothing more is appended).
using PieceHandler = std::function<bool(ReportBuffer&)>;

// The text with every malformed UTF-8 sequence replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

// The number of characters of UTF-8 text.
size_t Utf8Length(std::string_view utf8);

}  // namespace lintaro

#endif  // LINTARO_REPORTS_REPORT_CONTENT_H_
