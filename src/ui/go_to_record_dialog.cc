#include "ui/go_to_record_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "browse/result_grids.h"
#include "ui/qt_platform.h"

namespace lintaro {

GoToRecordDialog::GoToRecordDialog(int64_t tested, QWidget* parent) : QDialog(parent) {
  setObjectName("frmGoToRecord");
  setWindowTitle(kGoToRecordTitle);
  setModal(true);
  auto* prompt = new QLabel(ToQString(GoToRecordPrompt(tested)), this);
  prompt->setObjectName("lblRecord");
  txtRecord_ = new QLineEdit(this);
  txtRecord_->setObjectName("txtRecord");
  // A record number: up to ten digits, nothing else.
  txtRecord_->setValidator(
      new QRegularExpressionValidator(QRegularExpression("[0-9]{0,10}"), txtRecord_));
  prompt->setBuddy(txtRecord_);

  cmdOK_ = new QPushButton("OK", this);
  cmdOK_->setObjectName("cmdOK");
  cmdOK_->setAutoDefault(false);
  cmdOK_->setDefault(true);
  cmdOK_->setEnabled(false);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("cmdCancel");
  cancel->setAutoDefault(false);
  connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(txtRecord_, &QLineEdit::textChanged, this,
          [this](const QString& text) { cmdOK_->setEnabled(!text.isEmpty()); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOK_);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt);
  layout->addWidget(txtRecord_);
  layout->addLayout(buttons);
  setFixedSize(sizeHint().expandedTo(QSize(prompt->sizeHint().width() + 40, 0)));
  txtRecord_->setFocus();
}

std::optional<int64_t> GoToRecordDialog::number() const {
  bool ok = false;
  const qlonglong n = txtRecord_->text().toLongLong(&ok);
  if (!ok) return std::nullopt;
  return static_cast<int64_t>(n);
}

std::optional<int64_t> GoToRecordDialog::Ask(int64_t tested, QWidget* parent) {
  GoToRecordDialog dialog(tested, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.number();
}

}  // namespace lintaro
