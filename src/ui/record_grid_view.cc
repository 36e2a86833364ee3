#include "ui/record_grid_view.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

#include "browse/result_grids.h"
#include "ui/window_metrics.h"

namespace lintaro {

RecordGridView::RecordGridView(QWidget* parent) : QTableView(parent) {
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Tab goes on to the next control; the arrow keys move within the grid.
  setTabKeyNavigation(false);
  setWordWrap(false);
  setTextElideMode(Qt::ElideRight);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // Rows of one height: a million of them cost no layout.
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->hide();
  horizontalHeader()->setHighlightSections(false);
  setAlternatingRowColors(true);
}

void RecordGridView::scrollTo(const QModelIndex& index, ScrollHint hint) {
  const int sideways = horizontalScrollBar()->value();
  QTableView::scrollTo(index, hint);
  horizontalScrollBar()->setValue(sideways);
}

void RecordGridView::ReplaceModel(QAbstractItemModel* model) {
  QAbstractItemModel* old_model = this->model();
  QItemSelectionModel* old_selection = selectionModel();
  setModel(model);
  // The view owns neither; each view of the results replaces them.
  delete old_selection;
  if (old_model != nullptr && old_model->parent() == this) delete old_model;
  emit modelReplaced();
}

void RecordGridView::FitColumns(bool narrow_first_columns) {
  const int full = std::max(TwipsToPixels(this, 1440), viewport()->width());
  if (narrow_first_columns) {
    // 800 twips, or what "RecNum" and "ErrCount" or their widest values
    // need in the desktop's font.
    const QHeaderView* header = horizontalHeader();
    const int margins = 4 * header->style()->pixelMetric(QStyle::PM_HeaderMargin);
    for (int c : {0, 1}) {
      const QString heading = model()->headerData(c, Qt::Horizontal).toString();
      const int value = CellWidth(QString::fromLatin1(kWidestValues[c]));
      setColumnWidth(c,
                     std::max({TwipsToPixels(this, kNarrowColumnTwips),
                               header->fontMetrics().horizontalAdvance(heading) + margins, value}));
    }
  } else {
    // The reference and the entry get more room in a wider window.
    setColumnWidth(0, std::max(TwipsToPixels(this, 3600), full / 4));
    setColumnWidth(1, std::max(TwipsToPixels(this, 2400), full / 7));
  }
  // The record text or message column is as wide as the whole grid and
  // scrolls horizontally.
  setColumnWidth(2, full);
}

int RecordGridView::CellWidth(const QString& text) const {
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  option.text = text;
  option.features |= QStyleOptionViewItem::HasDisplay;
  // The cell's own width and the grid line at its right edge.
  return style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).width() +
         (showGrid() ? 1 : 0);
}

QLabel* NewGridCaption(QWidget* parent, const char* name, const QString& text) {
  auto* caption = new QLabel(text, parent);
  caption->setObjectName(name);
  caption->setAlignment(Qt::AlignCenter);
  caption->setStyleSheet(
      QString("#%1 { background: #3a5f8f; color: white; font-weight: bold; }").arg(name));
  return caption;
}

}  // namespace lintaro
