// Which findings a report covers, and whose records they are.
//
// A service bureau checks one submission for many employers and sends each
// client only its own findings: an employer's records are its employer
// record (RCE) and every record after it up to the next employer record or
// the final record (its employees, their optional and state records, its
// total records). The submitter record and the final record belong to no
// employer.
#ifndef LINTARO_REPORTS_REPORT_SCOPE_H_
#define LINTARO_REPORTS_REPORT_SCOPE_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "reports/report_content.h"
#include "store/rows.h"

namespace lintaro {

class ResultsDb;

// All findings, or only those of the employer whose Correct EIN is
// employer_ein.
struct ReportFilter {
  std::string employer_ein;  // empty: every finding
  bool keeps_all() const { return employer_ein.empty(); }
};

// Names the employer of each record of a report by reading the stored
// employer records as the report moves on: records must be asked about in
// increasing record number.
class EmployerTracker {
 public:
  explicit EmployerTracker(ResultsDb& db) : db_(db) {}
  // The Correct EIN of the employer record that opens the block of the
  // record (the record itself when it is one); empty for the final record,
  // a record after it, and records before the first employer record (the
  // submitter record).
  const std::string& EmployerOf(int64_t rec_num, const std::string& id);

 private:
  ResultsDb& db_;
  bool started_ = false;
  int64_t final_rec_num_ = 0;      // the final record's number; 0 when none
  std::string current_;            // EIN of the block being read
  int64_t current_rec_num_ = 0;    // its employer record's number
  std::optional<RecordRow> next_;  // the employer record that opens the next block
  const std::string none_;
};

// An EIN as typed: nine digits, or two and seven with a dash between
// ("12-3456789" is "123456789"); nothing when it is neither.
std::optional<std::string> ParseEin(std::string text);

// The number of records in the blocks of the employer with this Correct
// EIN; 0 when the results hold no employer record with it.
int64_t EmployerRecordCount(ResultsDb& db, const std::string& ein);

// An employer of the results, for choosing whose report to give: its
// Correct EIN, its name (code page 1252, blanks after it dropped) from its
// first employer record, that record's number, and the records of all its
// blocks.
struct EmployerEntry {
  std::string ein;
  std::string name;
  int64_t first_rec_num = 0;
  int64_t records = 0;
};

// The employers whose Correct EIN is nine digits (those a report can be
// limited to), each once, in the order their first employer record comes.
std::vector<EmployerEntry> ListEmployers(ResultsDb& db);

// The report's header over the findings the filter keeps. For one employer
// the counts are its own (records tested: the records of its blocks), and
// the finding that stopped the run is shown only when it is one of its own.
ReportHeader ReadReportHeader(ResultsDb& db, const ReportFilter& filter);

// Calls row for every report row the filter keeps, in report order, with
// its record's employer (named only when name_employers is set or the
// filter needs it; empty otherwise). row returns false to stop.
using ScopedRowHandler = std::function<bool(const ReportRow&, const std::string& employer_ein)>;
void ForEachReportRow(ResultsDb& db, const ReportFilter& filter, bool name_employers,
                      const ScopedRowHandler& row);

// How a report form writes its findings: write appends one finding, given
// as ForEachReportRow gives it, to out, and after each finding out goes to
// after_finding (when set). Returns false when after_finding stopped the
// report.
using FindingWriter = std::function<void(const ReportRow&, const std::string& employer_ein)>;
bool WriteFindings(ResultsDb& db, const ReportFilter& filter, bool name_employers,
                   ReportBuffer& out, const PieceHandler& after_finding,
                   const FindingWriter& write);

}  // namespace lintaro

#endif  // LINTARO_REPORTS_REPORT_SCOPE_H_
