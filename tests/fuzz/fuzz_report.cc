// Fuzz target: arbitrary stored findings through the report builders. The
// first byte picks the report form (text, text of one employer, HTML, JSON,
// JSON of one employer, CSV, printed pages after their count); the rest is
// split into fields of a results database: each finding takes its
// identifier, reference, user entry, message and record reference from the
// bytes. One database in memory serves every input, emptied before each.
//
// Whatever was stored, every report is UTF-8 whose character count is kept
// right, the JSON is strict JSON, the HTML is ASCII whose only markup is
// the report's own, and the printed report has a page and draws on it.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "platform/platform_print.h"
#include "reports/csv_report.h"
#include "reports/html_report.h"
#include "reports/json_report.h"
#include "reports/printed_report.h"
#include "reports/text_report.h"
#include "store/results_db.h"

namespace {

void Require(bool holds, const char* what) { lintaro::fuzz::Require(holds, "fuzz_report", what); }

// Fixed metrics: 0.1 inch a character, 0.2 inch a line, 8 x 10 inch pages.
// Every line drawn is UTF-8 and lies on its page, between its left and
// right edges and above its bottom.
class MeasuringPrinter : public lintaro::ReportPrinter {
 public:
  int drawn = 0;
  int pages = 1;  // of the job: the first, then one more for each new page
  double PageWidth() override { return 8; }
  double PageHeight() override { return 10; }
  void SetFont(const std::string&, int size, bool) override { size_ = size; }
  double TextWidth(std::string_view t) override {
    return 0.01 * size_ * static_cast<double>(t.size());
  }
  double TextHeight(std::string_view) override { return 0.02 * size_; }
  void DrawText(double x, double y, std::string_view text) override {
    Require(y >= 0 && y < PageHeight(), "a printed line lies below its page");
    Require(x >= 0 && x + TextWidth(text) <= PageWidth() + 1e-9,
            "a printed line runs past its page's edge");
    Require(lintaro::fuzz::IsUtf8(text), "a printed line is not UTF-8");
    ++drawn;
  }
  void DrawRect(double, double, double, double) override {}
  void NewPage() override { ++pages; }
  void EndDoc() override {}

 private:
  int size_ = 10;
};

// Takes the next field from the input: a length byte and that many bytes.
std::string Take(std::string_view& in) {
  const size_t n =
      in.empty() ? 0 : std::min<size_t>(static_cast<unsigned char>(in[0]), in.size() - 1);
  std::string field(in.substr(in.empty() ? 0 : 1, n));
  in.remove_prefix(std::min(in.size(), n + 1));
  return field;
}

lintaro::ResultsDb& Store() {
  static const std::unique_ptr<lintaro::ResultsDb> store = lintaro::ResultsDb::CreateInMemory();
  return *store;
}

void StoreFindings(std::string_view in, lintaro::ResultsDb& db) {
  db.Clear();
  db.Begin();
  const std::string path = Take(in);
  db.InsertMisc(path, Take(in));
  int64_t rec = 0;
  lintaro::RecordRow r;
  while (!in.empty()) {
    const bool new_record = rec == 0 || (static_cast<unsigned char>(in[0]) & 1);
    in.remove_prefix(1);
    if (new_record) {
      if (rec > 0) db.UpdateRecord(r);  // its Errors, as a run counts them
      ++rec;
      r = lintaro::RecordRow{};
      r.rec_num = rec;
      r.id = Take(in);
      r.record = Take(in);
      r.rec_reference = Take(in);
      db.InsertRecord(r);
    }
    lintaro::ErrorRow e;
    e.rec_num = rec;
    e.type = in.empty() || (static_cast<unsigned char>(in[0]) & 2) ? "C" : "";
    e.reference = Take(in);
    e.user_entry = Take(in);
    e.error = Take(in);
    db.InsertError(e);
    ++r.errors;
  }
  if (rec > 0) db.UpdateRecord(r);
  db.Commit();
}

void PrintPages(lintaro::ResultsDb& db) {
  MeasuringPrinter printer;
  lintaro::PrintState count_state;
  lintaro::PrintedReport counted(printer, "Courier", 10, count_state);
  const int pages = counted.CountPages(db);
  Require(pages >= 1 && printer.drawn == 0, "the page count has no page or drew");
  lintaro::PrintState print_state;
  print_state.first_page = 1;
  print_state.last_page = pages;
  lintaro::PrintedReport printed(printer, "Courier", 10, print_state);
  printed.Print(db);
  Require(printer.drawn > 0, "the printed report drew nothing");
  Require(printer.pages <= pages, "the printed report drew more pages than it counted");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  const int form = in.empty() ? 0 : static_cast<unsigned char>(in[0]) % 7;
  if (!in.empty()) in.remove_prefix(1);
  lintaro::ResultsDb& db = Store();
  StoreFindings(in, db);
  if (form == 6) {
    PrintPages(db);
    return 0;
  }
  // One employer's reports walk the employer records of whatever was stored.
  const lintaro::ReportFilter filter =
      form == 1 || form == 4 ? lintaro::ReportFilter{"310000001"} : lintaro::ReportFilter{};
  lintaro::ReportBuffer report;
  if (form <= 1) lintaro::BuildTextReport(db, report, {}, filter);
  if (form == 2) lintaro::BuildHtmlReport(db, report, 57);
  if (form == 3 || form == 4) lintaro::BuildJsonReport(db, report, {}, filter);
  if (form == 5) lintaro::BuildCsvReport(db, report);
  Require(form != 2 || lintaro::fuzz::HasOnlyMarkupOf(
                           report.text, {"!doctype", "html", "head", "title", "body", "h1", "br",
                                         "p", "center", "b", "pre", "table", "tr", "td", "th"}),
          "the HTML report has markup that is not its own, or is not ASCII");
  Require((form != 3 && form != 4) || lintaro::fuzz::IsStrictJson(report.text),
          "the JSON report is not JSON");
  Require(lintaro::fuzz::IsUtf8(report.text), "the report is not UTF-8");
  Require(lintaro::fuzz::CountUtf8Chars(report.text) == report.chars,
          "the report's character count is wrong");
  return 0;
}
