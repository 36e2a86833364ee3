// The error report as JSON, for scripts. UTF-8; one object:
//
//   {"format_version": 1, "lintaro_version": "1.1.0",
//    "title": ..., "generated_from": [paths], "report_date": "yyyy-mm-dd" | null,
//    "outcome": "clean" | "findings" | "error_limit" | "critical_stop" |
//               "aborted" | "no_valid_data",
//    "employer": null | EIN (the --employer filter),
//    "records_tested": n, "records_with_errors": n, "errors_found": n,
//    "critical_stop": null | {"record_number": n, "message": ...},
//    "errors": [{"record_number": n, "record_id": "RCW",
//                "ssn": ... | "ein": ... (none for RCF; null when not stored),
//                "employer_ein": ... | null, "error_number": n,
//                "critical": true | false, "field": ...,
//                "positions": {"start": s, "end": e} | null,
//                "user_entry": ... (without its brackets), "message": ...}, ...]}
//
// format_version changes only when a key changes meaning or goes away.
#ifndef LINTARO_REPORTS_JSON_REPORT_H_
#define LINTARO_REPORTS_JSON_REPORT_H_

#include <optional>
#include <string>
#include <string_view>

#include "reports/report_content.h"
#include "reports/report_scope.h"

namespace lintaro {

class ResultsDb;

inline constexpr int kJsonFormatVersion = 1;

// Appends a JSON string literal of UTF-8 text.
void AppendJsonString(std::string& out, std::string_view utf8);
// Appends a JSON string literal of code page 1252 text, or null when empty.
void AppendJsonCp1252OrNull(std::string& out, std::string_view cp1252);
// Appends the finding that stopped testing, {"record_number": N,
// "message": "..."}, or null when testing was not stopped.
void AppendJsonCriticalStop(std::string& out, const std::optional<ErrorRow>& critical);

// Builds the JSON report into out, calling after_error (when given) after
// each finding. Returns false when after_error stopped it. filter limits it
// to one employer's findings.
bool BuildJsonReport(ResultsDb& db, ReportBuffer& out, const PieceHandler& after_error = {},
                     const ReportFilter& filter = {});

}  // namespace lintaro

#endif  // LINTARO_REPORTS_JSON_REPORT_H_
