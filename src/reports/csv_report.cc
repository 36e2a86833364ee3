#include "reports/csv_report.h"

#include "reports/finding_parts.h"
#include "run/check_run.h"
#include "run/run_ending.h"
#include "store/cp1252.h"
#include "store/results_db.h"

namespace lintaro {

void AppendCsvField(std::string& out, std::string_view utf8) {
  std::string value;
  if (!utf8.empty() && std::string_view("=+-@\t\r").find(utf8.front()) != std::string_view::npos)
    value += '\'';
  // A NUL ends the text for many readers (a spreadsheet's cell, a C
  // program, a script's CSV reader) and would cut the row there: it is
  // shown as U+FFFD, as on a terminal. Other control characters stay.
  for (char c : utf8) {
    if (c == '\0')
      value += "\xEF\xBF\xBD";
    else
      value += c;
  }
  if (value.find_first_of(",\"\r\n") == std::string::npos) {
    out += value;
    return;
  }
  out += '"';
  for (char c : value) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

namespace {

void AppendRow(std::string& s, const ReportRow& row, const std::string& employer) {
  const FindingParts parts = SplitFinding(row.reference, row.user_entry);
  const std::optional<std::string> kind = ReferenceKindOf(row.id);
  auto field = [&s](std::string_view cp1252) {
    AppendCsvField(s, Cp1252ToUtf8(cp1252));
    s += ',';
  };
  s += std::to_string(row.rec_num) + ',';
  field(row.id);
  field(kind == "ssn" ? std::string_view(row.rec_reference) : std::string_view());
  field(kind == "ein" ? std::string_view(row.rec_reference) : std::string_view());
  field(employer);
  s += std::to_string(row.err_num) + ',';
  s += row.type == "C" ? "true," : "false,";
  field(parts.field);
  if (parts.positions) {
    s += std::to_string(parts.positions->start) + ',' + std::to_string(parts.positions->end) + ',';
  } else {
    s += ",,";
  }
  field(parts.user_entry);
  AppendCsvField(s, Cp1252ToUtf8(row.error));
  s += "\r\n";
}

}  // namespace

bool BuildCsvReport(ResultsDb& db, ReportBuffer& out, const PieceHandler& after_row,
                    const ReportFilter& filter) {
  out.Append(kCsvHeader);
  std::string s;
  // Results of a check that did not finish are no verdict, nor are those of
  // a submission without a record: their first row says so in its message
  // (no record, no error number), so that a file without findings never
  // passes for a clean check's.
  const StoredRunEnding run = ReadStoredRunEnding(db);
  if (!run.finished() || db.CountRecords() == 0) {
    s = ",,,,,,,,,,,";  // the eleven columns before the message
    AppendCsvField(s,
                   run.finished() ? kNoValidDataWarning : UnfinishedRunNotice(run.records_tested));
    s += "\r\n";
    out.Append(s);
  }
  return WriteFindings(db, filter, true, out, after_row,
                       [&](const ReportRow& row, const std::string& employer) {
                         s.clear();
                         AppendRow(s, row, employer);
                         out.Append(s);
                       });
}

}  // namespace lintaro
