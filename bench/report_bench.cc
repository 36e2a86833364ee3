// Times the error report of 25,000 findings in each form: the text, HTML
// and JSON builders, and the text preview and HTML hand-over as the report
// window runs them (pieces written to files).
//
//   report_bench [FOLDER]   (a temporary folder unless given)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "reports/html_report.h"
#include "reports/json_report.h"
#include "reports/report_window.h"
#include "reports/text_report.h"
#include "store/results_db.h"

using namespace lintaro;

namespace {

constexpr int kErrors = 25000;
constexpr int kErrorsPerRecord = 2;

void Fill(ResultsDb& db) {
  db.Begin();
  db.InsertMisc("/data/submissions/corrections 2007 part 1.txt", "12/06/2026");
  const int records = kErrors / kErrorsPerRecord + 3;
  for (int r = 1; r <= records; ++r) {
    const char* id = r == 1 ? "RCA" : r == 2 ? "RCE" : r == records ? "RCF" : "RCW";
    const int errors = r >= 3 && r < records ? kErrorsPerRecord : 0;
    db.InsertRecord(
        RecordRow{r, id, 1, errors, std::string(1024, ' '), r == records ? "" : "123456789"});
  }
  for (int e = 0; e < kErrors; ++e) {
    const int rec = 3 + e / kErrorsPerRecord;
    db.InsertError(ErrorRow{0, "", rec, "Social Security Wages Correct [Position 220 - 230]",
                            "[00001234S67]",
                            "The Correct Social Security Wages must be numeric and "
                            "right-justified with zeros, or all blanks when not corrected."});
  }
  db.Commit();
}

double Seconds(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Best of three runs.
double Best(const std::function<void()>& work) {
  double best = 1e9;
  for (int i = 0; i < 3; ++i) best = std::min(best, Seconds(work));
  return best;
}

class NullView : public ReportView {
 public:
  void ShowPreview(const std::string&) override {}
  void SetSaveEnabled(bool) override {}
  void ShowWindow() override {}
};

class SavingPrompts : public Prompts {
 public:
  explicit SavingPrompts(std::string name) : name_(std::move(name)) {}
  Answer Message(const std::string&, const std::string&, Icon, Buttons) override {
    return Answer::kYes;
  }
  std::optional<std::string> OpenFile(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> SaveFile(const std::string&, const std::string&,
                                      const std::string&) override {
    return name_;
  }

 private:
  std::string name_;
};

class NoShell : public Shell {
 public:
  std::optional<std::string> FindAssociatedProgram(const std::string&) override {
    return "browser";
  }
  bool PrintDocument(const std::string&) override { return true; }
  bool OpenProgram(const std::string&, const std::string&) override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
  std::string folder;
  if (argc > 1) {
    folder = argv[1];
  } else {
    std::string pattern = (std::filesystem::temp_directory_path() / "report-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return 1;
    folder = pattern;
  }
  const std::string path = (std::filesystem::path(folder) / kResultsFileName).string();
  std::filesystem::remove(path);
  {
    auto db = ResultsDb::Create(path);
    Fill(*db);
  }
  auto db = ResultsDb::Open(path, true);

  size_t text_size = 0, html_size = 0, json_size = 0;
  const double text = Best([&] {
    ReportBuffer b;
    BuildTextReport(*db, b);
    text_size = b.text.size();
  });
  const double html = Best([&] {
    ReportBuffer b;
    BuildHtmlReport(*db, b, PreTextWidth(1024));
    html_size = b.text.size();
  });
  const double json = Best([&] {
    ReportBuffer b;
    BuildJsonReport(*db, b);
    json_size = b.text.size();
  });

  ReportSettings settings;
  SavingPrompts prompts((std::filesystem::path(folder) / "saved.txt").string());
  NullView view;
  NoShell shell;
  ReportContext context;
  context.db = db.get();
  context.settings = &settings;
  context.prompts = &prompts;
  context.view = &view;
  context.shell = &shell;
  context.program_folder = folder;
  ReportWindow window(context);
  const double preview = Best([&] { window.FormatReport(kReportText); });
  const double browser = Best([&] { window.FormatReport(kReportHtml); });

  std::printf("report of %d errors\n", kErrors);
  std::printf("  text build      %7.1f ms  (%zu bytes)\n", text * 1e3, text_size);
  std::printf("  HTML build      %7.1f ms  (%zu bytes)\n", html * 1e3, html_size);
  std::printf("  JSON build      %7.1f ms  (%zu bytes)\n", json * 1e3, json_size);
  std::printf("  text preview    %7.1f ms  (saved in pieces)\n", preview * 1e3);
  std::printf("  HTML hand-over  %7.1f ms  (temphtm.HTM in pieces)\n", browser * 1e3);
  if (argc <= 1) std::filesystem::remove_all(folder);
  return 0;
}
