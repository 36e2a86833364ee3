#include "ui/qt_printer.h"

#include <QFile>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

#include "ui/qt_platform.h"

namespace lintaro {

namespace {

// A report printed to a file holds the employees' SSNs: the file is made
// readable by its owner alone before the printer writes anything into it.
// A file that cannot be opened is left to the printer, which reports it.
void KeepOwnerOnly(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::Append)) return;
  file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

// Whether the PDF file at path ends as a whole one does ("%%EOF"). The PDF
// writer does not tell when it could not write its file (a full disk).
bool EndsAsPdf(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  if (file.size() > 32) file.seek(file.size() - 32);
  return file.readAll().contains("%%EOF");
}

}  // namespace

QtReportPrinter::QtReportPrinter(QPrinter& printer) : printer_(printer) {
  font_ = QFont("Courier");
  font_.setStyleHint(QFont::TypeWriter);
  font_.setPointSize(10);
}

QtReportPrinter::~QtReportPrinter() { EndDoc(); }

double QtReportPrinter::Dpi() const {
  const int dpi = printer_.resolution();
  return dpi > 0 ? dpi : 72;
}

void QtReportPrinter::KeepMargins() {
  constexpr double kLeast = 0.5;  // inch
  const QMarginsF margins = printer_.pageLayout().margins(QPageLayout::Inch);
  const QMarginsF kept(std::max(margins.left(), kLeast), std::max(margins.top(), kLeast),
                       std::max(margins.right(), kLeast), std::max(margins.bottom(), kLeast));
  if (kept != margins) printer_.setPageMargins(kept, QPageLayout::Inch);
}

double QtReportPrinter::PageWidth() {
  KeepMargins();
  return printer_.pageRect(QPrinter::Inch).width();
}

double QtReportPrinter::PageHeight() {
  KeepMargins();
  return printer_.pageRect(QPrinter::Inch).height();
}

void QtReportPrinter::SetFont(const std::string& name, int size, bool bold) {
  font_ = QFont(ToQString(name));
  font_.setStyleHint(QFont::TypeWriter);
  font_.setPointSize(size > 0 ? size : 1);
  font_.setBold(bold);
  if (painter_) painter_->setFont(font_);
}

double QtReportPrinter::TextWidth(std::string_view text) {
  const QFontMetricsF metrics(font_, &printer_);
  return metrics.horizontalAdvance(ToQString(std::string(text))) / Dpi();
}

double QtReportPrinter::TextHeight(std::string_view) {
  const QFontMetricsF metrics(font_, &printer_);
  return metrics.lineSpacing() / Dpi();
}

bool QtReportPrinter::Begin() {
  if (painter_) return true;
  // A job the printer refused is not tried again line by line.
  if (job_refused_) return false;
  KeepMargins();
  if (!printer_.outputFileName().isEmpty()) KeepOwnerOnly(printer_.outputFileName());
  painter_ = std::make_unique<QPainter>();
  if (!painter_->begin(&printer_)) {
    painter_.reset();
    failed_ = true;
    job_refused_ = true;
    return false;
  }
  pages_ = 1;
  painter_->setFont(font_);
  return true;
}

void QtReportPrinter::DrawText(double x, double y, std::string_view text) {
  if (!Begin()) return;
  const QFontMetricsF metrics(font_, &printer_);
  const double dpi = Dpi();
  painter_->setFont(font_);
  painter_->drawText(QPointF(x * dpi, y * dpi + metrics.ascent()), ToQString(std::string(text)));
}

void QtReportPrinter::DrawRect(double left, double top, double right, double bottom) {
  if (!Begin()) return;
  const double dpi = Dpi();
  QPen pen(Qt::black);
  pen.setWidthF(dpi / 100.0);
  painter_->setPen(pen);
  painter_->setBrush(Qt::NoBrush);
  painter_->drawRect(QRectF(QPointF(left * dpi, top * dpi), QPointF(right * dpi, bottom * dpi)));
}

void QtReportPrinter::NewPage() {
  if (!painter_) return;  // nothing drawn yet: the job has not started
  printer_.newPage();
  ++pages_;
}

void QtReportPrinter::EndDoc() {
  job_refused_ = false;
  if (!painter_) return;
  const bool ended = painter_->end();
  painter_.reset();
  if (!ended ||
      (printer_.outputFormat() == QPrinter::PdfFormat && !EndsAsPdf(printer_.outputFileName())))
    failed_ = true;
}

bool QtPrintDialogHost::Run(PrintDialog& dialog) {
  QPrintDialog qt(&printer_, owner_);
  QAbstractPrintDialog::PrintDialogOptions options =
      QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintCollateCopies |
      QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintToFile;
  if (!(dialog.flags & kPdNoSelection)) options |= QAbstractPrintDialog::PrintSelection;
  qt.setOptions(options);
  qt.setMinMax(dialog.Min(), dialog.Max());
  qt.setFromTo(dialog.FromPage(), dialog.ToPage());
  qt.setPrintRange((dialog.flags & kPdPageNums) ? QAbstractPrintDialog::PageRange
                                                : QAbstractPrintDialog::AllPages);
  printer_.setCopyCount(std::max(1, dialog.copies));
  printer_.setCollateCopies((dialog.flags & kPdCollate) != 0);

  const int result = exec_ ? exec_(qt) : qt.exec();
  if (result != QDialog::Accepted) return false;

  int32_t flags = dialog.flags & ~(kPdPageNums | kPdCollate);
  if (qt.printRange() == QAbstractPrintDialog::PageRange) flags |= kPdPageNums;
  if (printer_.collateCopies()) flags |= kPdCollate;
  dialog.flags = flags;
  dialog.SetFromPage(qt.fromPage());
  dialog.SetToPage(qt.toPage());
  const int copies = std::max(1, printer_.copyCount());
  if (flags & kPdCollate) {
    dialog.copies = copies;
    printer_.setCopyCount(1);
  } else {
    dialog.copies = 1;
  }
  return true;
}

}  // namespace lintaro
