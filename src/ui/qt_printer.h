// The error report on the system printer: ReportPrinter drawing in inches on
// a QPrinter, and the system print dialog exchanging its page range, copies
// and option bits with the print dialog object.
#ifndef LINTARO_UI_QT_PRINTER_H_
#define LINTARO_UI_QT_PRINTER_H_

#include <QFont>
#include <functional>
#include <memory>

#include "platform/platform_print.h"

class QPainter;
class QPrinter;
class QPrintDialog;
class QWidget;

namespace lintaro {

// Draws on printer in inches from the top-left corner of the printable
// area. Texts are measured with the printer's own font metrics (its
// resolution), so what is laid out is what is printed. The job starts with
// the first drawing; a job in which nothing was drawn prints nothing.
class QtReportPrinter : public ReportPrinter {
 public:
  explicit QtReportPrinter(QPrinter& printer);
  ~QtReportPrinter() override;

  double PageWidth() override;
  double PageHeight() override;
  void SetFont(const std::string& name, int size, bool bold) override;
  double TextWidth(std::string_view text) override;
  double TextHeight(std::string_view text) override;
  void DrawText(double x, double y, std::string_view text) override;
  void DrawRect(double left, double top, double right, double bottom) override;
  void NewPage() override;
  void EndDoc() override;

  // Pages started in the current or last job.
  int pages() const { return pages_; }
  // Whether a job could not be started since the last call (the printer or
  // its output file refused it); clears the mark.
  bool TakeFailure() {
    const bool failed = failed_;
    failed_ = false;
    job_refused_ = false;
    return failed;
  }

 private:
  bool Begin();
  // Widens the printer's margins to half an inch where they are narrower
  // (a PDF file's are about 10 points, which a printer cuts off).
  void KeepMargins();
  double Dpi() const;

  QPrinter& printer_;
  std::unique_ptr<QPainter> painter_;
  QFont font_;
  int pages_ = 0;
  bool failed_ = false;
  bool job_refused_ = false;
};

// The system print dialog (QPrintDialog) on printer, owned by owner.
//
// Preset: the page range Min..Max with FromPage..ToPage chosen, "Pages"
// selected when the flags carry PD_PAGENUMS, no "Selection" choice when
// they carry PD_NOSELECTION, collated copies offered. On confirmation the
// flags take PD_PAGENUMS when a page range was chosen and PD_COLLATE when
// collated copies were asked; FromPage and ToPage are set through the
// object's setters; with collation the program prints the copies itself
// (Copies := the count, the printer's own count := 1), otherwise the
// printer makes them (Copies := 1). The chosen printer, duplex and
// orientation are the dialog's, on printer itself.
//
// PD_HIDEPRINTTOFILE is not applied: on this desktop "Print to File (PDF)"
// is the printer a machine without a physical one prints to.
class QtPrintDialogHost : public PrintDialogHost {
 public:
  QtPrintDialogHost(QPrinter& printer, QWidget* owner) : printer_(printer), owner_(owner) {}
  void set_owner(QWidget* owner) { owner_ = owner; }

  // Replaces the dialog's exec() (tests script the user's choices on the
  // real dialog object).
  void set_exec(std::function<int(QPrintDialog&)> exec) { exec_ = std::move(exec); }

  bool Run(PrintDialog& dialog) override;

 private:
  QPrinter& printer_;
  QWidget* owner_;
  std::function<int(QPrintDialog&)> exec_;
};

}  // namespace lintaro

#endif  // LINTARO_UI_QT_PRINTER_H_
