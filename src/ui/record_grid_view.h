// The grids of the main window (DBGrid1, DBGrid2, DBGrid3): read-only table
// views that select whole rows and keep their horizontal place when a row
// is selected.
//
// The record grids' last column holds the whole record text (wider than
// the grid), so a plain table view would scroll sideways to show a clicked
// cell of it and push the record number and error count out of view. Here
// selecting a row, by click or key, only ever scrolls up or down; the
// horizontal scroll bar alone moves sideways. The findings grid wraps its
// texts within its columns instead, its rows as high as their texts.
#ifndef LINTARO_UI_RECORD_GRID_VIEW_H_
#define LINTARO_UI_RECORD_GRID_VIEW_H_

#include <QTableView>

class QLabel;

namespace lintaro {

class RecordGridView : public QTableView {
  Q_OBJECT

 public:
  explicit RecordGridView(QWidget* parent = nullptr);

  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

  // Shows model (null: none) instead of the model shown, which is deleted
  // with its selection model when it belongs to this view (its parent).
  void ReplaceModel(QAbstractItemModel* model);
  // Sizes the columns of the model shown: the record grids'
  // (narrow_first_columns) "RecNum" and "ErrCount" 800 twips or what their
  // headings or widest values need, the record text what a whole record
  // needs (at least the grid's width); the findings grid's reference and
  // entry a share of the width and the message the rest, all wrapped.
  void FitColumns(bool narrow_first_columns);

 signals:
  // Another model is shown (ReplaceModel).
  void model_replaced();

 private:
  // Width a cell needs to show text whole in this grid's font and style.
  int CellWidth(const QString& text) const;
};

// A grid's caption bar named name: white bold text, centred, on blue.
QLabel* NewGridCaption(QWidget* parent, const char* name, const QString& text);

}  // namespace lintaro

#endif  // LINTARO_UI_RECORD_GRID_VIEW_H_
