#include "reports/json_report.h"

#include "core/version.h"
#include "reports/finding_parts.h"
#include "reports/outcome.h"
#include "store/cp1252.h"
#include "store/results_db.h"

namespace lintaro {

void AppendJsonString(std::string& out, std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          out += "\\u00";
          out += kHex[c >> 4];
          out += kHex[c & 0xF];
        } else {
          out += ch;
        }
    }
  }
  out += '"';
}

void AppendJsonCriticalStop(std::string& out, const std::optional<ErrorRow>& critical) {
  if (!critical) {
    out += "null";
    return;
  }
  out += "{\"record_number\": " + std::to_string(critical->rec_num) + ", \"message\": ";
  AppendJsonString(out, Cp1252ToUtf8(critical->error));
  out += "}";
}

void AppendJsonCp1252OrNull(std::string& out, std::string_view cp1252) {
  if (cp1252.empty()) {
    out += "null";
  } else {
    AppendJsonString(out, Cp1252ToUtf8(cp1252));
  }
}

namespace {

void AppendCp1252(std::string& out, std::string_view cp1252) {
  AppendJsonString(out, Cp1252ToUtf8(cp1252));
}

std::string Header(ResultsDb& db, const ReportFilter& filter) {
  const ReportHeader header = ReadReportHeader(db, filter);
  std::string s = "{\n  \"format_version\": " + std::to_string(kJsonFormatVersion);
  s += ",\n  \"lintaro_version\": ";
  AppendJsonString(s, kLintaroVersion);
  s += ",\n  \"title\": ";
  AppendJsonString(s, ReportTitle());
  s += ",\n  \"generated_from\": [";
  for (size_t i = 0; i < header.paths.size(); ++i) {
    if (i > 0) s += ", ";
    // A file name need not be valid UTF-8; JSON text must be.
    AppendJsonString(s, ValidUtf8(header.paths[i]));
  }
  s += "],\n  \"report_date\": ";
  if (auto iso = IsoDate(header.date)) {
    AppendJsonString(s, *iso);
  } else {
    s += "null";
  }
  s += ",\n  \"outcome\": ";
  AppendJsonString(s, OutcomeName(StoredOutcome(db)));
  s += ",\n  \"employer\": ";
  if (filter.keeps_all()) {
    s += "null";
  } else {
    AppendJsonString(s, ValidUtf8(filter.employer_ein));  // as typed, UTF-8
  }
  s += ",\n  \"records_tested\": " + std::to_string(header.records_tested);
  s += ",\n  \"records_with_errors\": " + std::to_string(header.records_with_errors);
  s += ",\n  \"errors_found\": " + std::to_string(header.errors);
  // As outcome, the whole check's: the finding that stopped it, whoever's
  // records it is in.
  s += ",\n  \"critical_stop\": ";
  AppendJsonCriticalStop(s, header.check_stop);
  return s + ",\n  \"errors\": [";
}

void AppendError(std::string& s, const ReportRow& row, const std::string& employer) {
  const FindingParts parts = SplitFinding(row.reference, row.user_entry);
  s += "{\"record_number\": " + std::to_string(row.rec_num);
  s += ", \"record_id\": ";
  AppendCp1252(s, row.id);
  if (std::optional<std::string> kind = ReferenceKindOf(row.id)) {
    s += ", \"" + *kind + "\": ";
    AppendJsonCp1252OrNull(s, row.rec_reference);
  }
  s += ", \"employer_ein\": ";
  AppendJsonCp1252OrNull(s, employer);
  s += ", \"error_number\": " + std::to_string(row.err_num);
  s += row.type == "C" ? ", \"critical\": true" : ", \"critical\": false";
  s += ", \"field\": ";
  AppendCp1252(s, parts.field);
  s += ", \"positions\": ";
  if (parts.positions) {
    s += "{\"start\": " + std::to_string(parts.positions->start) +
         ", \"end\": " + std::to_string(parts.positions->end) + "}";
  } else {
    s += "null";
  }
  s += ", \"user_entry\": ";
  AppendCp1252(s, parts.user_entry);
  s += ", \"message\": ";
  AppendCp1252(s, row.error);
  s += "}";
}

}  // namespace

bool BuildJsonReport(ResultsDb& db, ReportBuffer& out, const PieceHandler& after_error,
                     const ReportFilter& filter) {
  out.Append(Header(db, filter));
  bool first = true;
  std::string s;
  const bool completed = WriteFindings(db, filter, true, out, after_error,
                                       [&](const ReportRow& row, const std::string& employer) {
                                         s.assign(first ? "\n    " : ",\n    ");
                                         first = false;
                                         AppendError(s, row, employer);
                                         out.Append(s);
                                       });
  if (completed) out.Append(first ? "]\n}\n" : "\n  ]\n}\n");
  return completed;
}

}  // namespace lintaro
