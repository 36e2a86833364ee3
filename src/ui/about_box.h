// The about box: product name and version, an icon and OK. Modal, centred.
#ifndef LINTARO_UI_ABOUT_BOX_H_
#define LINTARO_UI_ABOUT_BOX_H_

#include <QDialog>

namespace lintaro {

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace lintaro

#endif  // LINTARO_UI_ABOUT_BOX_H_
