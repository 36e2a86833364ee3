#include "ui/help_window.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

namespace lintaro {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("frmHelp");
  setWindowTitle("Lintaro Help");
  browser_ = new QTextBrowser(this);
  browser_->setObjectName("txtHelp");
  browser_->setAccessibleName("Help text");
  // Escape closes the help as it closes a dialog.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &QWidget::close);
  browser_->setOpenExternalLinks(false);

  // Each command has an access key of its own.
  auto* contents = new QPushButton("Co&ntents", this);
  contents->setObjectName("cmdContents");
  auto* back = new QPushButton("&Back", this);
  back->setObjectName("cmdBack");
  auto* close = new QPushButton("&Close", this);
  close->setObjectName("cmdClose");
  connect(contents, &QPushButton::clicked, this, [this] { browser_->scrollToAnchor("contents"); });
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(close, &QPushButton::clicked, this, &QWidget::close);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(contents);
  buttons->addWidget(back);
  buttons->addStretch();
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(browser_);
  resize(640, 560);
}

void HelpWindow::OpenContents(const QString& help_file) {
  browser_->setSource(QUrl::fromLocalFile(help_file), QTextDocument::HtmlResource);
  browser_->scrollToAnchor("contents");
  // The first time, over the middle of the main window (kept on its screen).
  if (!placed_ && parentWidget() != nullptr) {
    placed_ = true;
    const QRect over = parentWidget()->window()->frameGeometry();
    QRect place(QPoint(0, 0), size());
    place.moveCenter(over.center());
    if (const QScreen* screen = parentWidget()->screen()) {
      const QRect area = screen->availableGeometry();
      place.moveLeft(std::clamp(place.left(), area.left(),
                                std::max(area.left(), area.right() - place.width())));
      place.moveTop(std::clamp(place.top(), area.top(),
                               std::max(area.top(), area.bottom() - place.height())));
    }
    move(place.topLeft());
  }
  show();
  raise();
  activateWindow();
}

}  // namespace lintaro
