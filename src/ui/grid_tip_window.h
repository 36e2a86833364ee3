// Tool tips over the cells of a result grid: the borderless tip window
// fToolTips with its label TipText, and the 10 ms timer Timer1 that shows it
// once the pointer has rested on a cell, as GridTipTimer decides.
//
// The tip window is created on first use and stays, hidden between tips.
// The timer runs while a tip is pending or shown; once a tip is hidden after
// its 15th tick nothing can show it before the next pointer move, so the
// timer rests until then. The tip hides whenever the focus moves (the tip
// itself never takes it), a key is pressed or a button clicked in the grid,
// the grid shows other rows or is hidden (the view changed).
#ifndef LINTARO_UI_GRID_TIP_WINDOW_H_
#define LINTARO_UI_GRID_TIP_WINDOW_H_

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "browse/grid_tips.h"
#include "ui/screen_metrics.h"

class QTableView;
class QTimer;

namespace lintaro {

// TipText: shows its text with "&&" as one ampersand (the text is given
// with its ampersands doubled), on the tool-tip colours. A text wider than
// the wrap width is broken into lines at spaces, so that a long message
// stays readable on the screen.
class TipLabel : public QWidget {
  Q_OBJECT

 public:
  explicit TipLabel(QWidget* parent = nullptr);
  void set_text(const QString& text);
  const QString& text() const { return text_; }
  void set_wrap_width(int pixels);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  int wrap_width_ = 0;  // 0: one line
};

class GridTips : public QObject {
  Q_OBJECT

 public:
  // grid: the grid whose cells get tips; main_window: the window that may
  // be active while a tip is shown; metrics place and wrap the tips.
  GridTips(QTableView* grid, QWidget* main_window, ScreenMetrics metrics);
  ~GridTips() override;

  // GridCellTip for a pointer move to pos (in the grid's viewport), global
  // being the pointer's screen position. over_heading: the pointer is on
  // the heading row.
  void PointerMoved(QPoint pos, QPoint global, bool over_heading = false);
  // One tick of the timer with the pointer's screen position.
  void Tick(QPoint global);
  // The tip's window lost the focus.
  void FocusLost();
  void Close();

  // Null before the first tip was asked for.
  QWidget* tip_window() const { return tip_.data(); }
  TipLabel* tip_text() const { return label_.data(); }
  QTimer* timer() const { return timer_; }
  const GridTipTimer& state() const { return tips_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void EnsureWindow();
  void Apply(TipAction action);
  bool OwnWindowActive() const;
  // Hides a tip that is shown.
  void HideShown();

  QPointer<QTableView> grid_;
  QPointer<QWidget> main_window_;
  ScreenMetrics metrics_;
  QPointer<QWidget> tip_;
  QPointer<TipLabel> label_;
  QTimer* timer_ = nullptr;
  GridTipTimer tips_;
};

}  // namespace lintaro

#endif  // LINTARO_UI_GRID_TIP_WINDOW_H_
