// Fakes of the report's platform interfaces: a printer with fixed metrics,
// the shell, the report window's widgets, the print dialog and the prompts.
// Given a Trace, each writes a line per call there, so that a scenario can
// be compared with a trace file.
#ifndef LINTARO_TESTS_SUPPORT_REPORT_FAKES_H_
#define LINTARO_TESTS_SUPPORT_REPORT_FAKES_H_

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "core/platform_print.h"
#include "core/platform_shell.h"
#include "reports/report_window.h"
#include "support/fakes.h"
#include "support/line_diff.h"

namespace lintaro::testing {

// What the fakes were asked, one line per call, in order.
class Trace {
 public:
  // Adds a line; CR and LF in it are written \r and \n.
  void Add(const std::string& line) {
    for (char c : line) text_ += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    text_ += '\n';
  }
  // The lines with every occurrence of folder written FOLDER.
  std::string Text(const std::string& folder) const {
    std::string out = text_;
    for (size_t at; !folder.empty() && (at = out.find(folder)) != std::string::npos;)
      out.replace(at, folder.size(), "FOLDER");
    return out;
  }
  // Compares Text(folder) with traces/SUITE.TEST.trace, named after the
  // running test.
  void ExpectHeldBy(const std::filesystem::path& traces, const std::string& folder) const {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    ExpectFileHolds(traces / (std::string(test->test_suite_name()) + "." + test->name() + ".trace"),
                    Text(folder));
  }

 private:
  std::string text_;
};

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

  explicit FakePrinter(Trace* trace = nullptr) : trace_(trace) {}

  double width = 8.0, height = 10.0;
  std::vector<Page> pages;  // pages drawn in the current or last job
  int jobs_ended = 0;
  int font_size = 10;
  bool bold = false;

  double PageWidth() override { return width; }
  double PageHeight() override { return height; }
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
    if (!trace_) return;
    std::string footers;
    for (const Page& p : pages)
      footers += " [" + (p.texts.empty() ? "" : p.texts.back().text) + "]";
    trace_->Add("printer: job of " + std::to_string(pages.size()) + " page(s):" + footers);
  }
  // A page's texts, one a line: x and y in inches, the size ("b" when bold)
  // and the text.
  static std::string Describe(const Page& page) {
    std::string out;
    char place[64];
    for (const Text& t : page.texts) {
      std::snprintf(place, sizeof place, "%.4f %.4f %d%s ", t.x, t.y, t.size, t.bold ? "b" : "");
      out += place + t.text + "\n";
    }
    return out;
  }

 private:
  Page& Current() {
    if (!started_) started_ = true, pages.assign(1, Page{});
    return pages.back();
  }
  bool started_ = false;
  Trace* trace_;
};

class FakeShell : public Shell {
 public:
  explicit FakeShell(Trace* trace) : trace_(trace) {}
  std::optional<std::string> browser = "/usr/bin/browser";
  bool print_succeeds = true, open_succeeds = true;

  std::optional<std::string> FindAssociatedProgram(const std::string& file) override {
    trace_->Add("shell: browser for " + file + " is " + browser.value_or("none"));
    return browser;
  }
  bool PrintDocument(const std::string& file) override {
    trace_->Add("shell: print " + file + (print_succeeds ? "" : " fails"));
    return print_succeeds;
  }
  bool OpenProgram(const std::string& program, const std::string& parameter) override {
    trace_->Add("shell: open " + program + " " + parameter + (open_succeeds ? "" : " fails"));
    return open_succeeds;
  }

 private:
  Trace* trace_;
};

class FakeReportView : public ReportView {
 public:
  explicit FakeReportView(Trace* trace) : trace_(trace) {}
  // A preview of more than 100 bytes is traced as its first line and size.
  void ShowPreview(const std::string& text) override {
    trace_->Add("view: preview " + (text.size() <= 100
                                        ? text
                                        : text.substr(0, text.find('\r')) + " (" +
                                              std::to_string(text.size()) + " bytes)"));
  }
  void SetSaveEnabled(bool enabled) override {
    trace_->Add(enabled ? "view: save on" : "view: save off");
  }
  void ShowWindow() override { trace_->Add("view: shown"); }
  void SetBusy(bool busy) override { trace_->Add(busy ? "view: busy" : "view: not busy"); }

 private:
  Trace* trace_;
};

// The print dialog: confirms with the scripted choice, or cancels. Traces
// the presets and the answer.
class FakePrintDialogHost : public PrintDialogHost {
 public:
  explicit FakePrintDialogHost(Trace* trace) : trace_(trace) {}
  bool confirm = true;
  std::optional<std::pair<int, int>> page_range;  // chosen pages, else "All"
  int copies = 1;
  int seen_max = -1;  // the last page it was preset with

  bool Run(PrintDialog& dialog) override {
    char line[160];
    std::snprintf(line, sizeof line, "print dialog: pages %d-%d of %d-%d, flags 0x%x -> ",
                  dialog.FromPage(), dialog.ToPage(), dialog.Min(), dialog.Max(),
                  static_cast<unsigned>(dialog.flags));
    seen_max = dialog.Max();
    if (!confirm) {
      trace_->Add(line + std::string("cancelled"));
      return false;
    }
    if (page_range) {
      dialog.flags |= kPdPageNums;
      dialog.SetFromPage(page_range->first);
      dialog.SetToPage(page_range->second);
    }
    dialog.copies = copies;
    trace_->Add(line +
                (page_range ? "pages " + std::to_string(page_range->first) + "-" +
                                  std::to_string(page_range->second)
                            : std::string("every page")) +
                ", copies " + std::to_string(copies));
    return true;
  }

 private:
  Trace* trace_;
};

// Prompts that answer from their script and trace each message box with its
// answer and each save dialog with the name given.
class TracedPrompts : public ScriptedPrompts {
 public:
  explicit TracedPrompts(Trace* trace) : trace_(trace) {}
  Answer Message(const std::string& title, const std::string& text, Icon icon,
                 Buttons buttons) override {
    static const char* const kAnswers[] = {"ok", "cancel", "yes", "no"};
    const Answer answer = ScriptedPrompts::Message(title, text, icon, buttons);
    trace_->Add("box: " + Describe(messages.back()) + " -> " + kAnswers[static_cast<int>(answer)]);
    return answer;
  }
  std::optional<std::string> SaveFile(const std::string& title, const std::string& filter,
                                      const std::string& start_folder) override {
    std::optional<std::string> name = ScriptedPrompts::SaveFile(title, filter, start_folder);
    trace_->Add("save dialog: " + title + " | " + filter + " | " + start_folder + " -> " +
                name.value_or("cancelled"));
    return name;
  }

 private:
  Trace* trace_;
};

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_REPORT_FAKES_H_
