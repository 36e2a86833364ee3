// The Qt model of the findings grid (DBGrid2) over the findings of one
// record: three columns, "Error Reference", "User Entry" and "Error
// Description", the last heading at its column's start.
#ifndef LINTARO_UI_FINDINGS_GRID_MODEL_H_
#define LINTARO_UI_FINDINGS_GRID_MODEL_H_

#include <QAbstractTableModel>
#include <vector>

#include "browse/grid_results.h"

namespace lintaro {

class FindingsGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit FindingsGridModel(std::vector<FindingCells> rows, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  std::vector<FindingCells> rows_;
};

}  // namespace lintaro

#endif  // LINTARO_UI_FINDINGS_GRID_MODEL_H_
