#include "ui/record_view.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

#include "browse/result_grids.h"
#include "browse/viewer_access.h"
#include "browse/viewer_text.h"
#include "store/results_db.h"
#include "ui/palette_colours.h"
#include "ui/qt_platform.h"

namespace lintaro {

RecordView::RecordView(std::string results_path, QWidget* parent)
    : QWidget(parent), results_path_(std::move(results_path)) {
  setObjectName("recordView");
  scroll_bar_ = new QScrollBar(Qt::Vertical, this);
  scroll_bar_->setObjectName("VScroll1");
  scroll_bar_->setSingleStep(1);
  scroll_bar_->hide();
  connect(scroll_bar_, &QScrollBar::valueChanged, this, [this](int v) { ScrollMoved(v); });

  names_.push_back(NewBox("Text1_0", false));
  values_.push_back(NewBox("Text2_0", true));
  window_colour_ = values_[0]->palette().color(QPalette::Base);
  text_colour_ = values_[0]->palette().color(QPalette::Text);
  LayoutRows();
}

RecordView::~RecordView() = default;

void RecordView::set_tested_grid(QAbstractItemView* grid) { tested_grid_ = grid; }

QLineEdit* RecordView::NewBox(const QString& name, bool value_box) {
  auto* box = new QLineEdit(this);
  box->setObjectName(name);
  box->setReadOnly(true);
  // The field names and the record's characters are shown as they are.
  box->setFrame(true);
  if (value_box) {
    // The record's characters in the desktop's fixed-width font, at the
    // size of the names, so that the positions line up and rows keep their
    // height.
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(box->font().pointSizeF());
    box->setFont(mono);
  }
  box->installEventFilter(this);
  box->show();
  return box;
}

QLineEdit* RecordView::NameBox(int row) const {
  return row >= 0 && row < row_count() ? names_[static_cast<size_t>(row)] : nullptr;
}

QLineEdit* RecordView::ValueBox(int row) const {
  return row >= 0 && row < row_count() ? values_[static_cast<size_t>(row)] : nullptr;
}

bool RecordView::OpenDatabase() {
  if (db_) return true;
  try {
    db_ = ResultsDb::Open(results_path_, true);
  } catch (const std::exception&) {
    return false;
  }
  viewer_ = std::make_unique<RecordViewer>(*db_);
  return true;
}

ViewResult RecordView::ShowRecord(int64_t rec_num) {
  const ViewResult result = OpenDatabase() ? viewer_->ViewFile(rec_num) : ViewResult::kUnreadable;
  if (result != ViewResult::kShown) {
    // The grid's row is on this record: the rows and the caption of the
    // record before it would pass for it.
    DropRows();
    for (QLineEdit* box : {names_[0], values_[0]}) {
      box->clear();
      box->setAccessibleName({});
      box->setAccessibleDescription({});
    }
    Paint(0, false);
    if (QWidget* top = window()) top->setWindowTitle(ToQString(GoToRecordUnreadable(rec_num)));
    return result;
  }
  Fill();
  if (QWidget* top = window()) top->setWindowTitle(ToQString(viewer_->caption()));
  AlignColumns();
  if (tested_grid_) tested_grid_->scrollTo(tested_grid_->currentIndex());
  return result;
}

void RecordView::Fill() {
  const std::vector<ViewerRow>& rows = viewer_->rows();
  const int count = std::max<int>(1, static_cast<int>(rows.size()));
  // Rows of the previous record go; the new ones are copies of row 0.
  while (row_count() > count) {
    delete names_.back();
    delete values_.back();
    names_.pop_back();
    values_.pop_back();
  }
  while (row_count() < count) {
    const int i = row_count();
    names_.push_back(NewBox(QString("Text1_%1").arg(i), false));
    values_.push_back(NewBox(QString("Text2_%1").arg(i), true));
    // Tab goes on from the row above, before whatever followed it.
    QWidget::setTabOrder(values_[static_cast<size_t>(i - 1)], names_.back());
    QWidget::setTabOrder(names_.back(), values_.back());
  }
  const std::vector<std::string> descriptions = ViewerRowDescriptions(rows);
  for (int i = 0; i < count; ++i) {
    const ViewerRow& row = rows[static_cast<size_t>(i)];
    // Both boxes show the start of their text.
    QLineEdit* name = names_[static_cast<size_t>(i)];
    // Control characters show as U+FFFD, one column each, as lintaro-cli
    // show prints them: a NUL or a tab that made a field fail must not look
    // like a space, or vanish.
    name->setText(ToQString(PrintableUtf8(row.label)));
    name->setCursorPosition(0);
    QLineEdit* value = values_[static_cast<size_t>(i)];
    value->setText(ToQString(PrintableUtf8(row.value)));
    value->setCursorPosition(0);
    // A screen reader says the field's name, where it lies and whether it
    // is in error with its value: the yellow is not the only sign.
    name->setAccessibleName(name->text());
    name->setAccessibleDescription("Field name");
    value->setAccessibleName(name->text());
    value->setAccessibleDescription(ToQString(descriptions[static_cast<size_t>(i)]));
    Paint(i, row.marked);
  }
  scroll_.SetRowCount(count);
  LayoutRows();
}

void RecordView::Paint(int row, bool marked) {
  QLineEdit* box = values_[static_cast<size_t>(row)];
  QPalette p = box->palette();
  p.setColor(QPalette::Base, marked ? kMarkedFieldColour : window_colour_);
  // Text that reads on the yellow whatever the desktop's colours are.
  p.setColor(QPalette::Text, marked ? TextOn(kMarkedFieldColour) : text_colour_);
  box->setPalette(p);
  // A style sheet given to the program (-stylesheet) paints over the
  // palette; the box's own sheet comes before it.
  const QString sheet = marked && !qApp->styleSheet().isEmpty()
                            ? QString("QLineEdit { background-color: %1; color: %2; }")
                                  .arg(kMarkedFieldColour.name(), TextOn(kMarkedFieldColour).name())
                            : QString();
  if (box->styleSheet() != sheet) box->setStyleSheet(sheet);
}

void RecordView::DropRows() {
  if (viewer_) viewer_->UnloadLabels();
  while (row_count() > 1) {
    delete names_.back();
    delete values_.back();
    names_.pop_back();
    values_.pop_back();
  }
  scroll_.Unload();
  LayoutRows();
}

bool RecordView::ResultsReplaced() const { return db_ != nullptr && db_->Replaced(); }

void RecordView::Unload() {
  DropRows();
  // The next run deletes and recreates the results file.
  viewer_.reset();
  db_.reset();
}

void RecordView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutRows();
  AlignColumns();
}

