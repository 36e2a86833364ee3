// The views of the results in the main window: the records with errors and
// their findings, the tested records, Go to Record and the reopening of the
// last results.
#include <QApplication>
#include <QFileInfo>
#include <QPushButton>
#include <QTimer>

#include "browse/grid_results.h"
#include "browse/result_grids.h"
#include "browse/window_texts.h"
#include "os/folder_lock.h"
#include "ui/error_grids_panel.h"
#include "ui/main_window.h"
#include "ui/progress_line.h"
#include "ui/record_grid_model.h"
#include "ui/record_grid_view.h"
#include "ui/record_view.h"
#include "ui/tested_records_panel.h"
#include "ui/welcome_panel.h"

namespace lintaro {

bool MainWindow::BindData() {
  CloseDatabase();
  grid_results_ = GridResults::Open(results_path());
  return grid_results_ != nullptr;
}

void MainWindow::CloseDatabase() {
  error_grids_->Clear();
  tested_records_->Clear();
  grid_results_.reset();
  // The viewer reads the results the grids show, never others: the next
  // view opened reads the file as it is then.
  record_view()->Unload();
}

bool MainWindow::ResultsReplaced() const {
  if (grid_results_ != nullptr && grid_results_->Replaced()) return true;
  for (RecordGridView* grid : {tested_records_->grid(), error_grids_->records_grid()}) {
    const auto* model = qobject_cast<const RecordGridModel*>(grid->model());
    if (model != nullptr && model->Replaced()) return true;
  }
  return record_view()->ResultsReplaced();
}

void MainWindow::LetGoOfReplacedResults() {
  // Nothing of the old results stays in view behind the message.
  CloseDatabase();
  error_grids_->Hide();
  tested_records_->Hide();
  welcome_->ShowGreeting(true);
  setWindowTitle(kWindowTitle);
  Apply(CommandEvent::kViewsReplaced);
  // Results deleted leave nothing to view again: a new test is what is left.
  const bool deleted = !QFileInfo::exists(ToQString(results_path()));
  command_buttons_[deleted ? Command::cmdStart : Command::cmdView]->setFocus();
  Message(kResultsTitle, deleted ? kViewedResultsDeleted : kViewedResultsReplaced,
          Icon::kExclamation);
}

bool MainWindow::QueueIfResultsReplaced() {
  if (!ResultsReplaced()) return false;
  if (!replaced_queued_) {
    replaced_queued_ = true;
    QTimer::singleShot(0, this, [this] {
      replaced_queued_ = false;
      if (ResultsReplaced()) LetGoOfReplacedResults();
    });
  }
  return true;
}

int64_t MainWindow::CountErrors() { return grid_results_ ? grid_results_->CountErrors() : 0; }

int64_t MainWindow::CountTested() { return grid_results_ ? grid_results_->CountTested() : 0; }

bool MainWindow::HoldFolderForReading(std::optional<FolderLock>& lock) {
  // During this window's own run the folder is the run's, and so are the
  // results it shows at the end.
  if (run_ != nullptr) return true;
  lock = FolderLock::ForReading(folders_.data, /*create=*/false);
  if (!lock->refused()) return true;
  Message(FolderRefusalTitle(lock->state()), FolderInUseMessage(lock->state(), folders_.data),
          Icon::kCritical);
  lock.reset();
  return false;
}

void MainWindow::ViewRecordsWithErrors() {
  std::optional<FolderLock> reading;
  if (!HoldFolderForReading(reading)) return;
  state_.Testing = false;
  // The results are counted before the view shown lets go of its own: with
  // no errors to show, the tested records stay as they are.
  std::unique_ptr<GridResults> results = GridResults::Open(results_path());
  const int64_t errors = results ? results->CountErrors() : 0;
  // How the run ended is read too: the results may be unreadable or damaged.
  const std::string stopped = results ? results->CritErrorText() : "";
  if (!results || !results->problem().empty()) {
    // Gone or unreadable: nothing here says the submission has no errors.
    if (results) {
      Message(kResultsTitle, CannotReadResults(results_path(), results->problem()),
              Icon::kCritical);
    } else {
      Message(kResultsTitle, kNoReportFound, Icon::kInformation);
    }
    Apply(CommandEvent::kGridViewNoErrors);
    return;
  }
  if (errors == 0) {
    results.reset();
    Message(kProgramName, stopped.empty() ? kNoErrorsInScope : stopped, Icon::kNone);
    Apply(CommandEvent::kGridViewNoErrors);
    return;
  }
  CloseDatabase();
  grid_results_ = std::move(results);
  // The caption names the tested file.
  setWindowTitle(ToQString(GridViewCaption(grid_results_->LastTestedPath())));

  QApplication::setOverrideCursor(Qt::WaitCursor);
  record_view()->Unload();
  tested_records_->Hide();
  HideProgress();
  error_grids_->Fill(*grid_results_, results_path(), CountTested());
  welcome_->ShowGreeting(false);
  welcome_->HideDisclaimer();
  error_grids_->Show();
  LayoutControls();
  error_grids_->SelectFirstRecord();
  Apply(CommandEvent::kGridViewWithErrors);
  QApplication::restoreOverrideCursor();
  error_grids_->TakeFocus();
}

void MainWindow::ViewTestedRecords() {
  std::optional<FolderLock> reading;
  if (!HoldFolderForReading(reading)) return;
  bool bound = BindData();
  // Results that no run can have left are refused, as the error grids
  // refuse them (reading how the run ended checks them), never listed.
  if (bound) grid_results_->CritErrorText();
  if (bound && !grid_results_->problem().empty()) {
    Message(kResultsTitle, CannotReadResults(results_path(), grid_results_->problem()),
            Icon::kCritical);
    CloseDatabase();
    bound = false;
  }
  const int64_t tested = bound ? CountTested() : 0;
  Apply(tested > 0 ? CommandEvent::kRecordViewOpened : CommandEvent::kRecordViewEmpty);
  if (!bound) return;

  const bool readable = tested_records_->Load(results_path(), tested);
  error_grids_->Hide();
  HideProgress();
  welcome_->HideDisclaimer();
  tested_records_->ShowGrid();
  LayoutControls();
  ApplyCommands();  // Go to Record follows the grid shown
  if (readable) tested_records_->StartBrowsing();
}

void MainWindow::ShowChosenRecord(int64_t rec_num) {
  if (QueueIfResultsReplaced()) return;
  welcome_->ShowGreeting(false);
  error_grids_->Hide();
  tested_records_->ShowViewer();
  // The viewer shows the record and sets the caption from it.
  record_view()->ShowRecord(rec_num);
}

RecordGridView* MainWindow::CurrentRecordGrid() const {
  for (RecordGridView* grid : {tested_records_->grid(), error_grids_->records_grid()}) {
    if (grid->isHidden()) continue;
    const auto* model = qobject_cast<const RecordGridModel*>(grid->model());
    return model != nullptr && model->rowCount() > 0 ? grid : nullptr;
  }
  return nullptr;
}

void MainWindow::GoToRecord() {
  RecordGridView* grid = CurrentRecordGrid();
  if (grid == nullptr) return;
  if (ResultsReplaced()) {
    LetGoOfReplacedResults();
    return;
  }
  const int64_t tested = CountTested();
  auto* model = qobject_cast<RecordGridModel*>(grid->model());
  std::optional<int> row;
  // A number the grid has not is refused, and asked for again; so is one
  // whose row stays empty (the record is missing from a damaged results
  // file, or cannot be read): selecting it would leave the viewer on
  // another record.
  const auto accept = [&](int64_t rec_num) {
    row = model->RowOf(rec_num);
    if (row && model->RecNumAt(*row) == rec_num) return true;
    Message(kGoToRecordTitle,
            row ? GoToRecordUnreadable(rec_num)
                : GoToRecordRefusal(rec_num, tested, grid == error_grids_->records_grid()),
            Icon::kInformation);
    row.reset();
    return false;
  };
  const std::optional<int64_t> rec_num = ask_record_number_(tested, accept);
  if (!rec_num || !row) {
    grid->setFocus();
    return;
  }
  // The row change shows the record (or its findings) as a click would.
  const QModelIndex index = model->index(*row, 0);
  grid->setCurrentIndex(index);
  grid->scrollTo(index, QAbstractItemView::PositionAtCenter);
  grid->setFocus();
}

void MainWindow::ViewLastResults() { ReopenLastResults(); }

bool MainWindow::ReopenLastResults() {
  std::optional<FolderLock> reading;
  if (!HoldFolderForReading(reading)) return false;
  welcome_->HideDisclaimer();
  const LastResults last = InspectLastResults(folders_.data);
  if (!last.notice.empty() && last.kind != LastResults::kCannotOpen &&
      last.kind != LastResults::kNoFile) {
    // The grids say it again under "Lintaro Testing Stopped".
    Message(kResultsTitle, last.notice, Icon::kExclamation);
    if (last.kind == LastResults::kErrors) {
      ViewRecordsWithErrors();
      Apply(CommandEvent::kLastWithErrors);
      return true;
    }
    Apply(last.kind == LastResults::kNoErrors ? CommandEvent::kLastNoErrors
                                              : CommandEvent::kLastUnreadable);
    return false;
  }
  switch (last.kind) {
    case LastResults::kNoFile:
      Message(kResultsTitle, kNoReportFound, Icon::kInformation);
      Apply(CommandEvent::kLastNoReport);
      return false;
    case LastResults::kCannotOpen:
      Message(kResultsTitle, CannotReadResults(results_path(), last.problem), Icon::kCritical);
      Apply(CommandEvent::kLastNoReport);
      return false;
    case LastResults::kNoRecords:
      Message(kResultsTitle, kUnreadableLastFile, Icon::kExclamation);
      Apply(CommandEvent::kLastUnreadable);
      return false;
    case LastResults::kErrors:
      ViewRecordsWithErrors();
      Apply(CommandEvent::kLastWithErrors);
      return true;
    case LastResults::kNoErrors:
      Message(kLastReportResultsTitle, NoErrorsFoundIn(last.paths), Icon::kInformation);
      Apply(CommandEvent::kLastNoErrors);
      return false;
  }
  return false;
}

}  // namespace lintaro
