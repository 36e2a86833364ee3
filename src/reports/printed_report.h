// The printed error report (print mode) and its page count (count mode).
#ifndef LINTARO_REPORTS_PRINTED_REPORT_H_
#define LINTARO_REPORTS_PRINTED_REPORT_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/platform_print.h"

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

// One line of the printed report as laid out: what is drawn, where and in
// which font, how far it moves the next line down, and how many lines it
// stands for in the page count. Every line, the report's head as much as
// the findings, goes to the next page when it does not fit above the footer.
struct PrintedLine {
  enum class Kind {
    kText,   // drawn (an empty text too: the findings' blank lines)
    kSpace,  // only moves the next line down (the head's blank lines and gaps)
  };
  Kind kind = Kind::kText;
  double x = 0;       // inches from the left edge of the printable area
  std::string text;   // UTF-8
  std::string label;  // drawn at the left edge on the same line (the findings' labels)
  int size = 0;       // points
  bool bold = false;
  bool boxed = false;  // a rectangle is drawn around the text (the record headings)
  double height = 0;   // inches the next line goes down
  // Lines this one stands for in the page count: the title and the record
  // headings, set larger or in a box, stand for two.
  int counted = 1;
};

// The printed error report in the report font: one list of lines, which
// printing draws page by page and the page count counts.
class PrintedReport {
 public:
  PrintedReport(ReportPrinter& printer, std::string font_name, int font_size, PrintState& state);

  // Print mode: draws the pages state.first_page to state.last_page and ends
  // the job.
  void Print(ResultsDb& db);
  // Count mode: counts the lines and leaves the page count in
  // state.last_page; nothing is drawn.
  int CountPages(ResultsDb& db);

 private:
  // The report's lines, measured on the printer.
  std::vector<PrintedLine> LayOut(ResultsDb& db);
  void ResetPrintState();
  // Selects size and weight of the report font (only when they change).
  void SetSize(int size, bool bold);
  void ApplyFont();
  // One line at its x (its label at the left edge; a space draws nothing),
  // moving to the next page, printing the footer and ending the job at the
  // last page of the range as needed. Pages outside the range are laid out
  // without drawing.
  void PrintLine(const PrintedLine& line);
  void Footer();
  void FinishPage();

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
