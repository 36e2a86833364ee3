#include "ui/go_to_record_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "browse/result_grids.h"
#include "ui/dialog_buttons.h"
#include "ui/qt_platform.h"

namespace lintaro {

GoToRecordDialog::GoToRecordDialog(int64_t tested, QWidget* parent) : QDialog(parent) {
  setObjectName("frmGoToRecord");
  setWindowTitle(kGoToRecordTitle);
  setModal(true);
  auto* prompt = new QLabel(ToQString(GoToRecordPrompt(tested)), this);
  prompt->setObjectName("lblRecord");
  record_entry_ = new QLineEdit(this);
  record_entry_->setObjectName("txtRecord");
  // A record number: up to ten digits, nothing else.
  record_entry_->setValidator(
      new QRegularExpressionValidator(QRegularExpression("[0-9]{0,10}"), record_entry_));
  prompt->setBuddy(record_entry_);

  const OkCancelButtons buttons = MakeOkCancelButtons(this, EnterPresses::kOk);
  ok_button_ = buttons.ok;
  ok_button_->setEnabled(false);
  connect(ok_button_, &QPushButton::clicked, this, &QDialog::accept);
  connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(record_entry_, &QLineEdit::textChanged, this,
          [this](const QString& text) { ok_button_->setEnabled(!text.isEmpty()); });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt);
  layout->addWidget(record_entry_);
  layout->addLayout(buttons.row);
  setFixedSize(sizeHint().expandedTo(QSize(prompt->sizeHint().width() + 40, 0)));
  record_entry_->setFocus();
}

std::optional<int64_t> GoToRecordDialog::number() const {
  bool ok = false;
  const qlonglong n = record_entry_->text().toLongLong(&ok);
  if (!ok) return std::nullopt;
  return static_cast<int64_t>(n);
}

std::optional<int64_t> GoToRecordDialog::Ask(int64_t tested, const Acceptance& accept,
                                             QWidget* parent) {
  GoToRecordDialog dialog(tested, parent);
  // OK closes the dialog only for a number accepted.
  disconnect(dialog.ok_button_, &QPushButton::clicked, &dialog, &QDialog::accept);
  connect(dialog.ok_button_, &QPushButton::clicked, &dialog, [&dialog, &accept] {
    const std::optional<int64_t> n = dialog.number();
    if (n && accept(*n)) {
      dialog.accept();
      return;
    }
    dialog.record_entry_->setFocus();
    dialog.record_entry_->selectAll();
  });
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.number();
}

}  // namespace lintaro
