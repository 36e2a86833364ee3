#include "ui/font_dialog.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <cmath>

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

  lstFont_ = new QListWidget(this);
  lstFont_->setObjectName("lstFont");
  lstFont_->addItems(FontChoices(current.family()));
  lstSize_ = new QListWidget(this);
  lstSize_->setObjectName("lstSize");
  for (int size = kSmallestSize; size <= kLargestSize; ++size)
    lstSize_->addItem(QString::number(size));
  lblSample_ = new QLabel("AaBbYyZz 0123456789", this);
  lblSample_->setObjectName("lblSample");
  lblSample_->setAlignment(Qt::AlignCenter);
  lblSample_->setMinimumHeight(lblSample_->fontMetrics().height() * 3);
  lblSample_->setFrameShape(QFrame::StyledPanel);

  auto* font_label = new QLabel("&Font:", this);
  font_label->setBuddy(lstFont_);
  auto* size_label = new QLabel("&Size:", this);
  size_label->setBuddy(lstSize_);
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("cmdOK");
  ok->setAutoDefault(false);
  ok->setDefault(true);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("cmdCancel");
  cancel->setAutoDefault(false);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(lstFont_, &QListWidget::currentRowChanged, this, [this] { ShowSample(); });
  connect(lstSize_, &QListWidget::currentRowChanged, this, [this] { ShowSample(); });
  connect(lstFont_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  connect(lstSize_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

  auto* grid = new QGridLayout(this);
  grid->addWidget(font_label, 0, 0);
  grid->addWidget(size_label, 0, 1);
  grid->addWidget(lstFont_, 1, 0);
  grid->addWidget(lstSize_, 1, 1);
  grid->addWidget(lblSample_, 2, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  grid->addLayout(buttons, 3, 0, 1, 2);
  grid->setColumnStretch(0, 3);
  grid->setColumnStretch(1, 1);
  lstSize_->setMaximumWidth(lstSize_->fontMetrics().horizontalAdvance("00000") * 3);
  resize(sizeHint().expandedTo(
      QSize(fontMetrics().averageCharWidth() * 50, fontMetrics().height() * 20)));

  const double points = current.pointSizeF() > 0 ? current.pointSizeF() : current.pointSize();
  const int size = std::clamp(static_cast<int>(std::lround(points)), kSmallestSize, kLargestSize);
  SelectItem(lstFont_, current.family());
  SelectItem(lstSize_, QString::number(size));
  lstFont_->setFocus();
}

QFont ReportFontDialog::selectedFont() const {
  QFont font(lstFont_->currentItem() != nullptr ? lstFont_->currentItem()->text() : QString());
  const int row = std::max(0, lstSize_->currentRow());
  font.setPointSize(kSmallestSize + row);
  return font;
}

void ReportFontDialog::ShowSample() { lblSample_->setFont(selectedFont()); }

std::optional<QFont> ReportFontDialog::Choose(const QFont& current, QWidget* parent) {
  ReportFontDialog dialog(current, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.selectedFont();
}

}  // namespace lintaro
