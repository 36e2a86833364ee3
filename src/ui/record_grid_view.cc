#include "ui/record_grid_view.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

#include "browse/result_grids.h"
#include "core/framer.h"
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
  emit model_replaced();
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
    // The record text whole: the grid scrolls sideways over it.
    int record = full;
    if (model()->rowCount() > 0) {
      const QVariant font = model()->index(0, 2).data(Qt::FontRole);
      const QFontMetrics metrics(font.isValid() ? font.value<QFont>() : this->font());
      record = std::max(
          full, CellWidth(QString()) + metrics.horizontalAdvance(QString(kRecordLength, '0')));
    }
    setColumnWidth(2, record);
    return;
  }
  // The reference and the entry get more room in a wider window; the
  // message has the rest. Each wraps within its column, the rows growing
  // to fit, so that a finding is read whole without scrolling or a tip.
  const int reference = std::max(TwipsToPixels(this, 2400), full / 4);
  const int entry = std::max(TwipsToPixels(this, 1440), full / 7);
  setWordWrap(true);
  setTextElideMode(Qt::ElideNone);
  verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  setColumnWidth(0, reference);
  setColumnWidth(1, entry);
  setColumnWidth(2, std::max(TwipsToPixels(this, 2400), full - reference - entry));
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
