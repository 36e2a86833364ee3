#include "tools/screenshot_tour/screenshot_tour.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPageSize>
#include <QPrinter>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "browse/record_viewer.h"
#include "core/tax_year.h"
#include "platform/platform_print.h"
#include "support/clean_records.h"
#include "support/fakes.h"
#include "tools/screenshot_tour/tour_pictures.h"
#include "ui/about_box.h"
#include "ui/font_dialog.h"
#include "ui/go_to_record_dialog.h"
#include "ui/grid_tip_window.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"
#include "ui/record_view.h"
#include "ui/report_form.h"
#include "ui/report_host.h"

namespace lintaro {
namespace {

// Writes the records, each followed by CR LF, readable by the user alone.
QString WriteSubmission(const QString& name, const std::vector<std::string>& records) {
  QFile f(name);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
  f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  const std::string text = testing::JoinRecords(records);
  f.write(text.data(), static_cast<qint64>(text.size()));
  return name;
}

// The print dialog of the tour: every page, one copy.
class PrintAllPages : public PrintDialogHost {
 public:
  bool Run(PrintDialog& dialog) override {
    dialog.copies = 1;
    return true;
  }
};

// A copy of the submission whose first wage record gets two more faulty
// fields (a state code that does not exist, a Correct amount with a letter),
// so that the viewer has several marked rows to show.
QString WithMoreMistakes(const QString& submission, const QString& copy) {
  QFile in(submission);
  if (!in.open(QIODevice::ReadOnly)) return {};
  QByteArray bytes = in.readAll();
  const qsizetype rcw = bytes.indexOf("\nRCW");
  if (rcw >= 0) {
    const qsizetype start = rcw + 1;
    bytes.replace(start + 187, 2, "XX");
    bytes.replace(start + 276, 11, "0000001000A");
  }
  QFile out(copy);
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
  out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  out.write(bytes);
  return copy;
}

// The tool tip over the longest message of the first record in error.
bool TourToolTip(MainWindow& window, const QString& folder) {
  auto* grid = window.findChild<QTableView*>("DBGrid2");
  if (grid == nullptr || grid->model() == nullptr || window.grid_tips() == nullptr) return true;
  int longest = 0;
  for (int r = 0; r < grid->model()->rowCount(); ++r)
    if (grid->model()->data(grid->model()->index(r, 2)).toString().size() >
        grid->model()->data(grid->model()->index(longest, 2)).toString().size())
      longest = r;
  const QRect cell = grid->visualRect(grid->model()->index(longest, 2));
  const QPoint at(std::min(cell.left() + 40, grid->viewport()->width() - 20), cell.center().y());
  const QPoint global = grid->viewport()->mapToGlobal(at);
  GridTips& tips = *window.grid_tips();
  tips.PointerMoved(at, global);
  if (tips.timer() != nullptr) tips.timer()->stop();
  for (int i = 0; i < GridTipTimer::kShowTick; ++i) tips.Tick(global);
  const bool ok = SaveWithTip(window, tips.tip_window(), folder, "10-grid-tool-tip.png");
  tips.FocusLost();
  if (tips.timer() != nullptr) tips.timer()->start();
  return ok;
}

// The text report window with its Save As and font dialogs.
bool TourReportWindow(MainWindow& window, const QString& folder) {
  ReportHost& reports = window.reports();
  reports.set_format_chooser([](const ReportFormat&) { return &TextReportFormat(); });
  window.ViewErrorReport();
  ReportForm* form = reports.form();
  if (form == nullptr) return true;
  bool ok = Save(form, folder, "12-report-window.png");
  QFileDialog save(form);
  PrepareSaveDialog(save, "Please Enter File Name",
                    "ASCII Text Files (*.txt)|*.txt|All Files (*.*)|*.*|", window.folders().data);
  save.show();
  ok &= Save(&save, folder, "16-save-as-dialog.png");
  save.close();
  QFont current(ToQString(form->logic().report_font_name));
  current.setPointSize(form->logic().report_font_size);
  ReportFontDialog font(current, form);
  font.show();
  ok &= Save(&font, folder, "17-font-dialog.png");
  font.close();
  form->close();
  return ok;
}

// The Report Option dialog, the report window, and the printed report (a
// PDF the script renders).
bool TourReport(MainWindow& window, const QString& folder) {
  bool ok = true;
  {
    ReportOptionDialog option(TextReportFormat(), &window);
    option.show();
    ok &= Save(&option, folder, "11-report-option.png");
    option.close();
  }
  ok &= TourReportWindow(window, folder);
  ReportHost& reports = window.reports();
  PrintAllPages all_pages;
  QPrinter& printer = reports.printer();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::Letter));
  printer.setOutputFileName(folder + "/13-printed-report.pdf");
  reports.set_print_dialog(&all_pages);
  window.PrintErrorReport();
  reports.set_print_dialog(nullptr);
  return ok;
}

