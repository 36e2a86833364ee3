// The error report as JSON, for scripts: the tested files, the date, the
// counts, the finding that stopped the run (or null) and every finding with
// its record. UTF-8.
//
//   {"title": ..., "generated_from": [paths], "report_date": "mm/dd/yyyy",
//    "records_tested": n, "records_with_errors": n, "errors_found": n,
//    "critical_stop": null | {"record_number": n, "message": ...},
//    "errors": [{"error_number": n, "record_number": n, "record_id": "RCW",
//                "record_reference": ..., "identification": "SSN:  ...",
//                "reference": ..., "user_entry": ..., "message": ...,
//                "type": "C" | ""}, ...]}
#ifndef LINTARO_REPORTS_JSON_REPORT_H_
#define LINTARO_REPORTS_JSON_REPORT_H_

#include <string>
#include <string_view>

#include "reports/report_content.h"

namespace lintaro {

class ResultsDb;

// Appends a JSON string literal of UTF-8 text.
void AppendJsonString(std::string& out, std::string_view utf8);

// Builds the JSON report into out, calling after_error (when given) after
// each finding. Returns false when after_error stopped it.
bool BuildJsonReport(ResultsDb& db, ReportBuffer& out, const PieceHandler& after_error = {});

}  // namespace lintaro

#endif  // LINTARO_REPORTS_JSON_REPORT_H_
