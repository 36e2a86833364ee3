#include "reports/report_forms.h"

#include "reports/csv_report.h"
#include "reports/html_report.h"
#include "reports/json_report.h"
#include "reports/text_report.h"
#include "run/run_ending.h"
#include "store/results_db.h"

namespace lintaro {

bool IsReportFormat(const std::string& format) {
  return format == "text" || format == "html" || format == "json" || format == "csv";
}

bool BuildReportForm(ResultsDb& db, const std::string& format, const ReportFilter& filter,
                     ReportBuffer& out, const PieceHandler& piece) {
  if (format == "text") return BuildTextReport(db, out, piece, filter);
  if (format == "html") {
    if (!BuildHtmlReport(db, out, PreTextWidth(kDefaultScreenWidthPixels), piece, filter))
      return false;
    out.Append(kCrLf);
    return true;
  }
  if (format == "csv") return BuildCsvReport(db, out, piece, filter);
  return BuildJsonReport(db, out, piece, filter);
}

bool BuildShownReport(ResultsDb& db, const std::string& format, const ReportFilter& filter,
                      ReportBuffer& out, const PieceHandler& piece) {
  if ((format == "text" || format == "html") && ReadStoredRunEnding(db).finished() &&
      db.CountErrors() == 0) {
    out.Append(kNoErrorsSentence);
    out.Append("\n");
    return true;
  }
  return BuildReportForm(db, format, filter, out, piece);
}

}  // namespace lintaro
