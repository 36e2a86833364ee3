// The grids of the main window (DBGrid1, DBGrid2, DBGrid3): read-only table
// views that select whole rows and keep their horizontal place when a row
// is selected.
//
// The last column is as wide as the whole grid, so a plain table view would
// scroll sideways to show a clicked cell of it and push the record number
// and error count out of view. Here selecting a row, by click or key, only
// ever scrolls up or down; the horizontal scroll bar alone moves sideways.
#ifndef LINTARO_UI_RECORD_GRID_VIEW_H_
#define LINTARO_UI_RECORD_GRID_VIEW_H_

#include <QTableView>

namespace lintaro {

class RecordGridView : public QTableView {
  Q_OBJECT

 public:
  explicit RecordGridView(QWidget* parent = nullptr);

  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
};

}  // namespace lintaro

#endif  // LINTARO_UI_RECORD_GRID_VIEW_H_
