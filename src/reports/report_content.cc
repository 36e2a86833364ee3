#include "reports/report_content.h"

#include "core/tax_year.h"
#include "run/check_run.h"
#include "run/run_ending.h"
#include "store/results_db.h"

namespace lintaro {

namespace {

constexpr auto kReportTitle = "LINTARO TAX YEAR " + kTaxYearText + " ERROR REPORT";

}  // namespace

std::string ReportTitle() { return kReportTitle.c_str(); }

ReportHeader ReadReportHeader(ResultsDb& db) {
  ReportHeader h;
  std::vector<MiscRow> misc = db.ReadMisc();
  for (const MiscRow& m : misc) h.paths.push_back(ValidUtf8(m.path));
  if (!misc.empty()) h.date = ValidUtf8(misc.front().rpt_date);
  h.records_tested = db.LastRecNum();
  h.records_with_errors = db.CountRecordsWithErrors();
  h.errors = db.CountErrors();
  std::optional<ErrorRow> last = db.ReadLastError();
  if (last && last->type == "C") h.critical = h.check_stop = std::move(last);
  if (const StoredRunEnding run = ReadStoredRunEnding(db); !run.finished())
    h.notice = UnfinishedRunNotice(run.records_tested);
  else if (db.CountRecords() == 0)
    h.notice = kNoValidDataWarning;
  return h;
}

std::string SourceLine(const std::vector<std::string>& paths) {
  return "Generated from: " + TestedFilesList(paths);
}

std::string TerminationHeading(const ReportHeader& header) {
  if (!header.critical) return {};
  return "Execution of Testing was terminated due to the Critical Error in Record Number " +
         std::to_string(header.critical->rec_num) + ":  " + kCrLf;
}

std::string TerminationMessage(const ReportHeader& header) {
  if (!header.critical) return {};
  return header.critical->error + kCrLf;
}

std::string CountField(int64_t n) {
  std::string digits = std::to_string(n);
  if (digits.size() >= 10) return digits.substr(digits.size() - 10);
  return std::string(10 - digits.size(), ' ') + digits;
}

std::string CountLineTested(int64_t n) { return CountField(n) + " Record(s) tested"; }
std::string CountLineWithErrors(int64_t n) { return CountField(n) + " Record(s) with Error(s)"; }
std::string CountLineFound(int64_t n) { return CountField(n) + " Error(s) found" + kCrLf; }

std::string Identification(std::string_view id, std::string_view rec_reference) {
  if ((id == "RCA" || id == "RCE" || id == "RCT" || id == "RCU") && !rec_reference.empty())
    return "EIN:  " + std::string(rec_reference);
  if (id == "RCF") return {};
  return "SSN:  " + std::string(rec_reference);
}

std::string RecordHeading(const ReportRow& row) {
  return "Record number: " + std::to_string(row.rec_num) + "    Code: " + row.id + "    " +
         Identification(row.id, row.rec_reference) + kCrLf;
}

std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t start = i;
    const char32_t c = DecodeUtf8(text, i);
    if (c != 0xFFFD) {
      out.append(text.substr(start, i - start));
    } else {
      out += "\xEF\xBF\xBD";
    }
  }
  return out;
}

size_t Utf8Length(std::string_view utf8) {
  size_t n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

void ReportBuffer::Append(std::string_view utf8) {
  text.append(utf8);
  chars += Utf8Length(utf8);
}

}  // namespace lintaro
