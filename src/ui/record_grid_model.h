// The Qt model of a record grid (DBGrid1, DBGrid3) over RecordGridRows:
// three columns, "RecNum", "ErrCount" and "Record Data", the first two
// centred; every row counted from the start, its cells read when drawn.
#ifndef LINTARO_UI_RECORD_GRID_MODEL_H_
#define LINTARO_UI_RECORD_GRID_MODEL_H_

#include <QAbstractTableModel>
#include <QFont>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "browse/record_grid.h"

namespace lintaro {

class ResultsDb;

class RecordGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // Opens the results database at results_path read-only for as long as
  // the model lives. Throws StoreError when it cannot be read.
  RecordGridModel(const std::string& results_path, RecordGridRows::Kind kind,
                  QObject* parent = nullptr);
  ~RecordGridModel() override;
  // The same, or null when the results cannot be read.
  static RecordGridModel* Open(const std::string& results_path, RecordGridRows::Kind kind,
                               QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  // The record number of row (0 past the end or for a record not stored).
  int64_t RecNumAt(int row) const;
  // The row showing record rec_num, if the grid has it.
  std::optional<int> RowOf(int64_t rec_num) const;
  const RecordGridRows& rows() const { return *rows_; }
  // Whether a later test has replaced the results file the rows are read
  // from.
  bool Replaced() const;

 signals:
  // A row scrolled into view was not read because a later test replaced
  // the results file; sent once, after the drawing that found it.
  void results_replaced();

 private:
  // The record text's font: the desktop's fixed-width font, so that its
  // positions line up from row to row.
  QFont record_font_;
  std::unique_ptr<ResultsDb> db_;
  // Reading a row's window is not a change a viewer of the model sees.
  mutable std::unique_ptr<RecordGridRows> rows_;
  mutable bool told_replaced_ = false;
};

}  // namespace lintaro

#endif  // LINTARO_UI_RECORD_GRID_MODEL_H_
