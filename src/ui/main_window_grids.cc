// The result grids of the main window: the records with errors and their
// findings, the tested records, and the reopening of the last results.
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>

#include "browse/grid_results.h"
#include "browse/result_grids.h"
#include "browse/window_texts.h"
#include "store/results_db.h"
#include "ui/findings_grid_model.h"
#include "ui/main_window.h"
#include "ui/record_grid_model.h"

namespace lintaro {

bool MainWindow::BindData() {
  CloseDatabase();
  grid_results_ = GridResults::Open(results_path());
  return grid_results_ != nullptr;
}

void MainWindow::CloseDatabase() {
  for (QTableView* grid : {DBGrid1_, DBGrid2_, DBGrid3_}) SetGridModel(grid, nullptr);
  grid_results_.reset();
}

int64_t MainWindow::CountErrors() { return grid_results_ ? grid_results_->CountErrors() : 0; }

int64_t MainWindow::CountTested() { return grid_results_ ? grid_results_->CountTested() : 0; }

FindingsGridModel* MainWindow::NewFindingsModel(int64_t rec_num) {
  return new FindingsGridModel(
      grid_results_ ? grid_results_->FindingsOf(rec_num) : std::vector<FindingCells>(), this);
}

RecordGridModel* MainWindow::NewRecordGridModel(RecordGridRows::Kind kind) {
  try {
    return new RecordGridModel(results_path(), kind, this);
  } catch (const std::exception&) {
    return nullptr;
  }
}

RecordGridModel* MainWindow::RecordGrid(QTableView* grid) const {
  return qobject_cast<RecordGridModel*>(grid->model());
}

void MainWindow::SetGridModel(QTableView* grid, QAbstractItemModel* model) {
  QAbstractItemModel* old_model = grid->model();
  QItemSelectionModel* old_selection = grid->selectionModel();
  grid->setModel(model);
  // The grid owns neither; each view replaces them.
  delete old_selection;
  if (old_model != nullptr && old_model->parent() == this) delete old_model;
}

void MainWindow::SetColumnWidths(QTableView* grid, bool narrow_first_columns) {
  const int full = std::max(Twips(1440), grid->viewport()->width());
  if (narrow_first_columns) {
    // 800 twips, or what "RecNum" and "ErrCount" need in the desktop's font.
    const QHeaderView* header = grid->horizontalHeader();
    const int margins = 4 * header->style()->pixelMetric(QStyle::PM_HeaderMargin);
    for (int c : {0, 1}) {
      const QString heading = grid->model()->headerData(c, Qt::Horizontal).toString();
      grid->setColumnWidth(c, std::max(Twips(kNarrowColumnTwips),
                                       header->fontMetrics().horizontalAdvance(heading) + margins));
    }
  } else {
    // The reference and the entry get more room in a wider window.
    grid->setColumnWidth(0, std::max(Twips(3600), full / 4));
    grid->setColumnWidth(1, std::max(Twips(2400), full / 7));
  }
  // The record text or message column is as wide as the whole grid and
  // scrolls horizontally.
  grid->setColumnWidth(2, full);
}

void MainWindow::ViewRecordsWithErrors() {
  state_.Testing = false;
  const bool bound = BindData();
  const int64_t errors = bound ? CountErrors() : 0;
  if (errors == 0) {
    Message(kProgramName, kNoErrorsInScope, Icon::kNone);
    Apply(CommandEvent::kGridViewNoErrors);
    return;
  }
  lblFName_->hide();
  lblFData_->hide();

  // The caption names the tested file.
  setWindowTitle(ToQString(GridViewCaption(grid_results_->LastTestedPath())));

  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (viewer_unload_) viewer_unload_();
  viewerArea_->hide();
  DBGrid3_->hide();
  DBGrid3Caption_->hide();
  HideProgress();

  // Records with errors.
  RecordGridModel* records = NewRecordGridModel(RecordGridRows::Kind::kWithErrors);
  SetGridModel(DBGrid1_, records);
  const int64_t tested = CountTested();
  const int64_t with_errors = records != nullptr ? records->rows().size() : 0;
  lblRecords_->setText(ToQString(RecordsLabel(tested, with_errors)));

  // The findings of the first record.
  const int64_t first = records != nullptr ? records->RecNumAt(0) : 0;
  if (first != 0) {
    SetGridModel(DBGrid2_, NewFindingsModel(first));
    lblErrors_->setText(ToQString(ErrorsLabelOnOpen(first)));
  } else {
    SetGridModel(DBGrid2_, nullptr);
  }

  // The critical finding, when the last finding is one.
  crit_error_text_ = grid_results_->CritErrorText();
  txtCritError_->setPlainText(crit_error_text_.empty() ? QString(kCritErrorNotApplicable)
                                                       : ToQString(crit_error_text_));
  txtCritError_->setStyleSheet(crit_error_text_.empty() ? QString() : QString("color: #9c1c1c;"));

  ShowWelcome(false);
  Shape1_->hide();
  txtDisclosure_->hide();
  for (QWidget* w :
       std::initializer_list<QWidget*>{lblRecords_, lblErrors_, lblCritError_, txtCritError_,
                                       DBGrid1Caption_, DBGrid1_, DBGrid2Caption_, DBGrid2_})
    w->show();
  LayoutControls();

  // The first row is current; changing it afterwards shows that record's
  // findings.
  if (records != nullptr && records->rowCount() > 0)
    DBGrid1_->setCurrentIndex(records->index(0, 0));
  if (DBGrid1_->selectionModel() != nullptr)
    connect(DBGrid1_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { RecordsRowChanged(current.row()); });

  Apply(CommandEvent::kGridViewWithErrors);
  QApplication::restoreOverrideCursor();
  if (crit_error_text_.empty())
    DBGrid1_->setFocus();
  else {
    txtCritError_->setFocus();
    SelectCritText();
  }
}

void MainWindow::RecordsRowChanged(int row) {
  RecordGridModel* records = RecordGrid(DBGrid1_);
  if (records == nullptr || row < 0) return;
  const int64_t n = records->RecNumAt(row);
  if (n == 0) return;  // an empty first cell changes nothing
  SetGridModel(DBGrid2_, NewFindingsModel(n));
  SetColumnWidths(DBGrid2_, false);
  lblErrors_->setText(ToQString(ErrorsLabelOnRowChange(n)));
}

void MainWindow::ViewTestedRecords() {
  const bool bound = BindData();
  const int64_t tested = bound ? CountTested() : 0;
  Apply(tested > 0 ? CommandEvent::kRecordViewOpened : CommandEvent::kRecordViewEmpty);
  if (!bound) return;

  RecordGridModel* model = NewRecordGridModel(RecordGridRows::Kind::kTested);
  SetGridModel(DBGrid3_, model);
  DBGrid3Caption_->setText(ToQString(TestedGridCaption(tested)));
  HideGridView();
  HideProgress();
  Shape1_->hide();
  txtDisclosure_->hide();
  DBGrid3Caption_->show();
  DBGrid3_->show();
  LayoutControls();

  ApplyCommands();  // Go to Record follows the grid shown
  if (model == nullptr) return;
  connect(DBGrid3_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { TestedRowChanged(current.row()); });
  DBGrid3_->scrollToTop();
  DBGrid3_->setFocus();
  if (model->rowCount() > 0) DBGrid3_->setCurrentIndex(model->index(0, 0));
}

void MainWindow::TestedRowChanged(int row) {
  RecordGridModel* model = RecordGrid(DBGrid3_);
  if (model == nullptr || row < 0) return;
  const int64_t n = model->RecNumAt(row);
  if (n == 0) return;  // an empty first cell changes nothing

  // The record view takes the shared area.
  ShowWelcome(false);
  HideGridView();
  lblFName_->show();
  lblFData_->show();
  viewerArea_->show();
  // The viewer shows the record and sets the caption from it.
  if (record_viewer_) record_viewer_(n);
}

QTableView* MainWindow::CurrentRecordGrid() const {
  for (QTableView* grid : {DBGrid3_, DBGrid1_}) {
    if (grid->isHidden()) continue;
    const RecordGridModel* model = RecordGrid(grid);
    return model != nullptr && model->rowCount() > 0 ? grid : nullptr;
  }
  return nullptr;
}

void MainWindow::GoToRecord() {
  QTableView* grid = CurrentRecordGrid();
  if (grid == nullptr || !ask_record_number_) return;
  const int64_t tested = CountTested();
  const std::optional<int64_t> rec_num = ask_record_number_(tested);
  if (!rec_num) return;
  RecordGridModel* model = RecordGrid(grid);
  const std::optional<int> row = model->RowOf(*rec_num);
  if (!row) {
    Message(kGoToRecordTitle, GoToRecordRefusal(*rec_num, tested, grid == DBGrid1_),
            Icon::kInformation);
    grid->setFocus();
    return;
  }
  // The row change shows the record (or its findings) as a click would.
  const QModelIndex index = model->index(*row, 0);
  grid->setCurrentIndex(index);
  grid->scrollTo(index, QAbstractItemView::PositionAtCenter);
  grid->setFocus();
}

void MainWindow::ViewLastResults() {
  Shape1_->hide();
  txtDisclosure_->hide();
  const LastResults last = InspectLastResults(folders_.data);
  switch (last.kind) {
    case LastResults::kNoFile:
      Message(kResultsTitle, kNoReportFound, Icon::kInformation);
      Apply(CommandEvent::kLastNoReport);
      return;
    case LastResults::kCannotOpen:
      Message(kResultsTitle,
              "The results of the last test cannot be read from " + results_path() + ".\r\n" +
                  last.problem,
              Icon::kCritical);
      Apply(CommandEvent::kLastNoReport);
      return;
    case LastResults::kNoRecords:
      Message(kResultsTitle, kUnreadableLastFile, Icon::kExclamation);
      Apply(CommandEvent::kLastUnreadable);
      return;
    case LastResults::kErrors:
      ViewRecordsWithErrors();
      Apply(CommandEvent::kLastWithErrors);
      return;
    case LastResults::kNoErrors:
      Message(kLastReportResultsTitle, NoErrorsFoundIn(last.paths), Icon::kInformation);
      Apply(CommandEvent::kLastNoErrors);
      return;
  }
}

}  // namespace lintaro
