// Fakes of the report's platform interfaces: a printer with fixed metrics,
// the shell, the report window's widgets and the print dialog.
#ifndef LINTARO_TESTS_SUPPORT_REPORT_FAKES_H_
#define LINTARO_TESTS_SUPPORT_REPORT_FAKES_H_

#include <optional>
#include <string>
#include <vector>

#include "core/platform_print.h"
#include "core/platform_shell.h"
#include "reports/report_window.h"

namespace lintaro::testing {

// A printer whose characters are all size / 80 inches wide and whose lines
// are size / 40 inches high (10 points: 1/8 inch by 1/4 inch), on a
// printable area of 8 by 10 inches. Every value is exact in binary.
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

  double width = 8.0, height = 10.0;
  std::vector<Page> pages;  // pages drawn in the current or last job
  int jobs_ended = 0, new_pages = 0;
  std::vector<std::vector<Page>> finished_jobs;
  std::string font_name;
  int font_size = 10;
  bool bold = false;

  double PageWidth() override { return width; }
  double PageHeight() override { return height; }
  void SetFont(const std::string& name, int size, bool b) override {
    font_name = name, font_size = size, bold = b;
  }
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
    ++new_pages;
    pages.emplace_back();
  }
  void EndDoc() override {
    ++jobs_ended;
    if (!started_) pages.clear();
    finished_jobs.push_back(pages);
    started_ = false;
  }
  // The texts of one page in drawing order.
  static std::vector<std::string> TextsOf(const Page& page) {
    std::vector<std::string> texts;
    for (const Text& t : page.texts) texts.push_back(t.text);
    return texts;
  }

 private:
  Page& Current() {
    if (!started_) started_ = true, pages.assign(1, Page{});
    return pages.back();
  }
  bool started_ = false;
};

class FakeShell : public Shell {
 public:
  std::optional<std::string> browser = "/usr/bin/browser";
  bool print_succeeds = true, open_succeeds = true;
  std::vector<std::string> looked_up, printed;
  std::vector<std::pair<std::string, std::string>> opened;

  std::optional<std::string> FindAssociatedProgram(const std::string& file) override {
    looked_up.push_back(file);
    return browser;
  }
  bool PrintDocument(const std::string& file) override {
    printed.push_back(file);
    return print_succeeds;
  }
  bool OpenProgram(const std::string& program, const std::string& parameter) override {
    opened.emplace_back(program, parameter);
    return open_succeeds;
  }
};

class FakeReportView : public ReportView {
 public:
  std::vector<std::string> previews;
  std::vector<bool> save_enabled;
  int shown = 0, busy_depth = 0;

  void ShowPreview(const std::string& text) override { previews.push_back(text); }
  void SetSaveEnabled(bool enabled) override { save_enabled.push_back(enabled); }
  void ShowWindow() override { ++shown; }
  void SetBusy(bool busy) override { busy_depth += busy ? 1 : -1; }
};

// The print dialog: confirms with the scripted choice, or cancels.
class FakePrintDialogHost : public PrintDialogHost {
 public:
  bool confirm = true;
  std::optional<std::pair<int, int>> page_range;  // chosen pages, else "All"
  int copies = 1;
  int seen_min = -1, seen_max = -1, seen_from = -1, seen_to = -1;  // what it was preset with
  int32_t seen_flags = 0;

  bool Run(PrintDialog& dialog) override {
    seen_min = dialog.Min(), seen_max = dialog.Max();
    seen_from = dialog.FromPage(), seen_to = dialog.ToPage(), seen_flags = dialog.flags;
    if (!confirm) return false;
    if (page_range) {
      dialog.flags |= kPdPageNums;
      dialog.SetFromPage(page_range->first);
      dialog.SetToPage(page_range->second);
    }
    dialog.copies = copies;
    return true;
  }
};

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_REPORT_FAKES_H_
