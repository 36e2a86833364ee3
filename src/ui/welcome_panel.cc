#include "ui/welcome_panel.h"

#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>

#include "browse/window_texts.h"
#include "platform/platform.h"
#include "ui/artwork.h"
#include "ui/palette_colours.h"
#include "ui/qt_platform.h"

namespace lintaro {
namespace {

// The heading's and the disclaimer frame's colour on a light desktop.
const QColor kHeadingBlue(0x16, 0x33, 0x5c);

}  // namespace

WelcomePanel::WelcomePanel(QWidget* area) : area_(area) {
  logo_ = new QLabel(area);
  logo_->setObjectName("imgWagemark");
  logo_->setAlignment(Qt::AlignCenter);

  greeting_ = new QLabel(area);
  greeting_->setObjectName("lblWelcome");
  QFont welcome = greeting_->font();
  welcome.setPointSizeF(welcome.pointSizeF() * 1.6);
  welcome.setBold(true);
  greeting_->setFont(welcome);
  // Dark blue where it reads on the desktop's colours, else their text's.
  QPalette greeting = greeting_->palette();
  greeting.setColor(QPalette::WindowText, Readable(kHeadingBlue, greeting.color(QPalette::Window),
                                                   greeting.color(QPalette::WindowText)));
  greeting_->setPalette(greeting);
  greeting_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  disclaimer_box_ = new QFrame(area);
  disclaimer_box_->setObjectName("Shape1");
  disclaimer_box_->setFrameShape(QFrame::Box);
  disclaimer_box_->setLineWidth(2);
  disclaimer_box_->setStyleSheet(
      QString("#Shape1 { border: 2px solid %1; }")
          .arg(Readable(kHeadingBlue, area->palette().color(QPalette::Window),
                        area->palette().color(QPalette::WindowText))
                   .name()));

  disclaimer_ = new QPlainTextEdit(area);
  disclaimer_->setObjectName("txtDisclosure");
  disclaimer_->setReadOnly(true);
  disclaimer_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  disclaimer_->setFrameShape(QFrame::NoFrame);
  disclaimer_->setAccessibleName("Disclaimer");
  logo_->setAccessibleName("Lintaro logo");
}

void WelcomePanel::LoadTexts() {
  greeting_->setText(ToQString(ToLineFeeds(WelcomeText())));
  disclaimer_->setPlainText(ToQString(ToLineFeeds(DisclaimerText())));
  QTextCursor caret = disclaimer_->textCursor();
  caret.setPosition(1);
  disclaimer_->setTextCursor(caret);
}

void WelcomePanel::DrawLogo() {
  logo_->setPixmap(::lintaro::DrawLogo(Twips(kLogoSideTwips), area_->devicePixelRatioF()));
}

void WelcomePanel::Layout(const AreaColumn& column) {
  const int margin = Twips(kAreaMarginTwips);
  const int logo = Twips(kLogoSideTwips);
  logo_->setGeometry(column.left, margin, logo, logo);
  const int greeting_left = column.left + logo + margin;
  const int heading = std::max(logo, greeting_->sizeHint().height());
  greeting_->setGeometry(greeting_left, margin,
                         std::max(0, column.left + column.width - greeting_left), heading);
  heading_bottom_ = margin + heading;
  const int top = heading_bottom_ + margin;
  const int height = std::clamp(column.height - top - margin, Twips(1200), Twips(2880));
  disclaimer_box_->setGeometry(column.left, top, column.width, height);
  const int inset = Twips(90);
  disclaimer_->setGeometry(column.left + inset, top + inset, column.width - 2 * inset,
                           height - 2 * inset);
}

void WelcomePanel::ShowGreeting(bool show) {
  logo_->setVisible(show);
  greeting_->setVisible(show);
}

void WelcomePanel::HideDisclaimer() {
  disclaimer_box_->hide();
  disclaimer_->hide();
}

}  // namespace lintaro
