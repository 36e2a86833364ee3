#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <vector>

#include "browse/grid_results.h"
#include "browse/result_grids.h"
#include "browse/window_texts.h"
#include "core/error_limit.h"
#include "os/path.h"
#include "store/results_db.h"
#include "ui/about_box.h"
#include "ui/error_grids_panel.h"
#include "ui/error_limit_dialog.h"
#include "ui/go_to_record_dialog.h"
#include "ui/grid_tip_window.h"
#include "ui/help_window.h"
#include "ui/menu_keys.h"
#include "ui/progress_line.h"
#include "ui/record_grid_model.h"
#include "ui/record_grid_view.h"
#include "ui/record_view.h"
#include "ui/report_host.h"
#include "ui/tested_records_panel.h"
#include "ui/welcome_panel.h"
#include "ui/window_metrics.h"
#include "ui/window_placement.h"

namespace lintaro {
namespace {

// The command column, in twips.
constexpr int kCommandWidth = 2535;
constexpr int kCommandHeight = 495;
constexpr int kCommandGap = 120;
// The designed client area, below the menu bar: the window's smallest size.
constexpr int kDesignWidth = 11520;
constexpr int kDesignHeight = 7920;

constexpr Command kColumn[] = {Command::cmdStart,  Command::cmdView,  Command::cmdGrid,
                               Command::cmdErrors, Command::cmdPrint, Command::cmdLast,
                               Command::cmdExit};

QString Q(std::string_view s) { return ToQString(ToLineFeeds(s)); }
QString Q(const char* s) { return ToQString(ToLineFeeds(s)); }

}  // namespace

MainWindow::MainWindow(ProgramFolders folders, Prompts& prompts, Clock& clock,
                       ScreenMetrics metrics, QWidget* parent)
    : QMainWindow(parent),
      folders_(std::move(folders)),
      metrics_(metrics),
      prompts_(prompts),
      clock_(clock) {
  setObjectName("frmMain");
  ask_record_number_ = [this](int64_t tested, const std::function<bool(int64_t)>& accept) {
    return GoToRecordDialog::Ask(tested, accept, this);
  };
  BuildArea();
  BuildCommandColumn();
  BuildMenus();
  AttachParts();
  SetTabOrder();
  LoadWindow();
  ApplyCommands();
}

void MainWindow::AttachParts() {
  tested_records_->AttachViewer(results_path());
  tested_records_->set_record_chosen([this](int64_t rec_num) { ShowChosenRecord(rec_num); });
  // A row drawn, chosen or gone to in results a later test replaced is
  // told, not read.
  error_grids_->set_replaced([this] { return QueueIfResultsReplaced(); });
  for (RecordGridView* grid : {tested_records_->grid(), error_grids_->records_grid()}) {
    connect(grid, &RecordGridView::model_replaced, this, [this, grid] {
      if (auto* model = qobject_cast<RecordGridModel*>(grid->model()))
        connect(model, &RecordGridModel::results_replaced, this,
                [this] { QueueIfResultsReplaced(); });
    });
  }

  grid_tips_ = new GridTips(error_grids_->findings_grid(), this, metrics_);

  reports_ = std::make_unique<ReportHost>(this, prompts_, folders_.data, results_path(), metrics_);
  report_requester_ = [this](bool print) { reports_->Request(print); };
}

MainWindow::~MainWindow() { Shutdown(); }

// Tab follows the screen: the shared area's parts from the top down (the
// viewer's rows after the tested records), then the command column.
void MainWindow::SetTabOrder() {
  std::vector<QWidget*> order;
  for (const char* name :
       {"txtDisclosure", "DBGrid1", "DBGrid2", "txtCritError", "DBGrid3", "Text1_0", "Text2_0"})
    if (auto* widget = area_->findChild<QWidget*>(name)) order.push_back(widget);
  for (Command c : kColumn) order.push_back(command_buttons_[c]);
  for (size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

RecordView* MainWindow::record_view() const { return tested_records_->record_view(); }

const std::string& MainWindow::crit_error_text() const { return error_grids_->crit_error_text(); }

int MainWindow::Twips(int twips) const { return TwipsToPixels(this, twips); }

std::string MainWindow::results_path() const { return JoinPath(folders_.data, kResultsFileName); }

Answer MainWindow::Message(const std::string& title, const std::string& text, Icon icon,
                           Buttons buttons) {
  return prompts_.Message(title, text, icon, buttons);
}

// ---------------------------------------------------------------- controls

// The parts of the shared area, in the order Tab visits them.
void MainWindow::BuildArea() {
  area_ = new QWidget(this);
  area_->setObjectName("area");
  setCentralWidget(area_);
  welcome_ = std::make_unique<WelcomePanel>(area_);
  progress_line_ = new ProgressLine(area_);
  error_grids_ = new ErrorGridsPanel(area_);
  tested_records_ = new TestedRecordsPanel(area_);
}

void MainWindow::BuildCommandColumn() {
  for (Command c : kColumn) {
    auto* button = new QPushButton(Q(CommandCaption(c)), area_);
    button->setObjectName(ToQString(std::string(CommandName(c))));
    button->setToolTip(ToQString(ToolTipOf(c)));
    button->setAutoDefault(false);
    command_buttons_[c] = button;
  }
  const std::pair<Command, void (MainWindow::*)()> handlers[] = {
      {Command::cmdStart, &MainWindow::StartTesting},
      {Command::cmdView, &MainWindow::ViewTestedRecords},
      {Command::cmdGrid, &MainWindow::ViewRecordsWithErrors},
      {Command::cmdErrors, &MainWindow::ViewErrorReport},
      {Command::cmdPrint, &MainWindow::PrintErrorReport},
      {Command::cmdLast, &MainWindow::ViewLastResults},
      {Command::cmdExit, &MainWindow::ExitProgram}};
  for (const auto& handler : handlers) {
    void (MainWindow::*slot)() = handler.second;
    connect(command_buttons_[handler.first], &QPushButton::clicked, this,
            [this, slot] { (this->*slot)(); });
  }
}

namespace {

// Adds the menu entry of command c to menu, calling slot when chosen.
QAction* AddEntry(MainWindow* window, std::map<Command, QAction*>& actions, QMenu* menu, Command c,
                  void (MainWindow::*slot)()) {
  QAction* action = menu->addAction(Q(CommandCaption(c)));
  action->setObjectName(ToQString(std::string(CommandName(c))));
  QObject::connect(action, &QAction::triggered, window, [window, slot] { (window->*slot)(); });
  actions[c] = action;
  return action;
}

}  // namespace

void MainWindow::BuildMenus() {
  QMenu* test = menuBar()->addMenu(Q(kTestMenu));
  test->setObjectName("mnuTest");
  AddEntry(this, menu_actions_, test, Command::mnuTStart, &MainWindow::StartTesting);
  AddEntry(this, menu_actions_, test, Command::mnuTOpenLast, &MainWindow::ViewLastResults);
  AddEntry(this, menu_actions_, test, Command::mnuTPrint, &MainWindow::PrintErrorReport);
  AddEntry(this, menu_actions_, test, Command::mnuTSet, &MainWindow::ShowErrorLimitDialog);
  test->addSeparator();
  AddEntry(this, menu_actions_, test, Command::mnuTExit, &MainWindow::ExitProgram);

  BuildViewMenu();

  QMenu* help = menuBar()->addMenu(Q(kHelpMenu));
  help->setObjectName("mnuHelp");
  AddEntry(this, menu_actions_, help, Command::mnuHContents, &MainWindow::ShowHelpContents);
  AddEntry(this, menu_actions_, help, Command::mnuHAbout, &MainWindow::ShowAbout);
  new MenuBarKeys(*this);
}

// View: the report and records submenus and Go to Record.
void MainWindow::BuildViewMenu() {
  QMenu* view = menuBar()->addMenu(Q(kViewMenu));
  view->setObjectName("mnuView");
  report_menu_ = view->addMenu(Q(CommandCaption(Command::mnuVReport)));
  report_menu_->setObjectName("mnuVReport");
  menu_actions_[Command::mnuVReport] = report_menu_->menuAction();
  AddEntry(this, menu_actions_, report_menu_, Command::mnuRLast, &MainWindow::ViewLastReport);
  AddEntry(this, menu_actions_, report_menu_, Command::mnuRCurrent, &MainWindow::ViewErrorReport);
  records_menu_ = view->addMenu(Q(CommandCaption(Command::mnuVRecords)));
  records_menu_->setObjectName("mnuVRecords");
  menu_actions_[Command::mnuVRecords] = records_menu_->menuAction();
  AddEntry(this, menu_actions_, records_menu_, Command::mnuVRAll, &MainWindow::ViewTestedRecords);
  AddEntry(this, menu_actions_, records_menu_, Command::mnuVRErrors,
           &MainWindow::ViewRecordsWithErrors);
  view->addSeparator();
  go_to_record_action_ = view->addAction(kGoToRecordEntry);
  go_to_record_action_->setObjectName("mnuVGoToRecord");
  go_to_record_action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  go_to_record_action_->setShortcutContext(Qt::WindowShortcut);
  connect(go_to_record_action_, &QAction::triggered, this, [this] { GoToRecord(); });
}

// The main window's load: texts, geometry, the last results and the limit.
void MainWindow::LoadWindow() {
  setWindowTitle(kWindowTitle);
  welcome_->LoadTexts();
  error_grids_->LoadTexts();
  progress_line_->hide();
  error_grids_->Hide();
  tested_records_->Hide();

  // The last run's results can be browsed without testing. Nothing is read
  // or written in a folder that anyone may write in: it is refused.
  const bool open_to_others = OthersMayWriteIn(folders_.data);
  if (!open_to_others && QFileInfo::exists(ToQString(results_path()))) BindData();
  max_errors_ = open_to_others ? kDefaultErrorLimit : LoadErrorLimit(folders_.data);
  reports_->settings().report_choice = &TextReportFormat();
  tested_records_->set_share(placement_.TestedRecordsShare());
  FitToScreen();
}

// The designed size is the smallest; the first start fits the screen and
// later starts open where the window was left.
void MainWindow::FitToScreen() {
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect available = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  setMinimumSize(MinimumWindowSize(
      QSize(Twips(kDesignWidth), Twips(kDesignHeight) + menuBar()->sizeHint().height()),
      available));
  placement_.Restore(*this);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  welcome_->DrawLogo();
  LayoutControls();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  LayoutControls();
}

void MainWindow::LayoutControls() {
  const int command_left = LayoutCommandColumn();
  // The shared area fills the space left of the command column.
  const int margin = Twips(kAreaMarginTwips);
  AreaColumn column;
  column.left = margin;
  column.width = std::max(Twips(1440), command_left - margin - column.left);
  column.height = area_->height();
  welcome_->Layout(column);
  // Progress: the record counter, the bar 120 twips under it, below the logo.
  const int counter_top = welcome_->heading_bottom() + margin;
  progress_line_->setGeometry(column.left, counter_top, column.width,
                              2 * LineHeight(progress_line_, kLabelHeightTwips) + Twips(120));
  error_grids_->Layout(column);
  tested_records_->Layout(column, isMaximized());
}

int MainWindow::LayoutCommandColumn() {
  // The designed size, or what the captions need in the desktop's font.
  int width = Twips(kCommandWidth);
  int height = Twips(kCommandHeight);
  for (Command c : kColumn) {
    width = std::max(width, command_buttons_[c]->sizeHint().width());
    height = std::max(height, command_buttons_[c]->sizeHint().height());
  }
  const int left = area_->width() - Twips(kAreaMarginTwips) - width;
  int y = Twips(kAreaMarginTwips);
  for (Command c : kColumn) {
    command_buttons_[c]->setGeometry(left, y, width, height);
    y += height + Twips(kCommandGap);
  }
  return left;
}

// ------------------------------------------------------------ commands

void MainWindow::Apply(CommandEvent event) {
  commands_.Apply(event);
  ApplyCommands();
}

void MainWindow::ApplyCommands() {
  for (auto& [command, button] : command_buttons_) button->setEnabled(commands_.enabled(command));
  for (auto& [command, action] : menu_actions_) action->setEnabled(commands_.enabled(command));
  if (go_to_record_action_ != nullptr)
    go_to_record_action_->setEnabled(CurrentRecordGrid() != nullptr);
}

void MainWindow::StartTesting() {
  if (run_ != nullptr || shut_down_) return;
  welcome_->HideDisclaimer();
  commands_.SetRunInProgress(true);
  ApplyCommands();
  for (;;) {
    CheckRunOptions options;
    options.program_folder = folders_.data;
    options.max_errors = max_errors_;
    options.pump = &pump_;
    ProgressFirstPrompts run_prompts(prompts_, *progress_line_);
    CheckRun run(state_, run_prompts, clock_, *this, options);
    run_ = &run;
    pump_.Reset();
    last_summary_ = run.ReadFile();
    run_ = nullptr;
    // The first file was not found: the file dialog comes again at once.
    if (last_summary_.outcome != RunOutcome::kRestart || exit_requested_) break;
  }
  commands_.SetRunInProgress(false);
  ApplyCommands();
  SetBusy(false);
  if (exit_requested_) {
    close();
    return;
  }
  // The run disabled the commands above Exit, so the focus went down the
  // column to Exit, where Space or a second Enter would end the program.
  // Unless the results took it, it goes back to Start Testing.
  QWidget* focus = QApplication::focusWidget();
  QPushButton* start = command_buttons_[Command::cmdStart];
  if ((focus == nullptr || focus == command_buttons_[Command::cmdExit]) && start->isEnabled())
    start->setFocus(Qt::OtherFocusReason);
}

void MainWindow::ViewErrorReport() { RequestReport(false); }

void MainWindow::PrintErrorReport() { RequestReport(true); }

void MainWindow::RequestReport(bool print) {
  std::optional<FolderLock> reading;
  if (!HoldFolderForReading(reading)) return;
  commands_.SetReportInProgress(true);
  ApplyCommands();
  report_requester_(print);
  commands_.SetReportInProgress(false);
  ApplyCommands();
}

// The report follows the findings the reopening showed; the results bound
// at start-up are not asked, since the reopening may have been refused the
// folder (a check elsewhere is writing them).
void MainWindow::ViewLastReport() {
  if (ReopenLastResults() && CountErrors() > 0) ViewErrorReport();
}

void MainWindow::set_max_errors(int limit) {
  max_errors_ = limit;
  // The check under way goes on with the new limit.
  if (run_ != nullptr) run_->SetErrorLimit(limit);
  // A limit that cannot be saved still applies until the program ends.
  SaveErrorLimit(folders_.data, limit);
}

void MainWindow::ShowErrorLimitDialog() {
  if (!limit_dialog_) {
    limit_dialog_ = new ErrorLimitDialog(*this, prompts_);
  }
  limit_dialog_->Open(max_errors_);
}

QWidget* MainWindow::error_limit_dialog() const { return limit_dialog_.data(); }
QWidget* MainWindow::help_window() const { return help_window_.data(); }

void MainWindow::ShowHelpContents() {
  const QString file = ToQString(folders_.help_file);
  if (!QFileInfo::exists(file)) {
    Message(kWindowTitle, "The help file " + folders_.help_file + " was not found.",
            Icon::kExclamation);
    return;
  }
  if (!help_window_) help_window_ = new HelpWindow(this);
  help_window_->OpenContents(file);
}

void MainWindow::ShowAbout() {
  AboutBox about(this);
  about.exec();
}

void MainWindow::ExitProgram() { close(); }

void MainWindow::StopForSignal() {
  signalled_ = true;
  close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (run_ != nullptr) {
    // Exit (or a signal) during a run: the run records "Test Aborted"
    // against the last stored record and unwinds; the window closes after it.
    exit_requested_ = true;
    run_->RequestAbort(signalled_ ? RunEnding::kStoppedBySignal : RunEnding::kStoppedByUser);
    event->ignore();
    return;
  }
  if (!shut_down_) {
    placement_.Save(*this);
    placement_.SaveTestedRecordsShare(tested_records_->share());
  }
  Shutdown();
  event->accept();
}

void MainWindow::Shutdown() {
  if (shut_down_) return;
  shut_down_ = true;
  CloseDatabase();
  if (limit_dialog_) limit_dialog_->close();
  if (help_window_) help_window_->close();
  grid_tips_->Close();
  reports_->Close();
  record_view()->Unload();
}

// ------------------------------------------------------------ the run

void MainWindow::FileOpened() {
  setWindowTitle(kWindowTitle);
  tested_records_->Hide();
  error_grids_->Hide();
  record_view()->Unload();
  // The run replaces the results file: the grids let go of it, and a report
  // window of the last results closes, so that neither its preview nor its
  // Print and Save As pass for the results of this run.
  CloseDatabase();
  reports_->Close();
  // The logo and the heading above the counter, as at the start (the grid
  // view or the viewer may have hidden them).
  welcome_->ShowGreeting(true);
  progress_line_->Start();
  Apply(CommandEvent::kRunStarted);
  area_->repaint();
}

void MainWindow::RecordStarted(int32_t rec_ctr, double fraction) {
  progress_line_->Record(rec_ctr, fraction);
  if (record_observer_) record_observer_(rec_ctr);
}

void MainWindow::HideProgress() { progress_line_->Hide(); }

void MainWindow::RefreshProgress() { progress_line_->Flush(); }

void MainWindow::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

// The whole file was read: the counter's last record and the full bar are
// drawn before the message of the run's end.
void MainWindow::CompletionStarted() {
  progress_line_->FileRead();
  Apply(CommandEvent::kRunCompletion);
}

void MainWindow::CompletedClean(bool has_records) {
  HideProgress();
  welcome_->ShowGreeting(true);
  setWindowTitle(kWindowTitle);
  Apply(has_records ? CommandEvent::kRunClean : CommandEvent::kRunNoValidData);
}

void MainWindow::ShowResults() { ViewRecordsWithErrors(); }

void MainWindow::RunEnded() {
  HideProgress();
  Apply(CommandEvent::kRunEnded);
}

void MainWindow::OpenOnlineServices() { reports_->OpenOnlineServices(); }

}  // namespace lintaro
