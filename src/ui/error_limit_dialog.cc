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

  txtMessage_ = new QPlainTextEdit(this);
  txtMessage_->setObjectName("txtMessage");
  txtMessage_->setReadOnly(true);
  txtMessage_->setFocusPolicy(Qt::NoFocus);
  txtMessage_->setPlainText(ToQString(ToLineFeeds(kSetErrorLimitMessage)));
  txtMessage_->setFixedHeight(txtMessage_->fontMetrics().lineSpacing() * 3 + 10);
  txtMessage_->setMinimumWidth(
      txtMessage_->fontMetrics().horizontalAdvance("1 through 25,000 before testing is stopped") +
      24);

  txtErrorCount_ = new QLineEdit(this);
  txtErrorCount_->setObjectName("txtErrorCount");
  txtErrorCount_->installEventFilter(this);
  // Pasted text is held to the same digits as typed text.
  txtErrorCount_->setValidator(
      new QRegularExpressionValidator(QRegularExpression("[0-9]*"), txtErrorCount_));

  // OK is the default button, whichever button had the focus when the
  // dialog was last closed: Enter in the entry always confirms it.
  cmdOK_ = new QPushButton("OK", this);
  cmdOK_->setObjectName("cmdOK");
  cmdOK_->setAutoDefault(false);
  cmdOK_->setDefault(true);
  cmdCancel_ = new QPushButton("Cancel", this);
  cmdCancel_->setObjectName("cmdCancel");
  cmdCancel_->setAutoDefault(false);
  connect(cmdOK_, &QPushButton::clicked, this, &ErrorLimitDialog::Accept);
  connect(cmdCancel_, &QPushButton::clicked, this, &ErrorLimitDialog::close);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOK_);
  buttons->addWidget(cmdCancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(txtMessage_);
  layout->addWidget(txtErrorCount_);
  layout->addLayout(buttons);
  setFixedSize(sizeHint());
}

void ErrorLimitDialog::Open(int current_limit) {
  txtErrorCount_->setText(QString::number(current_limit));
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  cmdOK_->setDefault(true);
  show();
  FocusEntry();
}

void ErrorLimitDialog::FocusEntry() {
  raise();
  activateWindow();
  txtErrorCount_->setFocus(Qt::OtherFocusReason);
  txtErrorCount_->selectAll();
}

void ErrorLimitDialog::Accept() {
  const std::optional<int> limit = ParseErrorLimitEntry(ToStdString(txtErrorCount_->text()));
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
  window_.StartTesting();
}

bool ErrorLimitDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtErrorCount_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (!LimitKeyAccepted(key->key(), key->text())) return true;  // discarded
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace lintaro
