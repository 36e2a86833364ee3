#include "ui/screenshot_tour.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "browse/record_viewer.h"
#include "core/error_limit.h"
#include "core/platform_print.h"
#include "store/results_db.h"
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

std::string Record(const std::string& id, const std::string& fill = {}) {
  std::string r(1024, ' ');
  r.replace(0, id.size(), id);
  if (!fill.empty()) r.replace(3, fill.size(), fill);
  return r;
}

bool WriteFile(const QString& name, const std::vector<std::string>& records) {
  QFile f(name);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  for (const std::string& r : records) {
    f.write(r.data(), static_cast<qint64>(r.size()));
    f.write("\r\n", 2);
  }
  return true;
}

// Lets the program and the window system work for a fifth of a second:
// windows are mapped, placed by the window manager and painted.
void Settle() {
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 200) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
}

// The window's picture under a plain title bar with its caption, as the
// user sees it framed by the desktop.
QPixmap WithTitleBar(QWidget* w) {
  const QPixmap body = w->grab();
  const int bar = 26;
  QPixmap framed(body.width() + 2, body.height() + bar + 1);
  framed.fill(QColor(0x3a, 0x4a, 0x5f));
  QPainter p(&framed);
  p.drawPixmap(1, bar, body);
  p.drawPixmap(6, 5, w->windowIcon().pixmap(16, 16));
  p.setPen(Qt::white);
  QFont f = p.font();
  f.setBold(true);
  p.setFont(f);
  p.drawText(QRect(28, 0, framed.width() - 32, bar), Qt::AlignLeft | Qt::AlignVCenter,
             w->windowTitle());
  return framed;
}

// The screen's pixels in rect (logical coordinates) when the program runs
// on an X display, where the window manager's frame is part of them; a null
// picture elsewhere.
QPixmap ScreenPixels(const QRect& rect) {
  if (QGuiApplication::platformName() != "xcb") return {};
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  return screen->grabWindow(0, rect.x(), rect.y(), rect.width(), rect.height());
}

// The window as the screen shows it, frame and all, or drawn with a plain
// title bar when there is no screen to read.
QPixmap Picture(QWidget* w) {
  const QPixmap shot = ScreenPixels(w->frameGeometry());
  return shot.isNull() ? WithTitleBar(w) : shot;
}

bool SavePixmap(const QPixmap& picture, const QString& folder, const char* name) {
  const QString file = folder + "/" + name;
  const bool ok = !picture.isNull() && picture.save(file, "PNG");
  std::fprintf(stderr, "%s %s\n", ok ? "saved" : "could not save", file.toUtf8().constData());
  return ok;
}

// Waits (at most two seconds) until the window system shows w, then lets
// it paint.
void WaitUntilShown(QWidget* w) {
  for (int i = 0; i < 10; ++i) {
    const QWindow* handle = w->window()->windowHandle();
    if (handle != nullptr && handle->isExposed()) break;
    Settle();
  }
  Settle();
}

bool Save(QWidget* w, const QString& folder, const char* name) {
  WaitUntilShown(w);
  return SavePixmap(Picture(w), folder, name);
}

// The whole screen (on an X display only; elsewhere nothing is saved).
bool SaveScreen(QWidget& window, const QString& folder, const char* name) {
  WaitUntilShown(&window);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (QGuiApplication::platformName() != "xcb" || screen == nullptr) return true;
  return SavePixmap(ScreenPixels(screen->geometry()), folder, name);
}

// Waits (at most two seconds) until the window manager has given the
// window the state asked for.
void WaitForState(QWidget& window, bool maximised) {
  for (int i = 0; i < 10 && window.isMaximized() != maximised; ++i) Settle();
  Settle();
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
  out.write(bytes);
  return copy;
}

// The main window with the tool tip over it, as the screen shows both.
bool SaveWithTip(MainWindow& window, QWidget* tip, const QString& folder, const char* name) {
  Settle();
  if (tip != nullptr && tip->isVisible()) {
    const QPixmap shot = ScreenPixels(window.frameGeometry().united(tip->geometry()));
    if (!shot.isNull()) return SavePixmap(shot, folder, name);
  }
  const QPixmap framed = WithTitleBar(&window);
  QPixmap shot = framed;
  if (tip != nullptr && tip->isVisible()) {
    // The tip may reach past the window, as on the screen.
    const QPoint at = tip->pos() - window.mapToGlobal(QPoint(0, 0)) + QPoint(1, 26);
    const QRect all = framed.rect().united(QRect(at, tip->size()));
    shot = QPixmap(all.size());
    shot.fill(QColor(0x2b, 0x2b, 0x2b));
    QPainter p(&shot);
    p.drawPixmap(-all.topLeft(), framed);
    p.drawPixmap(at - all.topLeft(), tip->grab());
  }
  const QString file = folder + "/" + name;
  const bool ok = shot.save(file, "PNG");
  std::fprintf(stderr, "%s %s\n", ok ? "saved" : "could not save", file.toUtf8().constData());
  return ok;
}

