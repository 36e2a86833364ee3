// The report window's logic: FormatReport in its four forms, saving, the
// font setting and printing the text report. The desktop program puts the
// widgets around it through ReportView; nothing here draws a window.
#ifndef LINTARO_REPORTS_REPORT_WINDOW_H_
#define LINTARO_REPORTS_REPORT_WINDOW_H_

#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/platform_print.h"
#include "reports/browser.h"
#include "reports/html_report.h"
#include "reports/printed_report.h"
#include "reports/report_format.h"

namespace lintaro {

class ReportFileError;
class SavedTextFile;
class ResultsDb;

// The report settings that live for the whole program.
struct ReportSettings {
  const ReportFormat* report_choice = &TextReportFormat();  // one the desktop offers
  bool print_requested = false;
  bool report_cancelled = false;
};

// FormatReport's modes.
enum ReportMode : int {
  kReportPrint = 1,  // draw the requested pages on the printer
  kReportText = 2,   // the text preview
  kReportHtml = 3,   // the HTML report, handed to the browser
  kReportCount = 4,  // count the printed pages
};

// Print and Save As of a report window whose results a later test (of this
// program or another) has replaced.
inline constexpr const char* kReportResultsReplaced =
    "The results this report was made from have been replaced by a later test. "
    "Choose View Error Report again for the report of the last test.";
// The same when the results file was deleted and none took its place.
inline constexpr const char* kReportResultsDeleted =
    "The results this report was made from have been deleted. Choose Start Testing for new "
    "results.";

inline constexpr const char* kTooLargeSentence =
    "This report is too large to fit into the text preview.";

// The widgets of the report window, as the logic sees them.
class ReportView {
 public:
  virtual ~ReportView() = default;
  // Shows text (UTF-8, CR LF line ends) in the preview.
  virtual void ShowPreview(const std::string& text) = 0;
  virtual void SetSaveEnabled(bool enabled) = 0;
  // Shows the report window, not modal.
  virtual void ShowWindow() = 0;
  // The busy pointer.
  virtual void SetBusy(bool busy) {}
};

struct ReportContext {
  ResultsDb* db = nullptr;
  ReportSettings* settings = nullptr;
  Prompts* prompts = nullptr;
  ReportView* view = nullptr;
  ReportPrinter* printer = nullptr;         // print and count modes
  PrintDialogHost* print_dialog = nullptr;  // PrintTextReport
  Shell* shell = nullptr;                   // HTML mode
  std::string program_folder;
  std::string online_services_url = kOnlineServicesUrl;
  int screen_width_pixels = kDefaultScreenWidthPixels;
};

class ReportWindow {
 public:
  explicit ReportWindow(ReportContext context) : c_(std::move(context)) {}

  // FormatReport: builds the report from the results database in the given
  // mode. Precondition: the database holds at least one finding.
  void FormatReport(int mode);

  // PrintTextReport: counts the pages, asks the print dialog for the range
  // and copies, and prints. A cancelled dialog prints nothing; neither
  // does a report whose results were replaced (the user is told).
  void PrintTextReport();

  // SaveReportAs: asks for a file name and writes text to it; returns the
  // name, or empty (with report_cancelled set) when the dialog was cancelled
  // or the file could not be written, or the results were replaced.
  std::string SaveReportAs(const std::string& text);

  // The font command's confirmation: a non-empty name replaces the font
  // name; the size is rounded and kept within 8..20.
  void SetReportFont(const std::string& name, double size);

  // Shows the report window (the text preview).
  void ShowWindow() {
    if (c_.view) c_.view->ShowWindow();
  }

  // Window state.
  std::string report_text;
  std::string report_font_name = "Courier";
  int report_font_size = 10;
  PrintState print;

 private:
  // Says so, and is true, when the results file has been replaced since the
  // report was made from it.
  bool ResultsReplaced(const char* title);
  void FormatText();
  void FormatHtml();
  // The save dialog's name, or nothing (with report_cancelled set).
  std::optional<std::string> AskSaveName();
  // "The report could not be saved: " and why.
  void TellNotSaved(const ReportFileError& e);
  // Asks whether a report too large for the preview is saved, and where:
  // the file it goes to, or null (declined, cancelled, or a file that
  // cannot be made, which the user is told).
  std::unique_ptr<SavedTextFile> AskOverflowFile();

  ReportContext c_;
};

// What a report request needs from the main window.
class ReportRequestHost {
 public:
  virtual ~ReportRequestHost() = default;
  // The "Report Option" dialog, preset to current: the format chosen (one
  // the desktop offers), or null when it was cancelled.
  virtual const ReportFormat* AskReportFormat(const ReportFormat& current) = 0;
  // Enables or disables "View Error Report" and "Print Error Report" and lets
  // the window repaint.
  virtual void SetReportCommandsEnabled(bool enabled) = 0;
  // Closes any open report window and creates a new one, not shown yet.
  virtual ReportWindow& CreateReportWindow() = 0;
};

// The "View Error Report" command (and "Print Error Report", which sets
// print_requested first): says so when there is nothing to report, asks for
// the format and produces the report in it.
void RunReportRequest(ResultsDb& db, ReportSettings& settings, Prompts& prompts,
                      ReportRequestHost& host);

}  // namespace lintaro

#endif  // LINTARO_REPORTS_REPORT_WINDOW_H_
