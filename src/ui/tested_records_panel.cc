#include "ui/tested_records_panel.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>

#include "browse/result_grids.h"
#include "browse/window_texts.h"
#include "ui/qt_platform.h"
#include "ui/record_grid_model.h"
#include "ui/record_grid_view.h"
#include "ui/record_view.h"

namespace lintaro {
namespace {

// Share of the area's height the grid takes once the window is larger than
// designed.
constexpr double kGridShare = 0.22;

QLabel* NewHeading(QWidget* parent, const char* name, const char* text) {
  auto* heading = new QLabel(text, parent);
  heading->setObjectName(name);
  QFont font = heading->font();
  font.setBold(true);
  heading->setFont(font);
  return heading;
}

}  // namespace

TestedRecordsPanel::TestedRecordsPanel(QWidget* area) : QObject(area), area_(area) {
  grid_ = new RecordGridView(area);
  grid_->setObjectName("DBGrid3");
  grid_->setAccessibleName("Tested records");
  caption_ = NewGridCaption(area, "DBGrid3Caption", {});
  field_name_heading_ = NewHeading(area, "lblFName", kFieldNameHeading);
  field_data_heading_ = NewHeading(area, "lblFData", kFieldDataHeading);
  // The divider the user drags to give the grid or the viewer more room.
  divider_ = new QWidget(area);
  divider_->setObjectName("splitTested");
  divider_->setCursor(Qt::SplitVCursor);
  divider_->installEventFilter(this);
  // The record viewer's rows are placed here.
  viewer_area_ = new QWidget(area);
  viewer_area_->setObjectName("viewerArea");
}

RecordView* TestedRecordsPanel::AttachViewer(const std::string& results_path) {
  record_view_ = new RecordView(results_path, viewer_area_);
  auto* rows = new QVBoxLayout(viewer_area_);
  rows->setContentsMargins(0, 0, 0, 0);
  rows->addWidget(record_view_);
  record_view_->set_tested_grid(grid_);
  connect(record_view_, &RecordView::columns_moved, this, [this] { PlaceHeadings(); });
  return record_view_;
}

void TestedRecordsPanel::Layout(const AreaColumn& column, bool maximized) {
  column_ = column;
  maximized_ = maximized;
  const int top = Twips(120);
  const int caption = LineHeight(caption_, kCaptionHeightTwips);
  int grid_height = std::max(Twips(kTestedGridTwips), static_cast<int>(column.height * kGridShare));
  if (share_ > 0) {
    // Three rows at least; the viewer keeps room for a few fields.
    grid_height = std::clamp(static_cast<int>(column.height * share_), caption * 4,
                             std::max(caption * 4, column.height - Twips(2400)));
  }
  caption_->setGeometry(column.left, top, column.width, caption);
  grid_->setGeometry(column.left, top + caption, column.width, grid_height - caption);
  divider_->setGeometry(column.left, top + grid_height, column.width, Twips(120));
  const int headings = top + grid_height + Twips(120);
  const int rows_top = headings + LineHeight(field_name_heading_, kLabelHeightTwips) + Twips(60);
  const int viewer_margin = maximized ? Twips(840) : Twips(740);
  viewer_area_->setGeometry(
      column.left, rows_top, column.width,
      std::max(Twips(300), column.height - rows_top - viewer_margin + Twips(kAreaMarginTwips)));
  PlaceHeadings();
  if (grid_->model() != nullptr) grid_->FitColumns(true);
}

void TestedRecordsPanel::DragDivider(int y) {
  if (column_.height <= 0) return;
  share_ = std::clamp(static_cast<double>(y - Twips(120)) / column_.height, 0.05, 0.95);
  Layout(column_, maximized_);
  if (record_view_ != nullptr) record_view_->AlignColumns();
}

bool TestedRecordsPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched != divider_) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      dragging_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
      return dragging_;
    case QEvent::MouseMove:
      if (!dragging_) break;
      DragDivider(
          divider_->mapToParent(static_cast<QMouseEvent*>(event)->position().toPoint()).y());
      return true;
    case QEvent::MouseButtonRelease:
      if (!dragging_) break;
      dragging_ = false;
      if (share_changed_) share_changed_(share_);
      return true;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

void TestedRecordsPanel::PlaceHeadings() {
  const int label_height = LineHeight(field_name_heading_, kLabelHeightTwips);
  const int top = viewer_area_->y() - Twips(60) - label_height;
  const int name_width = record_view_ != nullptr ? record_view_->NameColumnWidth() : 0;
  field_name_heading_->setGeometry(viewer_area_->x(), top, name_width, label_height);
  field_data_heading_->setGeometry(viewer_area_->x() + name_width, top,
                                   viewer_area_->width() - name_width, label_height);
}

bool TestedRecordsPanel::Load(const std::string& results_path, int64_t tested) {
  RecordGridModel* model =
      RecordGridModel::Open(results_path, RecordGridRows::Kind::kTested, grid_);
  grid_->ReplaceModel(model);
  caption_->setText(ToQString(TestedGridCaption(tested)));
  grid_->setAccessibleDescription(caption_->text());
  return model != nullptr;
}

void TestedRecordsPanel::ShowGrid() {
  caption_->show();
  grid_->show();
  divider_->show();
}

void TestedRecordsPanel::StartBrowsing() {
  connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { RowChanged(current.row()); });
  grid_->scrollToTop();
  grid_->setFocus();
  if (grid_->model()->rowCount() > 0) grid_->setCurrentIndex(grid_->model()->index(0, 0));
}

void TestedRecordsPanel::RowChanged(int row) {
  auto* model = qobject_cast<RecordGridModel*>(grid_->model());
  if (model == nullptr || row < 0) return;
  // The record the row stands for, even when the results file has lost it
  // (its cells empty): the viewer then says so rather than keep the last.
  const int64_t rec_num = model->rows().RecNumOf(row);
  if (rec_num != 0 && record_chosen_) record_chosen_(rec_num);
}

void TestedRecordsPanel::ShowViewer() {
  field_name_heading_->show();
  field_data_heading_->show();
  viewer_area_->show();
}

void TestedRecordsPanel::Hide() {
  for (QWidget* w : std::initializer_list<QWidget*>{grid_, caption_, divider_, field_name_heading_,
                                                    field_data_heading_, viewer_area_})
    w->hide();
}

void TestedRecordsPanel::Clear() { grid_->ReplaceModel(nullptr); }

}  // namespace lintaro
