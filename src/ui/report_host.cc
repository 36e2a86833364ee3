#include "ui/report_host.h"

#include <QApplication>
#include <QPrinter>
#include <QScreen>

#include "reports/browser.h"
#include "store/results_db.h"
#include "ui/desktop_shell.h"
#include "ui/qt_platform.h"
#include "ui/qt_printer.h"
#include "ui/report_form.h"

namespace lintaro {

ReportHost::ReportHost(QWidget* owner, Prompts& prompts, std::string program_folder,
                       std::string results_path, ScreenMetrics metrics)
    : owner_(owner),
      metrics_(metrics),
      prompts_(prompts),
      program_folder_(std::move(program_folder)),
      results_path_(std::move(results_path)),
      desktop_shell_(std::make_unique<DesktopShell>()) {
  shell_ = desktop_shell_.get();
  choose_format_ = [this](const ReportFormat& current) -> const ReportFormat* {
    ReportOptionDialog dialog(current, owner_);
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    return &dialog.choice();
  };
}

ReportHost::~ReportHost() { Close(); }

// The printer is made when a report first needs it: making it loads the
// system's printing, which a window that only tests files never uses.
void ReportHost::MakePrinter() {
  if (printer_) return;
  printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer_->setDocName("Lintaro Error Report");
  report_printer_ = std::make_unique<QtReportPrinter>(*printer_);
  qt_print_dialog_ = std::make_unique<QtPrintDialogHost>(*printer_, owner_);
}

QPrinter& ReportHost::printer() {
  MakePrinter();
  return *printer_;
}

QtReportPrinter& ReportHost::report_printer() {
  MakePrinter();
  return *report_printer_;
}

QtPrintDialogHost& ReportHost::qt_print_dialog() {
  MakePrinter();
  return *qt_print_dialog_;
}

void ReportHost::set_shell(Shell* shell) {
  shell_ = shell != nullptr ? shell : desktop_shell_.get();
}

void ReportHost::set_print_dialog(PrintDialogHost* host) { print_dialog_ = host; }

ReportForm* ReportHost::form() const { return form_.data(); }

void ReportHost::Close() {
  if (form_) {
    form_->close();
    delete form_.data();
  }
}

ReportContext ReportHost::Context() {
  ReportContext c;
  c.settings = &settings_;
  c.prompts = &prompts_;
  MakePrinter();
  c.printer = report_printer_.get();
  c.print_dialog = print_dialog_ != nullptr ? print_dialog_ : qt_print_dialog_.get();
  c.shell = shell_;
  c.program_folder = program_folder_;
  c.online_services_url = online_services_url_;
  int width = metrics_.screen_width;
  if (width <= 0) {
    QScreen* screen = QGuiApplication::primaryScreen();
    width = screen != nullptr ? screen->geometry().width() : kDefaultScreenWidthPixels;
  }
  c.screen_width_pixels = width;
  return c;
}

void ReportHost::Request(bool print) {
  settings_.print_requested = print;
  try {
    db_ = ResultsDb::Open(results_path_, true);
  } catch (const std::exception& e) {
    prompts_.Message(
        "Results",
        "The results of the last test cannot be read from " + results_path_ + ".\r\n" + e.what(),
        Icon::kCritical, Buttons::kOk);
    settings_.print_requested = false;
    return;
  }
  try {
    RunReportRequest(*db_, settings_, prompts_, *this);
  } catch (const std::exception& e) {
    // A database or printer failure ends the request, never the program.
    prompts_.Message("Report", std::string("The report could not be made: ") + e.what(),
                     Icon::kCritical, Buttons::kOk);
    settings_.print_requested = false;
    SetReportCommandsEnabled(true);
  }
  ReportPrintFailure();
  // The report window keeps the database open for its own commands.
  db_.reset();
}

void ReportHost::ReportPrintFailure() {
  if (!report_printer_ || !report_printer_->TakeFailure()) return;
  QString where = printer_->printerName();
  if (printer_->outputFormat() == QPrinter::PdfFormat) where = printer_->outputFileName();
  prompts_.Message("Print Error Report",
                   "The report could not be printed on " + ToStdString(where) + ".",
                   Icon::kExclamation, Buttons::kOk);
}

void ReportHost::OpenOnlineServices() {
  std::string html;
  BrowserRequest request{program_folder_, online_services_url_, false};
  OpenInBrowser(prompts_, *shell_, request, html);
}

// Any open report window closes before the format is asked for.
const ReportFormat* ReportHost::AskReportFormat(const ReportFormat& current) {
  Close();
  return choose_format_(current);
}

void ReportHost::SetReportCommandsEnabled(bool enabled) {
  commands_enabled_ = enabled;
  if (owner_ != nullptr) owner_->repaint();
}

ReportWindow& ReportHost::CreateReportWindow() {
  Close();
  auto* form = new ReportForm(Context(), db_, owner_);
  // The print dialog of the report window's Print belongs to that window,
  // which stays in front when it closes.
  form->set_before_print([this, form] { qt_print_dialog_->set_owner(form); });
  form->set_after_print([this] {
    qt_print_dialog_->set_owner(owner_);
    ReportPrintFailure();
  });
  form_ = form;
  return form->logic();
}

}  // namespace lintaro
