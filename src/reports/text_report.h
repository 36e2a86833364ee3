// The plain-text error report: tabs and CR LF line ends, UTF-8.
#ifndef LINTARO_REPORTS_TEXT_REPORT_H_
#define LINTARO_REPORTS_TEXT_REPORT_H_

#include "reports/report_content.h"
#include "reports/report_scope.h"

namespace lintaro {

class ResultsDb;

// Builds the text report of the results in db into out, calling after_block
// (when given) after each error block. Values are inserted as stored.
// Returns false when after_block stopped the report. filter limits it to one
// employer's findings (report_scope.h).
bool BuildTextReport(ResultsDb& db, ReportBuffer& out, const PieceHandler& after_block = {},
                     const ReportFilter& filter = {});

}  // namespace lintaro

#endif  // LINTARO_REPORTS_TEXT_REPORT_H_
