#include "ui/error_grids_panel.h"

#include <QEvent>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "browse/grid_results.h"
#include "browse/result_grids.h"
#include "ui/findings_grid_model.h"
#include "ui/palette_colours.h"
#include "ui/qt_platform.h"
#include "ui/record_grid_model.h"
#include "ui/record_grid_view.h"

namespace lintaro {
namespace {

constexpr int kCritBoxTwips = 900;
// The grids and their labels above the critical error, at the least.
constexpr int kGridsLeastTwips = 2400;

QLabel* NewBoldLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  return label;
}

RecordGridView* NewGrid(QWidget* parent, const char* name) {
  auto* grid = new RecordGridView(parent);
  grid->setObjectName(name);
  return grid;
}

}  // namespace

ErrorGridsPanel::ErrorGridsPanel(QWidget* area) : QObject(area), area_(area) {
  records_label_ = NewBoldLabel(area, "lblRecords");
  findings_label_ = NewBoldLabel(area, "lblErrors");
  crit_label_ = NewBoldLabel(area, "lblCritError");
  crit_text_ = new QPlainTextEdit(area);
  crit_text_->setObjectName("txtCritError");
  crit_text_->setReadOnly(true);
  crit_text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  crit_text_->installEventFilter(this);
  records_grid_ = NewGrid(area, "DBGrid1");
  findings_grid_ = NewGrid(area, "DBGrid2");
  records_caption_ = NewGridCaption(area, "DBGrid1Caption", kRecordsGridCaption);
  findings_caption_ = NewGridCaption(area, "DBGrid2Caption", kErrorsGridCaption);
  // What a screen reader names them: the captions above them.
  records_grid_->setAccessibleName("Records with errors");
  findings_grid_->setAccessibleName(kErrorsGridCaption);
  crit_text_->setAccessibleName(kCritErrorLabel);
}

void ErrorGridsPanel::LoadTexts() {
  crit_label_->setText(kCritErrorLabel);
  crit_text_->setPlainText(kCritErrorNone);
  records_label_->setText(kInitialRecordsLabel);
  findings_label_->setText(kInitialErrorsLabel);
}

void ErrorGridsPanel::Layout(const AreaColumn& column) {
  const int left = column.left;
  const int width = column.width;
  const int label_height = LineHeight(records_label_, kLabelHeightTwips);
  const int caption = LineHeight(records_caption_, kCaptionHeightTwips);
  int top = Twips(120);
  records_label_->setGeometry(left, top, width, label_height);
  top += label_height + Twips(60);
  const int bottom = column.height - Twips(kAreaMarginTwips);
  const int crit_top = std::max(top + Twips(kGridsLeastTwips),
                                bottom - std::max(Twips(kCritBoxTwips), CritTextHeight(width)));
  crit_text_->setGeometry(left, crit_top, width,
                          std::max(Twips(kCritBoxTwips) / 2, bottom - crit_top));
  crit_label_->setGeometry(left, crit_top - label_height - Twips(30), width, label_height);
  const int middle = crit_label_->y() - Twips(120) - top;
  const int records = std::max(caption * 3, static_cast<int>((middle - label_height) * 0.42));
  records_caption_->setGeometry(left, top, width, caption);
  records_grid_->setGeometry(left, top + caption, width, records - caption);
  top += records + Twips(60);
  findings_label_->setGeometry(left, top, width, label_height);
  top += label_height + Twips(30);
  const int findings = std::max(caption * 3, crit_label_->y() - Twips(120) - top);
  findings_caption_->setGeometry(left, top, width, caption);
  findings_grid_->setGeometry(left, top + caption, width, findings - caption);
  if (records_grid_->model() != nullptr) records_grid_->FitColumns(true);
  if (findings_grid_->model() != nullptr) findings_grid_->FitColumns(false);
}

int ErrorGridsPanel::CritTextHeight(int width) const {
  // The box's frame, the document's margins and its lines as the box wraps
  // them.
  const int frame = 2 * crit_text_->frameWidth();
  const int margin = 2 * static_cast<int>(std::ceil(crit_text_->document()->documentMargin()));
  // Wrapped as narrow as with the scroll bar shown, which the box may have
  // had when it last laid its text out.
  const int bar = crit_text_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, crit_text_);
  const qreal line_width = std::max(1, width - frame - margin - bar);
  QTextOption wrapping;
  wrapping.setWrapMode(crit_text_->wordWrapMode());
  int lines = 0;
  for (const QString& paragraph : crit_text_->toPlainText().split('\n')) {
    QTextLayout layout(paragraph, crit_text_->font());
    layout.setTextOption(wrapping);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(line_width);
      ++lines;
    }
    layout.endLayout();
  }
  return std::max(1, lines) * crit_text_->fontMetrics().lineSpacing() + frame + margin + 1;
}