// The tool tip over the longest message of the first record in error.
bool TourToolTip(MainWindow& window, const QString& folder) {
  auto* grid = window.findChild<QTableView*>("DBGrid2");
  if (grid == nullptr || grid->model() == nullptr || window.gridTips() == nullptr) return true;
  int longest = 0;
  for (int r = 0; r < grid->model()->rowCount(); ++r)
    if (grid->model()->data(grid->model()->index(r, 2)).toString().size() >
        grid->model()->data(grid->model()->index(longest, 2)).toString().size())
      longest = r;
  const QRect cell = grid->visualRect(grid->model()->index(longest, 2));
  const QPoint at(std::min(cell.left() + 40, grid->viewport()->width() - 20), cell.center().y());
  const QPoint global = grid->viewport()->mapToGlobal(at);
  GridTips& tips = *window.gridTips();
  tips.PointerMoved(at, global);
  if (tips.timer() != nullptr) tips.timer()->stop();
  for (int i = 0; i < GridTipTimer::kShowTick; ++i) tips.Tick(global);
  const bool ok = SaveWithTip(window, tips.tipWindow(), folder, "10-grid-tool-tip.png");
  tips.FocusLost();
  if (tips.timer() != nullptr) tips.timer()->start();
  return ok;
}

// The Report Option dialog, the text report window with its Save As and
// font dialogs, and the printed report (a PDF the script renders).
bool TourReport(MainWindow& window, const QString& folder) {
  bool ok = true;
  {
    ReportOptionDialog option(TextReportFormat(), &window);
    option.show();
    ok &= Save(&option, folder, "11-report-option.png");
    option.close();
  }
  ReportHost& reports = window.reports();
  reports.set_format_chooser([](const ReportFormat&) { return &TextReportFormat(); });
  window.ViewErrorReport();
  if (ReportForm* form = reports.form()) {
    ok &= Save(form, folder, "12-report-window.png");
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
  }
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
  RecordView* view = window.recordView();
  if (view->viewer() != nullptr) {
    const std::vector<int> marked = view->viewer()->MarkedRows();
    if (!marked.empty()) view->scrollBar()->setValue(std::max(0, marked.front() - 1));
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

// A run in progress, caught halfway through a long file, then a run that a
// record cut short stops, and its tested records.
bool TourRuns(MainWindow& window, UnattendedPrompts& prompts, const QString& folder,
              const QString& work) {
  bool ok = true;
  std::vector<std::string> big = {Record("RCA"), Record("RCE")};
  for (int i = 0; i < 6000; ++i) big.push_back(Record("RCW"));
  big.push_back(Record("RCT"));
  big.push_back(Record("RCF"));
  const QString big_file = work + "/large-submission.txt";
  WriteFile(big_file, big);
  window.set_max_errors(kMaxErrorLimit);
  bool grabbed = false;
  window.set_record_observer([&](int32_t rec_ctr) {
    if (!grabbed && rec_ctr == 2600) {
      grabbed = true;
      window.RefreshProgress();
      ok &= Save(&window, folder, "02-run-in-progress.png");
    }
  });
  prompts.add_file(ToStdString(big_file));
  window.StartTesting();
  window.set_record_observer(nullptr);

  std::vector<std::string> cut = {
      Record("RCA"), Record("RCE"), Record("RCW"), Record("RCW"), Record("RCW").substr(0, 1000),
      Record("RCT"), Record("RCF")};
  const QString cut_file = work + "/short-submission.txt";
  WriteFile(cut_file, cut);
  prompts.add_file(ToStdString(cut_file));
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
  if (QWidget* dialog = window.errorLimitDialog()) {
    ok &= Save(dialog, folder, "05-error-limit-dialog.png");
    dialog->close();
  }
  AboutBox about(&window);
  about.show();
  ok &= Save(&about, folder, "06-about-box.png");
  about.close();
  window.ShowHelpContents();
  if (QWidget* help = window.helpWindow()) {
    ok &= Save(help, folder, "07-help.png");
    help->close();
  }
  return ok;
}

}  // namespace

void ApplyTourDesktop() {
  const QString desktop = qEnvironmentVariable("LINTARO_TOUR_DESKTOP");
  if (desktop == "font200") {
    QFont font = QApplication::font();
    font.setPointSizeF(font.pointSizeF() * 2);
    QApplication::setFont(font);
  } else if (desktop == "dark") {
    QPalette dark;
    const QColor window(0x2b, 0x2b, 0x2e), base(0x1e, 0x1e, 0x20), text(0xea, 0xea, 0xea);
    for (auto role : {QPalette::Window, QPalette::Button, QPalette::AlternateBase})
      dark.setColor(role, window);
    dark.setColor(QPalette::Base, base);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
      dark.setColor(role, text);
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0x6f, 0xb4));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    QApplication::setPalette(dark);
  }
}

bool RunScreenshotTour(MainWindow& window, UnattendedPrompts& prompts, const QString& folder) {
  QDir().mkpath(folder);
  const QString work = ToQString(window.folders().data) + "tour";
  QDir().mkpath(work);
  bool ok = true;

  window.raise();
  ok &= SaveScreen(window, folder, "00-first-start-screen.png");
  ok &= Save(&window, folder, "01-welcome.png");
  ok &= TourRuns(window, prompts, folder, work);
  // A submission with mistakes, when the script provided one.
  const QString mistakes = work + "/submission-with-mistakes.txt";
  if (QFile::exists(mistakes))
    ok &= TourMistakes(window, prompts, folder,
                       WithMoreMistakes(mistakes, work + "/corrections-2007.txt"));
  ok &= TourSmallWindows(window, folder);
  return ok;
}

}  // namespace lintaro
