// What printing the error report needs from the platform: the printer the
// report is drawn on, in inches, and the system print dialog with the print
// dialog object of one print request (the option bits exchanged with the
// dialog, the page range and the copies). The desktop program implements
// them on the system printer and dialog; the tests use fixed metrics and
// scripted answers.
#ifndef LINTARO_PLATFORM_PLATFORM_PRINT_H_
#define LINTARO_PLATFORM_PLATFORM_PRINT_H_

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lintaro {

// The printer the error report is drawn on, in inches.
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

// The published print-dialog option bits the report uses.
inline constexpr int32_t kPdPageNums = 0x2;     // a page range was chosen
inline constexpr int32_t kPdNoSelection = 0x4;  // no "selection" choice
inline constexpr int32_t kPdCollate = 0x10;     // collated copies
inline constexpr int32_t kPdHidePrintToFile = 0x100000;

// Raised by ShowPrinter when the user cancels and CancelError is set.
class PrintDialogCancelled : public std::runtime_error {
 public:
  PrintDialogCancelled() : std::runtime_error("Cancel.") {}
  static constexpr int kNumber = 32755;
};

class PrintDialog;

// The system print dialog, given by the desktop program.
class PrintDialogHost {
 public:
  virtual ~PrintDialogHost() = default;
  // Shows the dialog preset with the object's flags, page range (FromPage,
  // ToPage within Min..Max) and copies, on the current printer. On
  // confirmation it stores the dialog's flags, then FromPage and ToPage
  // through the setters, makes the chosen printer current and, when the
  // collate bit is set, puts the copy count in Copies and 1 in the
  // printer's own count (otherwise the printer's count takes it and Copies
  // is 1); it returns true. Returns false when the user cancels.
  virtual bool Run(PrintDialog& dialog) = 0;
};

class PrintDialog {
 public:
  int32_t flags = 0;
  bool cancel_error = false;
  int copies = 1;  // copies the program prints itself

  int Min() const { return min_; }
  int Max() const { return max_; }
  int FromPage() const { return from_; }
  int ToPage() const { return to_; }

  // Each setter turns a negative value into 0 and then moves the other three
  // so that Min <= FromPage <= ToPage <= Max still holds around the new
  // value.
  void SetMin(int v);
  void SetMax(int v);
  void SetFromPage(int v);
  void SetToPage(int v);

  // ShowPrinter: runs the dialog; true when the user confirmed. A cancel
  // raises PrintDialogCancelled when cancel_error is set.
  bool ShowPrinter(PrintDialogHost& host);

 private:
  int min_ = 0;
  int max_ = 0;
  int from_ = 0;
  int to_ = 0;
};

}  // namespace lintaro

#endif  // LINTARO_PLATFORM_PLATFORM_PRINT_H_
