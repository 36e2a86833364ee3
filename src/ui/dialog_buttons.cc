#include "ui/dialog_buttons.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace lintaro {

OkCancelButtons MakeOkCancelButtons(QWidget* dialog, EnterPresses enter, const char* ok_caption,
                                    const char* cancel_caption) {
  OkCancelButtons buttons{new QPushButton(ok_caption, dialog),
                          new QPushButton(cancel_caption, dialog), new QHBoxLayout};
  buttons.ok->setObjectName("cmdOK");
  buttons.cancel->setObjectName("cmdCancel");
  if (enter == EnterPresses::kOk) {
    buttons.ok->setAutoDefault(false);
    buttons.cancel->setAutoDefault(false);
  }
  buttons.ok->setDefault(true);
  buttons.row->addStretch();
  buttons.row->addWidget(buttons.ok);
  buttons.row->addWidget(buttons.cancel);
  return buttons;
}

}  // namespace lintaro