void RecordView::UpdateNameColumn() {
  const QFontMetrics metrics(names_[0]->font());
  int longest = 0;
  for (const QLineEdit* name : names_)
    longest = std::max(longest, metrics.horizontalAdvance(name->text()));
  // The box's frame and inner margins on both sides, and a little air.
  const int padding = 2 * (style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 2) +
                      metrics.horizontalAdvance(QStringLiteral("  "));
  const int wanted = std::min(longest + padding, width() * 7 / 10);
  const int name_width = std::max(wanted, width() * 2 / 5);
  if (name_width == name_width_) return;
  name_width_ = name_width;
  emit columns_moved();
}

// The rows that fit the viewer's height, the scroll bar's height and
// range; unchanged while the window is minimised.
void RecordView::LayoutRows() {
  if (window() != nullptr && window()->isMinimized()) return;
  UpdateNameColumn();
  const int row_height = std::max(1, names_[0]->sizeHint().height());
  scroll_.Layout(height(), row_height);
  const int bar_width = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  scroll_bar_->setGeometry(width() - bar_width, 0, bar_width, scroll_.scroll_bar_height());
  placing_ = true;
  scroll_bar_->setRange(0, scroll_.scroll_max());
  scroll_bar_->setPageStep(scroll_.rows_shown());
  scroll_bar_->setValue(scroll_.position());
  placing_ = false;
  scroll_bar_->setVisible(scroll_.scroll_bar_visible());
  PlaceRows();
  AlignColumns();
}

// Row `position` at the top of the scroll bar, the following ones below it
// while they fit; the others hidden.
void RecordView::PlaceRows() {
  const int row_height = scroll_.row_height();
  const int name_width = name_width_;
  for (int i = 0; i < row_count(); ++i) {
    QLineEdit* name = names_[static_cast<size_t>(i)];
    QLineEdit* value = values_[static_cast<size_t>(i)];
    const bool visible = scroll_.RowVisible(i);
    // Hidden rows keep their last place but follow the columns.
    const int top = visible ? scroll_.RowTop(i) : name->y();
    name->setGeometry(0, top, name_width, row_height);
    value->move(name_width, top);
    value->resize(value->width(), row_height);
    name->setVisible(visible);
    value->setVisible(visible);
  }
}

void RecordView::AlignColumns() {
  const int name_right = names_[0]->x() + names_[0]->width();
  const int width = ValueBoxWidth(name_right, scroll_bar_->x(), scroll_bar_->width(),
                                  scroll_.scroll_bar_visible());
  for (QLineEdit* value : values_) value->resize(width, value->height());
  if (tested_grid_ && tested_grid_->parentWidget() != nullptr) {
    const QPoint bar_right =
        scroll_bar_->mapTo(tested_grid_->parentWidget(), QPoint(scroll_bar_->width(), 0));
    tested_grid_->resize(std::max(0, bar_right.x() - tested_grid_->x()), tested_grid_->height());
  }
}

void RecordView::ScrollMoved(int value) {
  if (placing_) return;
  scroll_.ScrollTo(value);
  PlaceRows();
}

void RecordView::wheelEvent(QWheelEvent* event) {
  if (scroll_bar_->isVisible())
    QApplication::sendEvent(scroll_bar_, event);
  else
    QWidget::wheelEvent(event);
}

// Tab and Shift+Tab between rows: ViewerScroll says where the focus goes
// and how far the rows scroll; past the first or last box the window's own
// focus order goes on.
bool RecordView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  const bool tab = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
  const bool back = key->key() == Qt::Key_Backtab ||
                    (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier));
  if (!tab && !back) return QWidget::eventFilter(watched, event);
  std::optional<ViewerScroll::Focus> from;
  for (int i = 0; i < row_count() && !from; ++i) {
    if (watched == names_[static_cast<size_t>(i)]) from = {i, ViewerScroll::Box::kName};
    if (watched == values_[static_cast<size_t>(i)]) from = {i, ViewerScroll::Box::kValue};
  }
  if (!from) return QWidget::eventFilter(watched, event);
  const std::optional<ViewerScroll::Focus> to = scroll_.Tab(*from, back);
  placing_ = true;
  scroll_bar_->setValue(scroll_.position());
  placing_ = false;
  PlaceRows();
  if (!to) return false;
  QLineEdit* box = to->box == ViewerScroll::Box::kName ? names_[static_cast<size_t>(to->row)]
                                                       : values_[static_cast<size_t>(to->row)];
  box->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
  return true;
}

}  // namespace lintaro
