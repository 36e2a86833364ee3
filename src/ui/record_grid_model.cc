#include "ui/record_grid_model.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <exception>
#include <limits>

#include "browse/result_grids.h"
#include "browse/viewer_text.h"
#include "store/cp1252.h"
#include "store/results_db.h"

namespace lintaro {

RecordGridModel::RecordGridModel(const std::string& results_path, RecordGridRows::Kind kind,
                                 QObject* parent)
    : QAbstractTableModel(parent), db_(ResultsDb::Open(results_path, /*read_only=*/true)) {
  rows_ = std::make_unique<RecordGridRows>(*db_, kind);
  record_font_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  record_font_.setPointSizeF(QGuiApplication::font().pointSizeF());
}

RecordGridModel::~RecordGridModel() = default;

bool RecordGridModel::Replaced() const { return db_->Replaced(); }

RecordGridModel* RecordGridModel::Open(const std::string& results_path, RecordGridRows::Kind kind,
                                       QObject* parent) {
  try {
    return new RecordGridModel(results_path, kind, parent);
  } catch (const std::exception&) {
    return nullptr;
  }
}

// The most rows a grid shows: a view's header adds up its rows in an int and
// breaks near the int's limit (a results file whose last record number is
// out of reach of any submission). A submission of that many records would
// be a terabyte.
constexpr int64_t kMostGridRows = std::numeric_limits<int>::max() / 2;

int RecordGridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(std::min<int64_t>(rows_->size(), kMostGridRows));
}

int RecordGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 3;
}

QVariant RecordGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::TextAlignmentRole && index.column() < 2) return QVariant(Qt::AlignCenter);
  if (role == Qt::FontRole && index.column() == 2) return record_font_;
  if (role != Qt::DisplayRole) return {};
  const GridRecord& row = rows_->At(index.row());
  if (rows_->replaced() && !told_replaced_) {
    told_replaced_ = true;
    // Not while the grid draws: whoever hears it may replace this model.
    QMetaObject::invokeMethod(const_cast<RecordGridModel*>(this),
                              &RecordGridModel::results_replaced, Qt::QueuedConnection);
  }
  if (row.rec_num == 0) return {};
  switch (index.column()) {
    case 0:
      return QVariant::fromValue<qlonglong>(row.rec_num);
    case 1:
      return row.errors;
    case 2: {
      // Control characters as U+FFFD, as the viewer shows them: a NUL
      // dropped or a tab widened would shift the rest of the record out of
      // line with the records above and below.
      const std::string shown = PrintableUtf8(Utf8ToCp1252(row.record));
      return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
    }
    default:
      return {};
  }
}

QVariant RecordGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section > 2)
    return QAbstractTableModel::headerData(section, orientation, role);
  // "Record Data" heads its column's start, which is all a grid-wide
  // column shows.
  if (role == Qt::TextAlignmentRole && section == 2)
    return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  return QString(kRecordHeadings[section]);
}

int64_t RecordGridModel::RecNumAt(int row) const {
  const GridRecord& r = rows_->At(row);
  return r.rec_num;
}

std::optional<int> RecordGridModel::RowOf(int64_t rec_num) const {
  const std::optional<int64_t> row = rows_->RowOf(rec_num);
  if (!row || *row >= kMostGridRows) return std::nullopt;
  return static_cast<int>(*row);
}

}  // namespace lintaro
