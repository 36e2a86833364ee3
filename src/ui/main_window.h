// The main window: seven commands in a column, the menus that repeat them,
// and the shared area beside them, where the welcome (WelcomePanel), the
// run's progress line (ProgressLine), the grid view (ErrorGridsPanel) or the
// record view (TestedRecordsPanel) is shown.
//
// It is the window side of a test run (RunView) and owns the run state for
// the life of the program; it wires the parts to the commands and to each
// other. The enable rules of the commands live in CommandState; the window
// only applies events to it and copies the result to its buttons and menu
// entries.
#ifndef LINTARO_UI_MAIN_WINDOW_H_
#define LINTARO_UI_MAIN_WINDOW_H_

#include <QMainWindow>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "browse/commands.h"
#include "browse/record_grid.h"
#include "core/run_state.h"
#include "os/folder_lock.h"
#include "os/program_folder.h"
#include "platform/platform.h"
#include "run/check_run.h"
#include "ui/qt_platform.h"
#include "ui/screen_metrics.h"
#include "ui/window_placement.h"

class QAction;
class QMenu;
class QPushButton;

namespace lintaro {

class ErrorGridsPanel;
class ErrorLimitDialog;
class GridResults;
class GridTips;
class HelpWindow;
class ProgressLine;
class RecordGridView;
class RecordView;
class ReportHost;
class TestedRecordsPanel;
class WelcomePanel;

class MainWindow : public QMainWindow, public RunView {
  Q_OBJECT

 public:
  // prompts and clock must outlive the window; metrics are the screen's
  // and the pointer's as the program found them at start-up.
  MainWindow(ProgramFolders folders, Prompts& prompts, Clock& clock, ScreenMetrics metrics,
             QWidget* parent = nullptr);
  ~MainWindow() override;

  // The commands. The buttons and the menu entries call these.
  void StartTesting();           // cmdStart, Start New, and OK of the error-limit dialog
  void ViewTestedRecords();      // cmdView, Records > All Tested
  void ViewRecordsWithErrors();  // cmdGrid, Records > With Errors
  void ViewErrorReport();        // cmdErrors, Report > Current
  void PrintErrorReport();       // cmdPrint, Print Report
  void ViewLastResults();        // cmdLast, Open Last
  void ViewLastReport();         // Report > Last
  void ShowErrorLimitDialog();   // Set Error(s)
  // View > Go to Record: asks for a record number and selects its row in
  // the grid shown (the tested records, or the records with errors), or
  // says that the grid has none.
  void GoToRecord();
  void ShowHelpContents();  // Help > Contents
  void ShowAbout();         // Help > About
  void ExitProgram();       // cmdExit, Exit
  // A signal (SIGINT, SIGTERM, SIGHUP) ends the program: as Exit, but a
  // check in progress records that a signal stopped it.
  void StopForSignal();

  // A report request (print = false to view, true to print); the window's
  // ReportHost answers it unless a test replaces it.
  void set_report_requester(std::function<void(bool print)> f) { report_requester_ = std::move(f); }
  // The "Go to Record" dialog; replaced in tests. Given the number of
  // records tested, asks for numbers until accept takes one (it has said
  // why it refused the others) and returns it, or nothing (Cancel).
  using RecordNumberAsker = std::function<std::optional<int64_t>(
      int64_t tested, const std::function<bool(int64_t rec_num)>& accept)>;
  void set_record_number_asker(RecordNumberAsker f) { ask_record_number_ = std::move(f); }
  // Called after each record's progress is shown (unattended runs, tests).
  void set_record_observer(std::function<void(int32_t rec_ctr)> f) {
    record_observer_ = std::move(f);
  }

  // The parts attached to the window: the record viewer in the viewer
  // area, the tool tips of the error-detail grid, and the error report
  // (report window, printing, browser hand-over).
  RecordView* record_view() const;
  GridTips* grid_tips() const { return grid_tips_; }
  ReportHost& reports() { return *reports_; }

  const CommandState& commands() const { return commands_; }
  bool running() const { return run_ != nullptr; }
  const RunSummary& last_summary() const { return last_summary_; }
  RunState& run_state() { return state_; }
  int max_errors() const { return max_errors_; }
  // The dialog's OK: keeps and saves the limit, and a check under way
  // applies it from its next record on.
  void set_max_errors(int limit);
  const ProgramFolders& folders() const { return folders_; }
  std::string results_path() const;
  // Busy pointer shown by the window (not counting message boxes).
  bool busy() const { return busy_; }
  QWidget* error_limit_dialog() const;
  QWidget* help_window() const;
  // The critical-error sentence of the grid view, or empty.
  const std::string& crit_error_text() const;
  // Converts twips (1/1,440 inch) to pixels at the screen's logical
  // resolution.
  int Twips(int twips) const;

