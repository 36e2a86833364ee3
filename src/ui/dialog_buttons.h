// The OK and Cancel buttons the dialogs share: named cmdOK and cmdCancel,
// at the right of a row of their own below the dialog's contents.
#ifndef LINTARO_UI_DIALOG_BUTTONS_H_
#define LINTARO_UI_DIALOG_BUTTONS_H_

class QHBoxLayout;
class QPushButton;
class QWidget;

namespace lintaro {

// Which button Enter presses.
enum class EnterPresses {
  kOk,             // OK, whichever button has the focus
  kFocusedButton,  // the button with the focus, else OK
};

struct OkCancelButtons {
  QPushButton* ok;
  QPushButton* cancel;
  QHBoxLayout* row;  // for the dialog's layout to take
};

// The buttons, children of dialog, with their captions (an & marks an
// access key).
OkCancelButtons MakeOkCancelButtons(QWidget* dialog, EnterPresses enter,
                                    const char* ok_caption = "OK",
                                    const char* cancel_caption = "Cancel");

}  // namespace lintaro

#endif  // LINTARO_UI_DIALOG_BUTTONS_H_
