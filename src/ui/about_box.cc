#include "ui/about_box.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "browse/window_texts.h"
#include "ui/artwork.h"
#include "ui/qt_platform.h"

namespace lintaro {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName("frmAbout");
  setModal(true);
  setWindowTitle(ToQString(AboutCaption()));

  auto* icon = new QLabel(this);
  icon->setObjectName("picIcon");
  icon->setPixmap(DrawLogo(64, devicePixelRatioF()));
  icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

  auto label = [this](const char* name, const std::string& text) {
    auto* l = new QLabel(ToQString(ToLineFeeds(text)), this);
    l->setObjectName(name);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
  };
  QLabel* name = label("lblName", AboutNameText());
  QFont bold = name->font();
  bold.setBold(true);
  name->setFont(bold);
  QLabel* version = label("lblVersion", AboutVersionText());
  QLabel* revision = label("lblRevision", AboutRevisionText());

  auto* line = new QFrame(this);
  line->setObjectName("linDivider");
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("cmdOK");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* grid = new QGridLayout(this);
  grid->setHorizontalSpacing(18);
  grid->addWidget(icon, 0, 0, 3, 1);
  grid->addWidget(name, 0, 1);
  grid->addWidget(version, 1, 1);
  grid->addWidget(revision, 2, 1);
  grid->addWidget(line, 3, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  grid->addLayout(buttons, 4, 0, 1, 2);
  setMinimumWidth(360);
}

void AboutBox::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

}  // namespace lintaro
