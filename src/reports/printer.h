// The printer the error report is drawn on, in inches. The desktop program
// implements it on the system printer; the tests use fixed metrics.
#ifndef LINTARO_REPORTS_PRINTER_H_
#define LINTARO_REPORTS_PRINTER_H_

#include <string>
#include <string_view>

namespace lintaro {

class ReportPrinter {
 public:
  virtual ~ReportPrinter() = default;

  // The printable area of a page, in inches. Positions are measured from
  // its top-left corner, y growing downwards.
  virtual double PageWidth() = 0;
  virtual double PageHeight() = 0;

  // Selects the font for the measurements and drawings that follow. size is
  // in points.
  virtual void SetFont(const std::string& name, int size, bool bold) = 0;
  // Width and height of a one-line text (UTF-8) in the current font, in
  // inches. The height is the font's line height.
  virtual double TextWidth(std::string_view text) = 0;
  virtual double TextHeight(std::string_view text) = 0;

  // Draws a one-line text (UTF-8) with its top-left corner at (x, y). The
  // first drawing of a job starts the job on its first page.
  virtual void DrawText(double x, double y, std::string_view text) = 0;
  // Draws the outline of a rectangle.
  virtual void DrawRect(double left, double top, double right, double bottom) = 0;
  // Ends the current page and starts the next.
  virtual void NewPage() = 0;
  // Ends the job and sends it to the printer. A job in which nothing was
  // drawn (a page range past the report's end) prints nothing.
  virtual void EndDoc() = 0;
};

}  // namespace lintaro

#endif  // LINTARO_REPORTS_PRINTER_H_
