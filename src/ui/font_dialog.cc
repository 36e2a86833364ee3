#include "ui/font_dialog.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "ui/dialog_buttons.h"

namespace lintaro {
namespace {

// Fonts a printer can draw at any size and that have the Western
// characters of the report; the report's own font joins them when it is
// not installed (the desktop then draws a like one in its place).
QStringList FontChoices(const QString& current) {
  QStringList families;
  for (const QString& family : QFontDatabase::families(QFontDatabase::Latin))
    if (QFontDatabase::isScalable(family) && !QFontDatabase::isPrivateFamily(family))
      families << family;
  if (!current.isEmpty() && !families.contains(current, Qt::CaseInsensitive)) families << current;
  families.sort(Qt::CaseInsensitive);
  return families;
}

void SelectItem(QListWidget* list, const QString& text) {
  const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchFixedString);
  if (found.isEmpty()) return;
  list->setCurrentItem(found.first());
  list->scrollToItem(found.first(), QAbstractItemView::PositionAtCenter);
}

}  // namespace

ReportFontDialog::ReportFontDialog(const QFont& current, QWidget* parent) : QDialog(parent) {
  setObjectName("frmFont");
  setWindowTitle("Select Print Font");
  setModal(true);

  font_list_ = new QListWidget(this);
  font_list_->setObjectName("lstFont");
  font_list_->addItems(FontChoices(current.family()));
  size_list_ = new QListWidget(this);
  size_list_->setObjectName("lstSize");
  for (int size = kSmallestSize; size <= kLargestSize; ++size)
    size_list_->addItem(QString::number(size));
  sample_label_ = new QLabel("AaBbYyZz 0123456789", this);
  sample_label_->setObjectName("lblSample");
  sample_label_->setAlignment(Qt::AlignCenter);
  sample_label_->setMinimumHeight(sample_label_->fontMetrics().height() * 3);
  sample_label_->setFrameShape(QFrame::StyledPanel);

  auto* font_label = new QLabel("&Font:", this);
  font_label->setBuddy(font_list_);
  auto* size_label = new QLabel("&Size:", this);
  size_label->setBuddy(size_list_);
  const OkCancelButtons buttons = MakeOkCancelButtons(this, EnterPresses::kOk);
  connect(buttons.ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(font_list_, &QListWidget::currentRowChanged, this, [this] { ShowSample(); });
  connect(size_list_, &QListWidget::currentRowChanged, this, [this] { ShowSample(); });
  connect(font_list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  connect(size_list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

  auto* grid = new QGridLayout(this);
  grid->addWidget(font_label, 0, 0);
  grid->addWidget(size_label, 0, 1);
  grid->addWidget(font_list_, 1, 0);
  grid->addWidget(size_list_, 1, 1);
  grid->addWidget(sample_label_, 2, 0, 1, 2);
  grid->addLayout(buttons.row, 3, 0, 1, 2);
  grid->setColumnStretch(0, 3);
  grid->setColumnStretch(1, 1);
  size_list_->setMaximumWidth(size_list_->fontMetrics().horizontalAdvance("00000") * 3);
  resize(sizeHint().expandedTo(
      QSize(fontMetrics().averageCharWidth() * 50, fontMetrics().height() * 20)));

  const double points = current.pointSizeF() > 0 ? current.pointSizeF() : current.pointSize();
  const int size = std::clamp(static_cast<int>(std::lround(points)), kSmallestSize, kLargestSize);
  SelectItem(font_list_, current.family());
  SelectItem(size_list_, QString::number(size));
  font_list_->setFocus();
}

QFont ReportFontDialog::selected_font() const {
  QFont font(font_list_->currentItem() != nullptr ? font_list_->currentItem()->text() : QString());
  const int row = std::max(0, size_list_->currentRow());
  font.setPointSize(kSmallestSize + row);
  return font;
}

void ReportFontDialog::ShowSample() { sample_label_->setFont(selected_font()); }

std::optional<QFont> ReportFontDialog::Choose(const QFont& current, QWidget* parent) {
  ReportFontDialog dialog(current, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.selected_font();
}

}  // namespace lintaro
