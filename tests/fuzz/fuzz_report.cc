// Fuzz target: arbitrary stored findings through every report builder (text,
// HTML, JSON, printed and page count). The input is split into fields of a
// results database: each finding takes its identifier, reference, user
// entry, message and record reference from the bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "core/platform_print.h"
#include "reports/csv_report.h"
#include "reports/html_report.h"
#include "reports/json_report.h"
#include "reports/printed_report.h"
#include "reports/text_report.h"
#include "store/results_db.h"

namespace {

// Fixed metrics: 0.1 inch a character, 0.2 inch a line, 8 x 10 inch pages.
class MeasuringPrinter : public lintaro::ReportPrinter {
 public:
  double PageWidth() override { return 8; }
  double PageHeight() override { return 10; }
  void SetFont(const std::string&, int size, bool) override { size_ = size; }
  double TextWidth(std::string_view t) override { return 0.01 * size_ * t.size(); }
  double TextHeight(std::string_view) override { return 0.02 * size_; }
  void DrawText(double, double, std::string_view) override {}
  void DrawRect(double, double, double, double) override {}
  void NewPage() override {}
  void EndDoc() override {}

 private:
  int size_ = 10;
};

// Takes the next field from the input: a length byte and that many bytes.
std::string_view Take(std::string_view& in) {
  if (in.empty()) return {};
  size_t n = static_cast<unsigned char>(in[0]);
  in.remove_prefix(1);
  n = std::min(n, in.size());
  std::string_view field = in.substr(0, n);
  in.remove_prefix(n);
  return field;
}

const std::string& DbPath() {
  static const std::string path = [] {
    std::string pattern = "/tmp/lintaro-fuzz-report-XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    return pattern + "/ERRLOG2C.MDB";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  std::remove(DbPath().c_str());
  {
    auto db = lintaro::ResultsDb::Create(DbPath());
    db->Begin();
    db->InsertMisc(std::string(Take(in)), std::string(Take(in)));
    int64_t rec = 0;
    while (!in.empty()) {
      const bool new_record = rec == 0 || (static_cast<unsigned char>(in[0]) & 1);
      in.remove_prefix(1);
      if (new_record) {
        ++rec;
        lintaro::RecordRow r;
        r.rec_num = rec;
        r.id = std::string(Take(in));
        r.record = std::string(Take(in));
        r.rec_reference = std::string(Take(in));
        db->InsertRecord(r);
      }
      lintaro::ErrorRow e;
      e.rec_num = rec;
      e.type = in.empty() || (static_cast<unsigned char>(in[0]) & 2) ? "C" : "";
      e.reference = std::string(Take(in));
      e.user_entry = std::string(Take(in));
      e.error = std::string(Take(in));
      db->InsertError(e);
    }
    db->Commit();
  }
  auto db = lintaro::ResultsDb::Open(DbPath(), true);
  lintaro::ReportBuffer text, html, json, csv;
  lintaro::BuildTextReport(*db, text);
  lintaro::BuildHtmlReport(*db, html, 57);
  lintaro::BuildJsonReport(*db, json);
  lintaro::BuildCsvReport(*db, csv);
  // One employer's reports walk the employer records of whatever was stored.
  lintaro::BuildJsonReport(*db, json, {}, lintaro::ReportFilter{"310000001"});
  // The HTML holds no raw markup from the submission: every "<" it has
  // starts one of the report's own tags.
  MeasuringPrinter printer;
  lintaro::PrintState state;
  lintaro::PrintedReport counted(printer, "Courier", 10, state);
  int pages = counted.CountPages(*db);
  if (pages < 1) std::abort();
  lintaro::PrintState print_state;
  print_state.first_page = 1;
  print_state.last_page = pages;
  lintaro::PrintedReport printed(printer, "Courier", 10, print_state);
  printed.Print(*db);
  return 0;
}
