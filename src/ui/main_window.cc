#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTextBlock>
#include <QVBoxLayout>
#include <algorithm>

#include "browse/grid_results.h"
#include "browse/result_grids.h"
#include "browse/window_texts.h"
#include "core/error_limit.h"
#include "store/results_db.h"
#include "ui/about_box.h"
#include "ui/artwork.h"
#include "ui/error_limit_dialog.h"
#include "ui/go_to_record_dialog.h"
#include "ui/grid_tip_window.h"
#include "ui/help_window.h"
#include "ui/progress_line.h"
#include "ui/record_grid_view.h"
#include "ui/record_view.h"
#include "ui/report_host.h"
#include "ui/window_placement.h"

namespace lintaro {
namespace {

// Geometry of the window, in twips.
constexpr int kMargin = 240;  // around the shared area; commands from the right edge
constexpr int kCommandWidth = 2535;
constexpr int kCommandHeight = 495;
constexpr int kCommandGap = 120;
constexpr int kLogoSide = 1440;
constexpr int kLabelHeight = 300;
constexpr int kCaptionHeight = 300;  // a grid's caption bar
constexpr int kCritBoxHeight = 900;
// The designed client area, below the menu bar: the window's smallest size.
constexpr int kDesignWidth = 11520;
constexpr int kDesignHeight = 7920;
// Share of the record view's height the tested-records grid takes once the
// window is larger than designed (at the designed size it is 1,510 twips).
constexpr double kTestedGridShare = 0.22;

constexpr Command kColumn[] = {Command::cmdStart,  Command::cmdView,  Command::cmdGrid,
                               Command::cmdErrors, Command::cmdPrint, Command::cmdLast,
                               Command::cmdExit};

QString Q(const std::string& s) { return ToQString(ToLineFeeds(s)); }
QString Q(std::string_view s) { return ToQString(ToLineFeeds(s)); }
QString Q(const char* s) { return ToQString(ToLineFeeds(s)); }

}  // namespace

MainWindow::MainWindow(ProgramFolders folders, Prompts& prompts, Clock& clock, QWidget* parent)
    : QMainWindow(parent), folders_(std::move(folders)), prompts_(prompts), clock_(clock) {
  setObjectName("frmMain");
  setWindowIcon(ProgramIcon());
  ask_record_number_ = [this](int64_t tested) { return GoToRecordDialog::Ask(tested, this); };
  pump_.set_before_events([this] { progress_->Flush(); });
  BuildControls();
  BuildMenus();
  AttachParts();
  LoadWindow();
  ApplyCommands();
}

void MainWindow::AttachParts() {
  record_view_ = new RecordView(results_path(), viewerArea_);
  auto* rows = new QVBoxLayout(viewerArea_);
  rows->setContentsMargins(0, 0, 0, 0);
  rows->addWidget(record_view_);
  record_view_->set_tested_grid(DBGrid3_);
  connect(record_view_, &RecordView::columnsMoved, this, [this] { PlaceViewerHeadings(); });
  record_viewer_ = [this](int64_t rec_num) { record_view_->ShowRecord(rec_num); };
  viewer_unload_ = [this] { record_view_->Unload(); };

  grid_tips_ = new GridTips(DBGrid2_, this);

  reports_ = std::make_unique<ReportHost>(this, prompts_, folders_.data, results_path());
  report_requester_ = [this](bool print) { reports_->Request(print); };
  online_services_ = [this] { reports_->OpenOnlineServices(); };
}

MainWindow::~MainWindow() { Shutdown(); }

int MainWindow::Twips(int twips) const {
  const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
  return static_cast<int>(twips * static_cast<qint64>(dpi) / 1440);
}

std::string MainWindow::results_path() const { return JoinPath(folders_.data, kResultsFileName); }

Answer MainWindow::Message(const std::string& title, const std::string& text, Icon icon,
                           Buttons buttons) {
  return prompts_.Message(title, text, icon, buttons);
}

// ---------------------------------------------------------------- controls

void MainWindow::BuildControls() {
  area_ = new QWidget(this);
  area_->setObjectName("area");
  setCentralWidget(area_);

  auto label = [this](const char* name, const QString& text = {}) {
    auto* l = new QLabel(text, area_);
    l->setObjectName(name);
    return l;
  };

  imgWagemark_ = label("imgWagemark");
  imgWagemark_->setAlignment(Qt::AlignCenter);

  lblWelcome_ = label("lblWelcome");
  QFont welcome = lblWelcome_->font();
  welcome.setPointSizeF(welcome.pointSizeF() * 1.6);
  welcome.setBold(true);
  lblWelcome_->setFont(welcome);
  lblWelcome_->setStyleSheet("color: #16335c;");
  lblWelcome_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  Shape1_ = new QFrame(area_);
  Shape1_->setObjectName("Shape1");
  Shape1_->setFrameShape(QFrame::Box);
  Shape1_->setLineWidth(2);
  Shape1_->setStyleSheet("#Shape1 { border: 2px solid #16335c; }");

  txtDisclosure_ = new QPlainTextEdit(area_);
  txtDisclosure_->setObjectName("txtDisclosure");
  txtDisclosure_->setReadOnly(true);
  txtDisclosure_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  txtDisclosure_->setFrameShape(QFrame::NoFrame);

  progress_ = new ProgressLine(area_);

  lblRecords_ = label("lblRecords");
  lblErrors_ = label("lblErrors");
  lblCritError_ = label("lblCritError");
  for (QLabel* l : {lblRecords_, lblErrors_, lblCritError_}) {
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
  }
  txtCritError_ = new QPlainTextEdit(area_);
  txtCritError_->setObjectName("txtCritError");
  txtCritError_->setReadOnly(true);
  txtCritError_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  txtCritError_->installEventFilter(this);

  auto grid = [this](const char* name) {
    auto* g = new RecordGridView(area_);
    g->setObjectName(name);
    return g;
  };
  auto caption = [this](const char* name, const QString& text) {
    auto* c = new QLabel(text, area_);
    c->setObjectName(name);
    c->setAlignment(Qt::AlignCenter);
    c->setStyleSheet(
        QString("#%1 { background: #3a5f8f; color: white; font-weight: bold; }").arg(name));
    return c;
  };
  DBGrid1_ = grid("DBGrid1");
  DBGrid2_ = grid("DBGrid2");
  DBGrid3_ = grid("DBGrid3");
  DBGrid1Caption_ = caption("DBGrid1Caption", kRecordsGridCaption);
  DBGrid2Caption_ = caption("DBGrid2Caption", kErrorsGridCaption);
  DBGrid3Caption_ = caption("DBGrid3Caption", {});

  lblFName_ = label("lblFName", kFieldNameHeading);
  lblFData_ = label("lblFData", kFieldDataHeading);
  for (QLabel* l : {lblFName_, lblFData_}) {
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
  }
  // The record viewer's rows are placed here.
  viewerArea_ = new QWidget(area_);
  viewerArea_->setObjectName("viewerArea");

  for (Command c : kColumn) {
    auto* b = new QPushButton(Q(CommandCaption(c)), area_);
    b->setObjectName(ToQString(std::string(CommandName(c))));
    b->setToolTip(ToQString(ToolTipOf(c)));
    b->setAutoDefault(false);
    buttons_[c] = b;
  }
  connect(buttons_[Command::cmdStart], &QPushButton::clicked, this, [this] { StartTesting(); });
  connect(buttons_[Command::cmdView], &QPushButton::clicked, this, [this] { ViewTestedRecords(); });
  connect(buttons_[Command::cmdGrid], &QPushButton::clicked, this,
          [this] { ViewRecordsWithErrors(); });
  connect(buttons_[Command::cmdErrors], &QPushButton::clicked, this, [this] { ViewErrorReport(); });
  connect(buttons_[Command::cmdPrint], &QPushButton::clicked, this, [this] { PrintErrorReport(); });
  connect(buttons_[Command::cmdLast], &QPushButton::clicked, this, [this] { ViewLastResults(); });
  connect(buttons_[Command::cmdExit], &QPushButton::clicked, this, [this] { ExitProgram(); });
}

void MainWindow::BuildMenus() {
  auto entry = [this](QMenu* menu, Command c, auto slot) {
    QAction* a = menu->addAction(Q(CommandCaption(c)));
    a->setObjectName(ToQString(std::string(CommandName(c))));
    connect(a, &QAction::triggered, this, slot);
    actions_[c] = a;
    return a;
  };
  QMenu* test = menuBar()->addMenu(Q(kTestMenu));
  test->setObjectName("mnuTest");
  entry(test, Command::mnuTStart, [this] { StartTesting(); });
  entry(test, Command::mnuTOpenLast, [this] { ViewLastResults(); });
  entry(test, Command::mnuTPrint, [this] { PrintErrorReport(); });
  entry(test, Command::mnuTSet, [this] { ShowErrorLimitDialog(); });
  test->addSeparator();
  entry(test, Command::mnuTExit, [this] { ExitProgram(); });

  QMenu* view = menuBar()->addMenu(Q(kViewMenu));
  view->setObjectName("mnuView");
  report_menu_ = view->addMenu(Q(CommandCaption(Command::mnuVReport)));
  report_menu_->setObjectName("mnuVReport");
  actions_[Command::mnuVReport] = report_menu_->menuAction();
  entry(report_menu_, Command::mnuRLast, [this] { ViewLastReport(); });
  entry(report_menu_, Command::mnuRCurrent, [this] { ViewErrorReport(); });
  records_menu_ = view->addMenu(Q(CommandCaption(Command::mnuVRecords)));
  records_menu_->setObjectName("mnuVRecords");
  actions_[Command::mnuVRecords] = records_menu_->menuAction();
  entry(records_menu_, Command::mnuVRAll, [this] { ViewTestedRecords(); });
  entry(records_menu_, Command::mnuVRErrors, [this] { ViewRecordsWithErrors(); });
  view->addSeparator();
  go_to_record_ = view->addAction(kGoToRecordEntry);
  go_to_record_->setObjectName("mnuVGoToRecord");
  go_to_record_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  go_to_record_->setShortcutContext(Qt::WindowShortcut);
  connect(go_to_record_, &QAction::triggered, this, [this] { GoToRecord(); });

  QMenu* help = menuBar()->addMenu(Q(kHelpMenu));
  help->setObjectName("mnuHelp");
  entry(help, Command::mnuHContents, [this] { ShowHelpContents(); });
  entry(help, Command::mnuHAbout, [this] { ShowAbout(); });
}

// The main window's load: texts, geometry, the last results and the limit.
void MainWindow::LoadWindow() {
  setWindowTitle(kWindowTitle);
  lblWelcome_->setText(Q(WelcomeText()));
  txtDisclosure_->setPlainText(Q(DisclaimerText()));
  lblCritError_->setText(kCritErrorLabel);
  txtCritError_->setPlainText(kCritErrorNone);
  lblRecords_->setText(kInitialRecordsLabel);
  lblErrors_->setText(kInitialErrorsLabel);

  for (QWidget* w : std::initializer_list<QWidget*>{progress_, lblFName_, lblFData_, viewerArea_})
    w->hide();
  HideGridView();
  HideRecordView();

  // The last run's results can be browsed without testing.
  if (QFileInfo::exists(ToQString(results_path()))) BindData();
  max_errors_ = LoadErrorLimit(folders_.data);
  reports_->settings().report_choice = 1;

  // The caret goes after the first line break of the disclaimer.
  QTextCursor caret = txtDisclosure_->textCursor();
  caret.setPosition(1);
  txtDisclosure_->setTextCursor(caret);

  // The designed size is the smallest; the first start fits the screen and
  // later starts open where the window was left.
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect available = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  setMinimumSize(MinimumWindowSize(
      QSize(Twips(kDesignWidth), Twips(kDesignHeight) + menuBar()->sizeHint().height()),
      available));
  placement_.Restore(*this);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  imgWagemark_->setPixmap(DrawLogo(Twips(kLogoSide), devicePixelRatioF()));
  LayoutControls();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  LayoutControls();
}

void MainWindow::LayoutControls() {
  const int width = area_->width();
  const int height = area_->height();
  const int margin = Twips(kMargin);

  // The command column: each command keeps its width, 240 twips from the
  // right edge, one below the other.
  const int cmd_width = Twips(kCommandWidth);
  const int cmd_height = Twips(kCommandHeight);
  const int cmd_left = width - margin - cmd_width;
  int y = margin;
  for (Command c : kColumn) {
    buttons_[c]->setGeometry(cmd_left, y, cmd_width, cmd_height);
    y += cmd_height + Twips(kCommandGap);
  }

  // The shared area fills the space left of the command column.
  const int left = margin;
  const int area_width = std::max(Twips(1440), cmd_left - margin - left);
  const int logo = Twips(kLogoSide);
  const int label_height = Twips(kLabelHeight);

  imgWagemark_->setGeometry(left, margin, logo, logo);
  const int welcome_left = left + logo + margin;
  lblWelcome_->setGeometry(welcome_left, margin, std::max(0, left + area_width - welcome_left),
                           logo);
  const int disclaimer_top = margin + logo + margin;
  const int disclaimer_height =
      std::clamp(height - disclaimer_top - margin, Twips(1200), Twips(2880));
  Shape1_->setGeometry(left, disclaimer_top, area_width, disclaimer_height);
  const int inset = Twips(90);
  txtDisclosure_->setGeometry(left + inset, disclaimer_top + inset, area_width - 2 * inset,
                              disclaimer_height - 2 * inset);

  // Progress: the record counter, the bar 120 twips under it.
  const int counter_top = margin + logo + margin;
  progress_->setGeometry(left, counter_top, area_width, 2 * label_height + Twips(120));

  // Grid view: records with errors, the findings of the selected record,
  // the critical error at the bottom.
  const int caption = Twips(kCaptionHeight);
  int top = Twips(120);
  lblRecords_->setGeometry(left, top, area_width, label_height);
  top += label_height + Twips(60);
  const int crit_box = Twips(kCritBoxHeight);
  const int crit_top = std::max(top + Twips(2400), height - margin - crit_box);
  txtCritError_->setGeometry(left, crit_top, area_width, crit_box);
  lblCritError_->setGeometry(left, crit_top - label_height - Twips(30), area_width, label_height);
  const int middle = lblCritError_->y() - Twips(120) - top;
  const int grid1 = std::max(caption * 3, static_cast<int>((middle - label_height) * 0.42));
  DBGrid1Caption_->setGeometry(left, top, area_width, caption);
  DBGrid1_->setGeometry(left, top + caption, area_width, grid1 - caption);
  top += grid1 + Twips(60);
  lblErrors_->setGeometry(left, top, area_width, label_height);
  top += label_height + Twips(30);
  const int grid2 = std::max(caption * 3, lblCritError_->y() - Twips(120) - top);
  DBGrid2Caption_->setGeometry(left, top, area_width, caption);
  DBGrid2_->setGeometry(left, top + caption, area_width, grid2 - caption);

  // Record view: the tested-records grid is 1,510 twips high in the
  // designed window and grows with a larger one; the viewer headings start
  // 120 twips below it and the rows below the headings.
  top = Twips(120);
  const int tested_grid =
      std::max(Twips(kTestedGridTwips), static_cast<int>(height * kTestedGridShare));
  DBGrid3Caption_->setGeometry(left, top, area_width, caption);
  DBGrid3_->setGeometry(left, top + caption, area_width, tested_grid - caption);
  const int headings = top + tested_grid + Twips(120);
  const int rows_top = headings + label_height + Twips(60);
  const int viewer_margin = isMaximized() ? Twips(840) : Twips(740);
  viewerArea_->setGeometry(left, rows_top, area_width,
                           std::max(Twips(300), height - rows_top - viewer_margin + margin));
  PlaceViewerHeadings();

  for (QTableView* g : {DBGrid1_, DBGrid2_, DBGrid3_})
    if (g->model() != nullptr) SetColumnWidths(g, g != DBGrid2_);
}

// "Field Name" over the name boxes, "Field Data" over the value boxes.
void MainWindow::PlaceViewerHeadings() {
  const int label_height = Twips(kLabelHeight);
  const int top = viewerArea_->y() - Twips(60) - label_height;
  const int name_width = record_view_->NameColumnWidth();
  lblFName_->setGeometry(viewerArea_->x(), top, name_width, label_height);
  lblFData_->setGeometry(viewerArea_->x() + name_width, top, viewerArea_->width() - name_width,
                         label_height);
}

// ------------------------------------------------------------ commands

void MainWindow::Apply(CommandEvent event) {
  commands_.Apply(event);
  ApplyCommands();
}

void MainWindow::ApplyCommands() {
  for (auto& [command, button] : buttons_) button->setEnabled(commands_.enabled(command));
  for (auto& [command, action] : actions_) action->setEnabled(commands_.enabled(command));
  if (go_to_record_ != nullptr) go_to_record_->setEnabled(CurrentRecordGrid() != nullptr);
}

void MainWindow::StartTesting() {
  if (run_ != nullptr || shut_down_) return;
  Shape1_->hide();
  txtDisclosure_->hide();
  commands_.SetRunInProgress(true);
  ApplyCommands();
  for (;;) {
    CheckRunOptions options;
    options.program_folder = folders_.data;
    options.max_errors = max_errors_;
    options.pump = &pump_;
    ProgressFirstPrompts run_prompts(prompts_, *progress_);
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
  if (exit_requested_) close();
}

void MainWindow::ViewErrorReport() {
  commands_.SetReportInProgress(true);
  ApplyCommands();
  if (report_requester_) {
    report_requester_(false);
  } else {
    Message(kWindowTitle, "The error report is not available in this version of Lintaro.",
            Icon::kInformation);
  }
  commands_.SetReportInProgress(false);
  ApplyCommands();
}

void MainWindow::PrintErrorReport() {
  commands_.SetReportInProgress(true);
  ApplyCommands();
  if (report_requester_) {
    report_requester_(true);
  } else {
    Message(kWindowTitle, "The error report is not available in this version of Lintaro.",
            Icon::kInformation);
  }
  commands_.SetReportInProgress(false);
  ApplyCommands();
}

void MainWindow::ViewLastReport() {
  ViewLastResults();
  if (CountErrors() > 0) ViewErrorReport();
}

void MainWindow::set_max_errors(int limit) {
  max_errors_ = limit;
  // A limit that cannot be saved still applies until the program ends.
  SaveErrorLimit(folders_.data, limit);
}

void MainWindow::ShowErrorLimitDialog() {
  if (!limit_dialog_) {
    limit_dialog_ = new ErrorLimitDialog(*this, prompts_);
  }
  limit_dialog_->Open(max_errors_);
}

QWidget* MainWindow::errorLimitDialog() const { return limit_dialog_.data(); }
QWidget* MainWindow::helpWindow() const { return help_window_.data(); }

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

void MainWindow::closeEvent(QCloseEvent* event) {
  if (run_ != nullptr) {
    // Exit during a run: the run records "Test Aborted" against the last
    // stored record and unwinds; the window closes after it.
    exit_requested_ = true;
    run_->RequestAbort();
    event->ignore();
    return;
  }
  if (!shut_down_) placement_.Save(*this);
  Shutdown();
  event->accept();
}

void MainWindow::Shutdown() {
  if (shut_down_) return;
  shut_down_ = true;
  CloseDatabase();
  if (limit_dialog_) limit_dialog_->close();
  if (help_window_) help_window_->close();
  if (grid_tips_) grid_tips_->Close();
  if (reports_) reports_->Close();
  if (record_view_) record_view_->Unload();
}

// ------------------------------------------------------------ the run

void MainWindow::FileOpened() {
  setWindowTitle(kWindowTitle);
  HideRecordView();
  HideGridView();
  if (viewer_unload_) viewer_unload_();
  // The run replaces the results file: the grids let go of it.
  CloseDatabase();
  progress_->Start();
  Apply(CommandEvent::kRunStarted);
  area_->repaint();
}

void MainWindow::RecordStarted(int32_t rec_ctr, double fraction) {
  progress_->Record(rec_ctr, fraction);
  if (record_observer_) record_observer_(rec_ctr);
}

void MainWindow::HideProgress() { progress_->Hide(); }

void MainWindow::RefreshProgress() { progress_->Flush(); }

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
  progress_->FileRead();
  Apply(CommandEvent::kRunCompletion);
}

void MainWindow::CompletedClean(bool has_records) {
  HideProgress();
  ShowWelcome(true);
  setWindowTitle(kWindowTitle);
  Apply(has_records ? CommandEvent::kRunClean : CommandEvent::kRunNoValidData);
}

void MainWindow::ShowResults() { ViewRecordsWithErrors(); }

void MainWindow::RunEnded() {
  HideProgress();
  Apply(CommandEvent::kRunEnded);
}

void MainWindow::OpenOnlineServices() {
  if (online_services_) online_services_();
}

void MainWindow::ShowWelcome(bool show) {
  imgWagemark_->setVisible(show);
  lblWelcome_->setVisible(show);
}

void MainWindow::HideGridView() {
  for (QWidget* w :
       std::initializer_list<QWidget*>{lblRecords_, lblErrors_, lblCritError_, txtCritError_,
                                       DBGrid1_, DBGrid2_, DBGrid1Caption_, DBGrid2Caption_})
    w->hide();
}

void MainWindow::HideRecordView() {
  for (QWidget* w : std::initializer_list<QWidget*>{DBGrid3_, DBGrid3Caption_, lblFName_, lblFData_,
                                                    viewerArea_})
    w->hide();
}

void MainWindow::SelectCritText() {
  // The whole sentence is selected: caret at the end, selection back to the
  // start.
  QTextCursor c = txtCritError_->textCursor();
  c.movePosition(QTextCursor::End);
  c.movePosition(QTextCursor::Start, QTextCursor::KeepAnchor);
  txtCritError_->setTextCursor(c);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtCritError_ && event->type() == QEvent::FocusIn) {
    SelectCritText();
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace lintaro
