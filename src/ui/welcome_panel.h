// The welcome of the main window: the logo (imgWagemark), the welcome
// sentence (lblWelcome) and the disclaimer (txtDisclosure) in its box
// (Shape1). Its widgets are children of the window's shared area, beside
// the other parts' widgets.
#ifndef LINTARO_UI_WELCOME_PANEL_H_
#define LINTARO_UI_WELCOME_PANEL_H_

#include "ui/window_metrics.h"

class QFrame;
class QLabel;
class QPlainTextEdit;

namespace lintaro {

class WelcomePanel {
 public:
  explicit WelcomePanel(QWidget* area);

  // The welcome sentence and the disclaimer, the caret after the
  // disclaimer's first line break.
  void LoadTexts();
  // Draws the logo at the area's size and pixel ratio (once shown).
  void DrawLogo();
  // The logo and the sentence at the top of column, the disclaimer's box
  // below them down to the area's margin (1,200 to 2,880 twips high).
  void Layout(const AreaColumn& column);
  // Where the logo and the heading end (the heading may be taller than the
  // logo in a large desktop font); the progress line goes below.
  int heading_bottom() const { return heading_bottom_; }

  void ShowGreeting(bool show);  // the logo and the sentence
  void HideDisclaimer();         // the box and its text

 private:
  int Twips(int twips) const { return TwipsToPixels(area_, twips); }
  int heading_bottom_ = 0;

  QWidget* area_;
  QLabel* logo_ = nullptr;
  QLabel* greeting_ = nullptr;
  QFrame* disclaimer_box_ = nullptr;
  QPlainTextEdit* disclaimer_ = nullptr;
};

}  // namespace lintaro

#endif  // LINTARO_UI_WELCOME_PANEL_H_
