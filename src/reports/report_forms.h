// The error report in each of its forms (text, html, json, csv) as
// `lintaro-cli report` gives it, and as the service hands it over.
#ifndef LINTARO_REPORTS_REPORT_FORMS_H_
#define LINTARO_REPORTS_REPORT_FORMS_H_

#include <string>

#include "reports/report_content.h"
#include "reports/report_scope.h"

namespace lintaro {

class ResultsDb;

// What `lintaro-cli report` prints for a finished check without findings in
// the text and HTML forms, on a line of its own.
inline constexpr const char* kNoErrorsSentence = "No errors found in the submission!";

// Whether format names a report form: text, html, json or csv.
bool IsReportFormat(const std::string& format);

// Builds the report of the results in db in format into out, calling
// piece after each finding so that a large report is handed on in pieces.
// Returns false when piece stopped it.
bool BuildReportForm(ResultsDb& db, const std::string& format, const ReportFilter& filter,
                     ReportBuffer& out, const PieceHandler& piece);

// As BuildReportForm, but as the report is shown rather than saved: for a
// finished check without findings the text and HTML forms are only
// kNoErrorsSentence and a line feed. Throws StoreError.
bool BuildShownReport(ResultsDb& db, const std::string& format, const ReportFilter& filter,
                      ReportBuffer& out, const PieceHandler& piece);

}  // namespace lintaro

#endif  // LINTARO_REPORTS_REPORT_FORMS_H_
