// The error report as CSV for spreadsheets (RFC 4180): UTF-8, CR LF line
// ends, a header row and one row per finding:
//
//   record_number,record_id,ssn,ein,employer_ein,error_number,critical,
//   field,start,end,user_entry,message
//
// A value is quoted when it holds a comma, a double quote, CR or LF. A value
// that a spreadsheet would take for a formula (it begins with =, +, -, @,
// TAB or CR) gets a leading apostrophe, so that text from a submission is
// never run as a formula. A NUL, which would end the row for many readers,
// is written as U+FFFD.
#ifndef LINTARO_REPORTS_CSV_REPORT_H_
#define LINTARO_REPORTS_CSV_REPORT_H_

#include <string>
#include <string_view>

#include "reports/report_content.h"
#include "reports/report_scope.h"

namespace lintaro {

class ResultsDb;

inline constexpr const char* kCsvHeader =
    "record_number,record_id,ssn,ein,employer_ein,error_number,critical,field,start,end,"
    "user_entry,message\r\n";

// Appends one CSV field of UTF-8 text, quoted and guarded as above.
void AppendCsvField(std::string& out, std::string_view utf8);

// Builds the CSV report into out, calling after_row (when given) after each
// row. Returns false when after_row stopped it.
bool BuildCsvReport(ResultsDb& db, ReportBuffer& out, const PieceHandler& after_row = {},
                    const ReportFilter& filter = {});

}  // namespace lintaro

#endif  // LINTARO_REPORTS_CSV_REPORT_H_
