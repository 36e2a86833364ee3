#include "reports/report_forms.h"

#include "run/check_run.h"
#include "run/run_ending.h"
#include "store/results_db.h"

namespace lintaro {

bool BuildReportForm(ResultsDb& db, const ReportFormat& format, const ReportFilter& filter,
                     ReportBuffer& out, const PieceHandler& piece) {
  return format.write(db, filter, out, piece);
}

bool BuildShownReport(ResultsDb& db, const ReportFormat& format, const ReportFilter& filter,
                      ReportBuffer& out, const PieceHandler& piece) {
  // Read for every format: it refuses damaged results, which have no report.
  const bool finished = ReadStoredRunEnding(db).finished();
  if (format.clean_run == CleanRunShows::kSentence && finished && db.CountErrors() == 0) {
    // A submission without a record is not one without errors.
    out.Append(db.CountRecords() == 0 ? kNoValidDataWarning : kNoErrorsSentence);
    out.Append("\n");
    return true;
  }
  return BuildReportForm(db, format, filter, out, piece);
}

}  // namespace lintaro
