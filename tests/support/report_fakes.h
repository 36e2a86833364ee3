// Fakes of the report's platform interfaces: a printer with fixed metrics,
// the shell, the report window's widgets, the print dialog and the prompts.
// Given a trace, each adds a line per call to it, so that a scenario can be
// compared with a trace file.
#ifndef LINTARO_TESTS_SUPPORT_REPORT_FAKES_H_
#define LINTARO_TESTS_SUPPORT_REPORT_FAKES_H_

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform_print.h"
#include "platform/platform_shell.h"
#include "reports/printed_report.h"
#include "reports/report_window.h"
#include "support/fakes.h"
#include "support/line_diff.h"
#include "support/recipe.h"

namespace lintaro::testing {

// Adds line to *trace (if any), escaped as the golden files escape texts.
inline void Note(std::string* trace, const std::string& line) {
  if (trace) *trace += Escape(line) + '\n';
}

// Compares trace, with every occurrence of folder written FOLDER, with
// traces/SUITE.TEST.trace, named after the running test.
inline void ExpectTraceHeld(std::string trace, const std::string& folder,
                            const std::filesystem::path& traces) {
  const std::string name = "FOLDER";
  for (size_t at = 0; !folder.empty() && (at = trace.find(folder, at)) != std::string::npos;
       at += name.size())
    trace.replace(at, folder.size(), name);
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  ExpectFileHolds(traces / (std::string(test->test_suite_name()) + "." + test->name() + ".trace"),
                  trace);
}

// A printer whose characters are all size / 80 inches wide and whose lines
// are size / 40 inches high (10 points: 1/8 inch by 1/4 inch), on a
// printable area of 8 by 10 inches. Every value is exact in binary. Traces
// each finished job with the last text (the footer) of each page.
class FakePrinter : public ReportPrinter {
 public:
  struct Text {
    double x, y;
    std::string text;
    int size;
    bool bold;
  };
  struct Rect {
    double left, top, right, bottom;
  };
  struct Page {
    std::vector<Text> texts;
    std::vector<Rect> rects;
  };

  std::vector<Page> pages;  // pages drawn in the current or last job
  int jobs_ended = 0, font_size = 10;
  bool bold = false;
  std::string* trace = nullptr;

  double PageWidth() override { return 8.0; }
  double PageHeight() override { return 10.0; }
  void SetFont(const std::string&, int size, bool b) override { font_size = size, bold = b; }
  double TextWidth(std::string_view text) override {
    size_t chars = 0;  // UTF-8 characters, not bytes
    for (unsigned char c : text) chars += (c & 0xC0) != 0x80;
    return static_cast<double>(chars) * font_size / 80.0;
  }
  double TextHeight(std::string_view) override { return font_size / 40.0; }
  void DrawText(double x, double y, std::string_view text) override {
    Current().texts.push_back({x, y, std::string(text), font_size, bold});
  }
  void DrawRect(double left, double top, double right, double bottom) override {
    Current().rects.push_back({left, top, right, bottom});
  }
  void NewPage() override {
    Current();
    pages.emplace_back();
  }
  void EndDoc() override {
    ++jobs_ended;
    if (!started_) pages.clear();
    started_ = false;
    std::string footers;
    for (const Page& p : pages)
      footers += " [" + (p.texts.empty() ? "" : p.texts.back().text) + "]";
    Note(trace, "printer: job of " + std::to_string(pages.size()) + " page(s):" + footers);
  }
  // A page's texts, one a line: x and y in inches, the size ("b" when bold),
  // a tab and the text; then its boxes, in drawing order.
  static std::string Describe(const Page& page) {
    std::string out;
    char place[64];
    for (const Text& t : page.texts) {
      std::snprintf(place, sizeof place, "%.4f %.4f %d%s\t", t.x, t.y, t.size, t.bold ? "b" : "");
      out += place + t.text + "\n";
    }
    for (const Rect& r : page.rects) {
      std::snprintf(place, sizeof place, "box %.4f %.4f %.4f %.4f\n", r.left, r.top, r.right,
                    r.bottom);
      out += place;
    }
    return out;
  }

