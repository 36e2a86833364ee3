#include "ui/findings_grid_model.h"

#include <limits>
#include <string>

#include "browse/result_grids.h"

namespace lintaro {

FindingsGridModel::FindingsGridModel(std::vector<FindingCells> rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(std::move(rows)) {}

int FindingsGridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(std::min<size_t>(rows_.size(), std::numeric_limits<int>::max()));
}

int FindingsGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 3;
}

QVariant FindingsGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  const FindingCells& row = rows_[static_cast<size_t>(index.row())];
  const std::string* cell = nullptr;
  switch (index.column()) {
    case 0:
      cell = &row.reference;
      break;
    case 1:
      cell = &row.user_entry;
      break;
    case 2:
      cell = &row.error;
      break;
    default:
      return {};
  }
  return QString::fromUtf8(cell->data(), static_cast<qsizetype>(cell->size()));
}

QVariant FindingsGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section > 2)
    return QAbstractTableModel::headerData(section, orientation, role);
  // "Error Description" heads the start of its grid-wide column.
  if (role == Qt::TextAlignmentRole && section == 2)
    return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  if (role != Qt::DisplayRole && role != Qt::EditRole)
    return QAbstractTableModel::headerData(section, orientation, role);
  return QString(kErrorHeadings[section]);
}

}  // namespace lintaro
