#include "reports/check_summary.h"

#include "core/version.h"
#include "reports/json_report.h"
#include "reports/report_content.h"

namespace lintaro {

std::vector<NamedFile> NamedFiles(const std::vector<std::string>& full_names, size_t opened,
                                  ReportedOutcome outcome) {
  std::vector<NamedFile> files;
  const std::string last = opened > 0 ? full_names[opened - 1] : std::string();
  std::string reason;
  switch (outcome) {
    case ReportedOutcome::kClean:
    case ReportedOutcome::kFindings:
      reason = "the submission ended with its final record in " + last;
      break;
    case ReportedOutcome::kNoValidData:
      reason = "the submission ended in " + last + ", which holds no records";
      break;
    case ReportedOutcome::kErrorLimit:
    case ReportedOutcome::kCriticalStop:
      reason = "testing stopped in " + last;
      break;
    case ReportedOutcome::kAborted:
      reason = "testing was interrupted in " + last;
      break;
    case ReportedOutcome::kFailed:
    case ReportedOutcome::kIncomplete:
      reason = opened > 0 ? "testing failed in " + last : "testing did not start";
      break;
  }
  for (size_t i = 0; i < full_names.size(); ++i)
    files.push_back(NamedFile{full_names[i], i < opened, i < opened ? "" : reason});
  return files;
}

std::string CheckSummaryJson(const RunSummary& s, ReportedOutcome outcome,
                             const std::vector<NamedFile>& files, const std::string& results) {
  std::string j = "{\"format_version\": " + std::to_string(kJsonFormatVersion);
  j += ", \"lintaro_version\": ";
  AppendJsonString(j, kLintaroVersion);
  j += ", \"files\": [";
  for (size_t i = 0; i < files.size(); ++i) {
    j += i > 0 ? ", {\"path\": " : "{\"path\": ";
    AppendJsonString(j, ValidUtf8(files[i].path));
    j += files[i].read ? ", \"read\": true}" : ", \"read\": false, \"reason\": ";
    if (!files[i].read) {
      AppendJsonString(j, ValidUtf8(files[i].reason));
      j += "}";
    }
  }
  j += "], \"outcome\": ";
  AppendJsonString(j, OutcomeName(outcome));
  j += ", \"records_tested\": " + std::to_string(s.records_tested);
  j += ", \"records_with_errors\": " + std::to_string(s.records_with_errors);
  j += ", \"errors_found\": " + std::to_string(s.errors);
  j += ", \"critical_stop\": ";
  AppendJsonCriticalStop(j, s.critical);
  j += ", \"results\": ";
  AppendJsonString(j, ValidUtf8(results));
  j += "}\n";
  return j;
}

}  // namespace lintaro