void ErrorGridsPanel::Fill(GridResults& results, const std::string& results_path, int64_t tested) {
  results_ = &results;
  RecordGridModel* records =
      RecordGridModel::Open(results_path, RecordGridRows::Kind::kWithErrors, records_grid_);
  records_grid_->ReplaceModel(records);
  const int64_t with_errors = records != nullptr ? records->rows().size() : 0;
  records_label_->setText(ToQString(RecordsLabel(tested, with_errors)));
  records_grid_->setAccessibleDescription(records_label_->text());

  // The findings of the first record.
  const int64_t first = records != nullptr ? records->rows().RecNumOf(0) : 0;
  if (first != 0) {
    findings_grid_->ReplaceModel(new FindingsGridModel(results.FindingsOf(first), findings_grid_));
    findings_label_->setText(ToQString(ErrorsLabelOnOpen(first)));
    findings_grid_->setAccessibleDescription(findings_label_->text());
  } else {
    findings_grid_->ReplaceModel(nullptr);
  }

  // The critical finding, when the last finding is one.
  crit_error_text_ = results.CritErrorText();
  crit_text_->setPlainText(crit_error_text_.empty() ? QString(kCritErrorNotApplicable)
                                                    : ToQString(crit_error_text_));
  // Dark red, where it reads on the desktop's colours; else its text colour.
  QPalette colours = crit_text_->palette();
  colours.setColor(QPalette::Text,
                   crit_error_text_.empty()
                       ? area_->palette().color(QPalette::Text)
                       : Readable(QColor(0x9c, 0x1c, 0x1c), area_->palette().color(QPalette::Base),
                                  area_->palette().color(QPalette::Text)));
  crit_text_->setPalette(colours);
}

void ErrorGridsPanel::SelectFirstRecord() {
  auto* records = qobject_cast<RecordGridModel*>(records_grid_->model());
  if (records != nullptr && records->rowCount() > 0)
    records_grid_->setCurrentIndex(records->index(0, 0));
  if (records_grid_->selectionModel() != nullptr)
    connect(records_grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { RecordsRowChanged(current.row()); });
}

void ErrorGridsPanel::RecordsRowChanged(int row) {
  auto* records = qobject_cast<RecordGridModel*>(records_grid_->model());
  if (records == nullptr || results_ == nullptr || row < 0) return;
  // The record the row stands for, even when the results file has lost its
  // text (its cells empty): its findings are still the row's.
  const int64_t rec_num = records->rows().RecNumOf(row);
  if (rec_num == 0 || (replaced_ && replaced_())) return;
  findings_grid_->ReplaceModel(
      new FindingsGridModel(results_->FindingsOf(rec_num), findings_grid_));
  findings_grid_->FitColumns(false);
  findings_label_->setText(ToQString(ErrorsLabelOnRowChange(rec_num)));
  findings_grid_->setAccessibleDescription(findings_label_->text());
}

void ErrorGridsPanel::TakeFocus() {
  if (crit_error_text_.empty()) {
    records_grid_->setFocus();
    return;
  }
  crit_text_->setFocus();
  SelectCritText();
}

void ErrorGridsPanel::Show() {
  for (QWidget* w : std::initializer_list<QWidget*>{records_label_, findings_label_, crit_label_,
                                                    crit_text_, records_caption_, records_grid_,
                                                    findings_caption_, findings_grid_})
    w->show();
}

void ErrorGridsPanel::Hide() {
  for (QWidget* w : std::initializer_list<QWidget*>{records_label_, findings_label_, crit_label_,
                                                    crit_text_, records_grid_, findings_grid_,
                                                    records_caption_, findings_caption_})
    w->hide();
}

void ErrorGridsPanel::Clear() {
  records_grid_->ReplaceModel(nullptr);
  findings_grid_->ReplaceModel(nullptr);
  results_ = nullptr;
}

void ErrorGridsPanel::SelectCritText() {
  // The whole sentence is selected: caret at the end, selection back to the
  // start.
  QTextCursor cursor = crit_text_->textCursor();
  cursor.movePosition(QTextCursor::End);
  cursor.movePosition(QTextCursor::Start, QTextCursor::KeepAnchor);
  crit_text_->setTextCursor(cursor);
}

bool ErrorGridsPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == crit_text_ && event->type() == QEvent::FocusIn) SelectCritText();
  return QObject::eventFilter(watched, event);
}

}  // namespace lintaro