  // Brings the record counter and the bar up to date now (they are
  // otherwise updated when the window next processes its events).
  void RefreshProgress();
  ProgressLine* progress_line() const { return progress_line_; }

  // RunView.
  void FileOpened() override;
  void RecordStarted(int32_t rec_ctr, double fraction) override;
  void SetBusy(bool busy) override;
  void CompletionStarted() override;
  void CompletedClean(bool has_records) override;
  void ShowResults() override;
  void RunEnded() override;
  void OpenOnlineServices() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildArea();
  void BuildCommandColumn();
  void BuildMenus();
  void BuildViewMenu();
  void AttachParts();
  void SetTabOrder();
  void LoadWindow();
  void FitToScreen();
  void ApplyCommands();
  void Apply(CommandEvent event);
  void LayoutControls();
  // Places the commands one below the other, 240 twips from the right edge;
  // returns the left edge of the column.
  int LayoutCommandColumn();
  void HideProgress();
  void Shutdown();

  // View Error Report (print = false) and Print Error Report (true): the
  // report is requested while the folder is held for reading, the
  // commands disabled until it is done.
  void RequestReport(bool print);

  // The record chosen in the tested records grid takes the shared area.
  void ShowChosenRecord(int64_t rec_num);

  // A command that reads the results holds the folder's shared lock while it
  // runs, as lintaro-cli report does: a check that starts meanwhile waits.
  // False, after saying so, when a check running elsewhere holds the
  // folder: nothing is read. During this window's own run nothing is taken.
  bool HoldFolderForReading(std::optional<FolderLock>& lock);

  // Result grids.
  bool BindData();
  // The grids and the viewer let go of the results.
  void CloseDatabase();
  // Whether a later test (another Lintaro, lintaro-cli check) has replaced
  // the results file that a grid or the viewer reads.
  bool ResultsReplaced() const;
  // The views let go of replaced results, the welcome takes the area and
  // the user is told to open a view again.
  void LetGoOfReplacedResults();
  // The same, once the event being handled is done (a row change, a grid's
  // drawing): true, with it queued, when the results were replaced.
  bool QueueIfResultsReplaced();
  // The record grid shown (DBGrid3 in the record view, DBGrid1 in the grid
  // view) when it has rows to go to, else null.
  RecordGridView* CurrentRecordGrid() const;
  // View Last Test Results: true when it showed the grid view of findings
  // (not when the folder was refused or the results hold none).
  bool ReopenLastResults();
  // What the grid view reads besides the record grids' rows: 0 or nothing
  // while the results are not bound.
  int64_t CountErrors();
  int64_t CountTested();

  Answer Message(const std::string& title, const std::string& text, Icon icon,
                 Buttons buttons = Buttons::kOk);

  ProgramFolders folders_;
  ScreenMetrics metrics_;
  Prompts& prompts_;
  Clock& clock_;
  RunState state_;
  CommandState commands_;
  int max_errors_ = 500;
  QtEventPump pump_;
  WindowPlacement placement_;
  CheckRun* run_ = nullptr;
  bool exit_requested_ = false;
  bool signalled_ = false;
  bool shut_down_ = false;
  bool busy_ = false;
  bool replaced_queued_ = false;
  RunSummary last_summary_;
  // The results the grid view reads, from BindData to CloseDatabase.
  std::unique_ptr<GridResults> grid_results_;

  std::map<Command, QPushButton*> command_buttons_;
  std::map<Command, QAction*> menu_actions_;
  QMenu* report_menu_ = nullptr;
  QMenu* records_menu_ = nullptr;
  QAction* go_to_record_action_ = nullptr;

  // The shared area and the parts shown in it.
  QWidget* area_ = nullptr;
  std::unique_ptr<WelcomePanel> welcome_;
  ProgressLine* progress_line_ = nullptr;
  ErrorGridsPanel* error_grids_ = nullptr;        // owned by area_
  TestedRecordsPanel* tested_records_ = nullptr;  // owned by area_

  GridTips* grid_tips_ = nullptr;
  std::unique_ptr<ReportHost> reports_;

  QPointer<ErrorLimitDialog> limit_dialog_;
  QPointer<HelpWindow> help_window_;

  std::function<void(bool)> report_requester_;
  std::function<void(int32_t)> record_observer_;
  RecordNumberAsker ask_record_number_;
};

}  // namespace lintaro

#endif  // LINTARO_UI_MAIN_WINDOW_H_
