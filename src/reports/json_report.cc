#include "reports/json_report.h"

#include "core/cp1252.h"
#include "store/results_db.h"

namespace lintaro {

void AppendJsonString(std::string& out, std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
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

namespace {

void AppendCp1252(std::string& out, std::string_view cp1252) {
  AppendJsonString(out, Cp1252ToUtf8(cp1252));
}

}  // namespace

bool BuildJsonReport(ResultsDb& db, ReportBuffer& out, const PieceHandler& after_error) {
  const ReportHeader header = ReadReportHeader(db);
  std::string s = "{\n  \"title\": ";
  AppendJsonString(s, ReportTitle());
  s += ",\n  \"generated_from\": [";
  for (size_t i = 0; i < header.paths.size(); ++i) {
    if (i > 0) s += ", ";
    // A file name need not be valid UTF-8; JSON text must be.
    AppendJsonString(s, ValidUtf8(header.paths[i]));
  }
  s += "],\n  \"report_date\": ";
  AppendJsonString(s, ValidUtf8(header.date));
  s += ",\n  \"records_tested\": " + std::to_string(header.records_tested);
  s += ",\n  \"records_with_errors\": " + std::to_string(header.records_with_errors);
  s += ",\n  \"errors_found\": " + std::to_string(header.errors);
  s += ",\n  \"critical_stop\": ";
  if (header.critical) {
    s += "{\"record_number\": " + std::to_string(header.critical->rec_num) + ", \"message\": ";
    AppendCp1252(s, header.critical->error);
    s += "}";
  } else {
    s += "null";
  }
  s += ",\n  \"errors\": [";
  out.Append(s);

  bool first = true;
  bool completed = true;
  db.ForEachReportRow([&](const ReportRow& row) {
    s.clear();
    s += first ? "\n    {" : ",\n    {";
    first = false;
    s += "\"error_number\": " + std::to_string(row.err_num);
    s += ", \"record_number\": " + std::to_string(row.rec_num);
    s += ", \"record_id\": ";
    AppendCp1252(s, row.id);
    s += ", \"record_reference\": ";
    AppendCp1252(s, row.rec_reference);
    s += ", \"identification\": ";
    AppendCp1252(s, Identification(row.id, row.rec_reference));
    s += ", \"reference\": ";
    AppendCp1252(s, row.reference);
    s += ", \"user_entry\": ";
    AppendCp1252(s, row.user_entry);
    s += ", \"message\": ";
    AppendCp1252(s, row.error);
    s += ", \"type\": ";
    AppendCp1252(s, row.type);
    s += "}";
    out.Append(s);
    if (after_error && !after_error(out)) {
      completed = false;
      return false;
    }
    return true;
  });
  if (completed) out.Append(first ? "]\n}\n" : "\n  ]\n}\n");
  return completed;
}

}  // namespace lintaro
