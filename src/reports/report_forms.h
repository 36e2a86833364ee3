// The error report in each of its formats (report_format.h) as
// `lintaro-cli report` gives it, and as the service hands it over.
#ifndef LINTARO_REPORTS_REPORT_FORMS_H_
#define LINTARO_REPORTS_REPORT_FORMS_H_

#include <string>

#include "reports/report_content.h"
#include "reports/report_format.h"
#include "reports/report_scope.h"

namespace lintaro {

class ResultsDb;

// What `lintaro-cli report` prints for a finished check without findings in
// a format read by people (CleanRunShows::kSentence), on a line of its own.
inline constexpr const char* kNoErrorsSentence = "No errors found in the submission!";

// Builds the report of the results in db in format into out, calling
// piece after each finding so that a large report is handed on in pieces.
// Returns false when piece stopped it.
bool BuildReportForm(ResultsDb& db, const ReportFormat& format, const ReportFilter& filter,
                     ReportBuffer& out, const PieceHandler& piece);

// As BuildReportForm, but as the report is shown rather than saved: for a
// finished check without findings a format read by people is only
// kNoErrorsSentence (kNoValidDataWarning when the check found no record)
// and a line feed. Throws StoreError.
bool BuildShownReport(ResultsDb& db, const ReportFormat& format, const ReportFilter& filter,
                      ReportBuffer& out, const PieceHandler& piece);

}  // namespace lintaro

#endif  // LINTARO_REPORTS_REPORT_FORMS_H_
