// The main window's side of the error report: "View Error Report" and
// "Print Error Report" (RunReportRequest with the Report Option dialog and
// a fresh report window), the current printer and its print dialog, the
// browser hand-over through the desktop's shell, and the online-services
// page after a clean run.
#ifndef LINTARO_UI_REPORT_HOST_H_
#define LINTARO_UI_REPORT_HOST_H_

#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "reports/report_window.h"
#include "ui/screen_metrics.h"

class QPrinter;
class QWidget;

namespace lintaro {

class DesktopShell;
class QtPrintDialogHost;
class QtReportPrinter;
class ReportForm;

// The filing agency's online-services welcome page.
inline constexpr const char* kOnlineServicesAddress = "https://fileport.wagemark.example/welcome";

class ReportHost : public ReportRequestHost {
 public:
  // owner: the main window (parent of the dialogs and the report window);
  // metrics: the screen the report window's width is taken from.
  ReportHost(QWidget* owner, Prompts& prompts, std::string program_folder, std::string results_path,
             ScreenMetrics metrics);
  ~ReportHost() override;

  // The report request; print_requested set for "Print Error Report".
  void Request(bool print);
  // The online-services page in the default browser (an empty HTML text).
  void OpenOnlineServices();
  // Closes the report window (shutdown).
  void Close();

  // Replacements for tests and the screenshot tour: the shell, the print
  // dialog (null: the desktop's own again), the Report Option answer
  // (nothing = Cancel).
  void set_shell(Shell* shell);
  void set_print_dialog(PrintDialogHost* host);
  void set_format_chooser(std::function<const ReportFormat*(const ReportFormat& current)> f) {
    choose_format_ = std::move(f);
  }
  void set_online_services_url(std::string url) { online_services_url_ = std::move(url); }

  ReportSettings& settings() { return settings_; }
  QPrinter& printer();
  QtReportPrinter& report_printer();
  // The desktop's print dialog (tests script its exec).
  QtPrintDialogHost& qt_print_dialog();
  // The report window of the last request, if still open.
  ReportForm* form() const;
  bool commands_enabled() const { return commands_enabled_; }

  // ReportRequestHost.
  const ReportFormat* AskReportFormat(const ReportFormat& current) override;
  void SetReportCommandsEnabled(bool enabled) override;
  ReportWindow& CreateReportWindow() override;

 private:
  void MakePrinter();
  ReportContext Context();
  // Says so when the printer refused a job of this request.
  void ReportPrintFailure();

  QWidget* owner_;
  ScreenMetrics metrics_;
  Prompts& prompts_;
  std::string program_folder_;
  std::string results_path_;
  std::string online_services_url_ = kOnlineServicesAddress;
  ReportSettings settings_;
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<QtReportPrinter> report_printer_;
  std::unique_ptr<QtPrintDialogHost> qt_print_dialog_;
  std::unique_ptr<DesktopShell> desktop_shell_;
  Shell* shell_ = nullptr;
  PrintDialogHost* print_dialog_ = nullptr;  // null: the desktop's own
  std::function<const ReportFormat*(const ReportFormat&)> choose_format_;
  std::shared_ptr<ResultsDb> db_;  // the current request's database
  QPointer<ReportForm> form_;
  bool commands_enabled_ = true;
};

}  // namespace lintaro

#endif  // LINTARO_UI_REPORT_HOST_H_