// The viewer on the first wage record, scrolled to its first marked row;
// then Go to Record, and the same view maximised.
bool TourViewer(MainWindow& window, const QString& folder) {
  bool ok = true;
  window.ViewTestedRecords();
  auto* grid3 = window.findChild<QTableView*>("DBGrid3");
  if (grid3 == nullptr || grid3->model() == nullptr || grid3->model()->rowCount() <= 2) return ok;
  grid3->setCurrentIndex(grid3->model()->index(2, 0));
  RecordView* view = window.record_view();
  if (view->viewer() != nullptr) {
    const std::vector<int> marked = view->viewer()->MarkedRows();
    if (!marked.empty()) view->scroll_bar()->setValue(std::max(0, marked.front() - 1));
  }
  Settle();
  grid3->scrollTo(grid3->currentIndex(), QAbstractItemView::PositionAtCenter);
  ok &= Save(&window, folder, "09-record-viewer-marked.png");

  GoToRecordDialog go_to(grid3->model()->rowCount(), &window);
  go_to.entry()->setText("12");
  go_to.show();
  ok &= Save(&go_to, folder, "15-go-to-record.png");
  go_to.close();

  window.showMaximized();
  WaitForState(window, true);
  ok &= SaveScreen(window, folder, "14-record-viewer-maximised.png");
  window.showNormal();
  WaitForState(window, false);
  return ok;
}

// A real run of a submission with mistakes: the grid view, a tool tip, the
// report's windows and the record viewer.
bool TourMistakes(MainWindow& window, UnattendedPrompts& prompts, const QString& folder,
                  const QString& submission) {
  bool ok = true;
  prompts.add_file(ToStdString(submission));
  window.StartTesting();
  ok &= Save(&window, folder, "03-grid-findings.png");
  ok &= TourToolTip(window, folder);
  ok &= TourReport(window, folder);
  ok &= TourViewer(window, folder);
  return ok;
}

// A run in progress, caught partway through a long file, then a run that a
// record cut short stops, and its tested records.
bool TourRuns(MainWindow& window, UnattendedPrompts& prompts, const QString& folder,
              const QString& work) {
  bool ok = true;
  const QString large =
      WriteSubmission(work + "/large-submission.txt", testing::CleanSubmission(6000));
  bool grabbed = false;
  window.set_record_observer([&](int32_t rec_ctr) {
    if (!grabbed && rec_ctr == 2600) {
      grabbed = true;
      window.RefreshProgress();
      ok &= Save(&window, folder, "02-run-in-progress.png");
    }
  });
  prompts.add_file(ToStdString(large));
  window.StartTesting();
  window.set_record_observer(nullptr);
  ok &= grabbed;

  std::vector<std::string> cut = testing::CleanSubmission(3);
  cut[4].resize(1000);  // the third employee's record ends early
  prompts.add_file(ToStdString(WriteSubmission(work + "/short-submission.txt", cut)));
  window.StartTesting();
  ok &= Save(&window, folder, "04-grid-critical-stop.png");
  window.ViewTestedRecords();
  ok &= Save(&window, folder, "08-tested-records.png");
  return ok;
}

// The error-limit dialog, the about box and the help window.
bool TourSmallWindows(MainWindow& window, const QString& folder) {
  bool ok = true;
  window.set_max_errors(500);
  window.ShowErrorLimitDialog();
  if (QWidget* dialog = window.error_limit_dialog()) {
    ok &= Save(dialog, folder, "05-error-limit-dialog.png");
    dialog->close();
  }
  AboutBox about(&window);
  about.show();
  ok &= Save(&about, folder, "06-about-box.png");
  about.close();
  window.ShowHelpContents();
  if (QWidget* help = window.help_window()) {
    ok &= Save(help, folder, "07-help.png");
    help->close();
  }
  return ok;
}

}  // namespace

bool RunScreenshotTour(MainWindow& window, UnattendedPrompts& prompts, const QString& folder) {
  QDir().mkpath(folder);
  const QString work = ToQString(window.folders().data) + "tour";
  QDir().mkpath(work);
  bool ok = true;

  window.raise();
  ok &= SaveScreen(window, folder, "00-first-start-screen.png");
  ok &= Save(&window, folder, "01-welcome.png");
  ok &= TourRuns(window, prompts, folder, work);
  const QString mistakes = work + "/submission-with-mistakes.txt";
  if (QFile::exists(mistakes))
    ok &= TourMistakes(
        window, prompts, folder,
        WithMoreMistakes(mistakes, work + "/corrections-" + kTaxYearText.c_str() + ".txt"));
  ok &= TourSmallWindows(window, folder);
  return ok;
}

}  // namespace lintaro
