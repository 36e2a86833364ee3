// The printed error report (print mode) and its page count (count mode).
#ifndef LINTARO_REPORTS_PRINTED_REPORT_H_
#define LINTARO_REPORTS_PRINTED_REPORT_H_

#include <string>
#include <string_view>
#include <vector>

#include "core/platform_print.h"

namespace lintaro {

class ResultsDb;

// The print state kept on the report window between calls.
struct PrintState {
  int page_number = 1;  // page being laid out
  int first_page = 0;   // pages to print; count mode leaves the page count
  int last_page = 0;    // in last_page
  bool print_done = false;
  double print_y = 0;  // where the next line goes, inches from the top
};

// WrapParagraph: breaks one line of text at spaces into lines no wider than
// limit inches in the printer's current font; a word wider than the limit
// is broken between characters. A text that fits is one line.
std::vector<std::string> WrapParagraph(ReportPrinter& printer, std::string_view text, double limit);

// WrapText: splits text at line feeds (dropping the carriage returns) and
// wraps each piece to the printable width less 1.5 inches. An empty text
// gives no lines.
std::vector<std::string> WrapText(ReportPrinter& printer, std::string_view text);
// The same, wrapping each piece to limit inches.
std::vector<std::string> WrapText(ReportPrinter& printer, std::string_view text, double limit);

// The page count of a report of line_count lines on pages that hold
// lines_per_page: ceiling((L + L / P) / P), leaving room for the footers.
int PageCountFor(int line_count, int lines_per_page);

// Lays the report out on the printer in the report font.
class PrintedReport {
 public:
  PrintedReport(ReportPrinter& printer, std::string font_name, int font_size, PrintState& state);

  // Print mode: draws the pages state.first_page to state.last_page and ends
  // the job.
  void Print(ResultsDb& db);
  // Count mode: counts the lines and leaves the page count in
  // state.last_page; nothing is drawn.
  int CountPages(ResultsDb& db);

  // PrintLine: one line at x (the label, when given, at the left margin on
  // the same line), moving to the next page, printing the footer and ending
  // the job at the last page of the range as needed.
  void PrintLine(double x, std::string_view text, bool boxed = false, std::string_view label = {});

 private:
  // Runs the layout; print draws, otherwise the lines are only counted.
  int Layout(ResultsDb& db, bool print);
  void ApplyFont();
  void SetSize(int size, bool bold);
  void Footer();
  void FinishPage();
  double LineHeight(std::string_view text);
  bool OnFirstPage() const { return state_.page_number == state_.first_page; }
  // Draws a line at the current PrintY on the first page only, without
  // moving PrintY (the header lines).
  void HeaderLine(double x, double dy, std::string_view text);

  ReportPrinter& printer_;
  std::string font_name_;
  int font_size_;
  PrintState& state_;
  int size_ = 0;
  bool bold_ = false;
  double footer_height_ = 0;
};

}  // namespace lintaro

#endif  // LINTARO_REPORTS_PRINTED_REPORT_H_
