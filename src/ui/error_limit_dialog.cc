#include "ui/error_limit_dialog.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "browse/window_texts.h"
#include "core/error_limit.h"
#include "ui/dialog_buttons.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"

namespace lintaro {

bool LimitKeyAccepted(int key, const QString& text) {
  if (key == Qt::Key_Backspace) return true;
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      return true;
    default:
      break;
  }
  if (text.isEmpty()) return true;  // modifiers and the like type nothing
  for (QChar c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

ErrorLimitDialog::ErrorLimitDialog(MainWindow& window, Prompts& prompts)
    : QDialog(&window), window_(window), prompts_(prompts) {
  setObjectName("frmSetErrors");
  setWindowTitle(kSetErrorLimitCaption);
  setModal(false);

  message_box_ = new QPlainTextEdit(this);
  message_box_->setObjectName("txtMessage");
  message_box_->setReadOnly(true);
  message_box_->setFocusPolicy(Qt::NoFocus);
  message_box_->setPlainText(ToQString(ToLineFeeds(kSetErrorLimitMessage)));
  message_box_->setFixedHeight(message_box_->fontMetrics().lineSpacing() * 3 + 10);
  message_box_->setMinimumWidth(
      message_box_->fontMetrics().horizontalAdvance("1 through 25,000 before testing is stopped") +
      24);

  limit_entry_ = new QLineEdit(this);
  limit_entry_->setObjectName("txtErrorCount");
  limit_entry_->setAccessibleName("Errors that stop a check");
  limit_entry_->setAccessibleDescription(message_box_->toPlainText());
  limit_entry_->installEventFilter(this);
  // Pasted text is held to the same digits as typed text.
  limit_entry_->setValidator(
      new QRegularExpressionValidator(QRegularExpression("[0-9]*"), limit_entry_));

  // OK is the default button, whichever button had the focus when the
  // dialog was last closed: Enter in the entry always confirms it.
  const OkCancelButtons buttons = MakeOkCancelButtons(this, EnterPresses::kOk);
  ok_button_ = buttons.ok;
  cancel_button_ = buttons.cancel;
  connect(ok_button_, &QPushButton::clicked, this, &ErrorLimitDialog::AcceptLimit);
  connect(cancel_button_, &QPushButton::clicked, this, &ErrorLimitDialog::close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(message_box_);
  layout->addWidget(limit_entry_);
  layout->addLayout(buttons.row);
  setFixedSize(sizeHint());
}

void ErrorLimitDialog::Open(int current_limit) {
  limit_entry_->setText(QString::number(current_limit));
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  ok_button_->setDefault(true);
  show();
  FocusEntry();
}

void ErrorLimitDialog::FocusEntry() {
  raise();
  activateWindow();
  limit_entry_->setFocus(Qt::OtherFocusReason);
  limit_entry_->selectAll();
}

void ErrorLimitDialog::AcceptLimit() {
  const std::optional<int> limit = ParseErrorLimitEntry(ToStdString(limit_entry_->text()));
  if (!limit) {
    prompts_.Message(kErrorLimitTitle, kErrorLimitRefusal, Icon::kExclamation, Buttons::kOk);
    // The message box hands the focus to its own parent, the main window:
    // it comes back to the entry, its text selected to be typed over (once
    // more after the window system has settled the activation).
    FocusEntry();
    QTimer::singleShot(0, this, [this] {
      if (isVisible()) FocusEntry();
    });
    return;
  }
  window_.set_max_errors(*limit);
  close();
  // No second check starts while one runs: the one under way takes the
  // new limit instead, and the user is told so.
  if (window_.running()) {
    prompts_.Message(kErrorLimitTitle, ErrorLimitDuringRunText(*limit), Icon::kInformation,
                     Buttons::kOk);
    return;
  }
  window_.StartTesting();
}

bool ErrorLimitDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == limit_entry_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (!LimitKeyAccepted(key->key(), key->text())) return true;  // discarded
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace lintaro