 private:
  Page& Current() {
    if (!started_) started_ = true, pages.assign(1, Page{});
    return pages.back();
  }
  bool started_ = false;
};

// Prints pages first..last of the report with the fake printer, which it
// returns, and expects the job to end once.
inline FakePrinter PrintPages(ResultsDb& db, int first, int last, int size = 10) {
  FakePrinter printer;
  PrintState state;
  state.first_page = first;
  state.last_page = last;
  PrintedReport(printer, "Courier", size, state).Print(db);
  EXPECT_TRUE(state.print_done);
  EXPECT_EQ(printer.jobs_ended, 1);
  return printer;
}

class FakeShell : public Shell {
 public:
  std::string* trace = nullptr;
  std::optional<std::string> browser = "/usr/bin/browser";
  bool print_succeeds = true, open_succeeds = true;

  std::optional<std::string> FindAssociatedProgram(const std::string& file) override {
    Note(trace, "shell: browser for " + file + " is " + browser.value_or("none"));
    return browser;
  }
  bool PrintDocument(const std::string& file) override {
    Note(trace, "shell: print " + file + (print_succeeds ? "" : " fails"));
    return print_succeeds;
  }
  bool OpenProgram(const std::string& program, const std::string& parameter) override {
    Note(trace, "shell: open " + program + " " + parameter + (open_succeeds ? "" : " fails"));
    return open_succeeds;
  }
};

// Traces a preview of more than 100 bytes as its first line and size.
class FakeReportView : public ReportView {
 public:
  std::string* trace = nullptr;
  void ShowPreview(const std::string& text) override {
    const std::string size = " (" + std::to_string(text.size()) + " bytes)";
    Note(trace,
         "view: preview " + (text.size() <= 100 ? text : text.substr(0, text.find('\r')) + size));
  }
  void SetSaveEnabled(bool enabled) override {
    Note(trace, enabled ? "view: save on" : "view: save off");
  }
  void ShowWindow() override { Note(trace, "view: shown"); }
  void SetBusy(bool busy) override { Note(trace, busy ? "view: busy" : "view: not busy"); }
};

// The print dialog's pages, flags and copies: "FROM-TO of MIN-MAX, flags
// 0xFLAGS, copies N".
inline std::string DescribePrintDialog(const PrintDialog& d) {
  char text[80];
  std::snprintf(text, sizeof text, "%d-%d of %d-%d, flags 0x%x, copies %d", d.FromPage(),
                d.ToPage(), d.Min(), d.Max(), static_cast<unsigned>(d.flags), d.copies);
  return text;
}

// The print dialog: confirms with the scripted choice, or cancels. Traces
// the presets and the answer.
class FakePrintDialogHost : public PrintDialogHost {
 public:
  std::string* trace = nullptr;
  bool confirm = true;
  std::optional<std::pair<int, int>> page_range;  // chosen pages, else "All"
  int copies = 1;
  int seen_max = -1;  // the last page it was preset with

  bool Run(PrintDialog& d) override {
    const std::string presets = DescribePrintDialog(d);
    seen_max = d.Max();
    if (confirm && page_range) {
      d.flags |= kPdPageNums;
      d.SetFromPage(page_range->first);
      d.SetToPage(page_range->second);
    }
    if (confirm) d.copies = copies;
    Note(trace,
         "print dialog: " + presets + " -> " + (confirm ? DescribePrintDialog(d) : "cancelled"));
    return confirm;
  }
};

// Prompts that answer from their script and trace each message box with its
// answer and each save dialog with the name given.
class TracedPrompts : public ScriptedPrompts {
 public:
  std::string* trace = nullptr;
  Answer Message(const std::string& title, const std::string& text, Icon icon,
                 Buttons buttons) override {
    static const char* const kAnswers[] = {"ok", "cancel", "yes", "no"};
    const Answer answer = ScriptedPrompts::Message(title, text, icon, buttons);
    Note(trace, "box: " + Describe(messages.back()) + " -> " + kAnswers[static_cast<int>(answer)]);
    return answer;
  }
  std::optional<std::string> SaveFile(const std::string& title, const std::string& filter,
                                      const std::string& folder) override {
    std::optional<std::string> name = ScriptedPrompts::SaveFile(title, filter, folder);
    Note(trace, "save dialog: " + title + " | " + filter + " | " + folder + " -> " +
                    name.value_or("cancelled"));
    return name;
  }
};

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_REPORT_FAKES_H_
