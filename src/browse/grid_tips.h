// Tool tips over the cells of the error-detail grid, as logic without
// widgets: the grid's columns are narrower than most messages, so a cell's
// full text pops up when the pointer rests on it.
//
// The window drives GridTipTimer: PointerMoved from the grid's pointer-move
// event, Tick from a 10 ms timer with the pointer's screen position,
// FocusLost when the tip window loses the focus. Each returns what the tip
// window should do now.
#ifndef LINTARO_BROWSE_GRID_TIPS_H_
#define LINTARO_BROWSE_GRID_TIPS_H_

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace lintaro {

// text with every "&" doubled, so that a label shows it literally instead
// of underlining the next letter.
std::string DoubleAmpersands(std::string_view text);

struct ScreenPoint {
  double x = 0;
  double y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// Top-left corner of a tip tip_width wide for the pointer at `pointer`:
// below the mouse cursor and half its width to the right, moved left so
// that it stays within the screen width (and never left of 0).
ScreenPoint PlaceTip(ScreenPoint pointer, int tip_width, int cursor_width, int cursor_height,
                     int screen_width);

enum class TipAction {
  kNone,   // leave the tip window as it is
  kHide,   // hide it
  kPlace,  // hide it, give it text() and place it at the pointer; not shown yet
  kShow,   // show it (not modal) where it was placed
};

class GridTipTimer {
 public:
  static constexpr int kIntervalMs = 10;  // the timer's interval
  static constexpr int kShowTick = 15;    // about 150 ms after the request
  static constexpr int kNoTip = 200;      // tick count that marks no pending tip
  static constexpr int kWrapAbove = 10000;
  static constexpr double kRestPixels = 2;  // the pointer rests within 2 pixels

  // A pointer move over the grid.
  struct Move {
    double x = 0, y = 0;   // in the grid's coordinates
    ScreenPoint screen;    // the pointer on the screen
    int row = -1;          // grid row under the pointer; -1 for the heading or none
    int column = -1;       // grid column under the pointer; -1 for none
    int visible_rows = 0;  // rows the grid shows
    bool tips_allowed = true;
    // The active window is the main window or the tip window (not a dialog).
    bool own_window_active = true;
  };

  // GridCellTip: a move to the same position as the last one changes
  // nothing. Otherwise the tip is hidden and no tip is pending; over a cell
  // of a visible row, with tips allowed and no other window active, a tip
  // of the cell's text (read through cell_text) is requested at the
  // pointer: the count starts again from 0 and the result is kPlace.
  TipAction PointerMoved(const Move& move, const std::function<std::string()>& cell_text);

  // One timer tick with the pointer's screen position. At the 15th tick
  // after a request the tip is shown when it has text, the pointer has
  // rested within 2 pixels of where it was requested and the main window or
  // the tip window is still the active one (a dialog opened during the wait
  // keeps it), else hidden; at any other tick a shown tip is hidden once the
  // pointer moves away.
  TipAction Tick(ScreenPoint pointer, bool own_window_active);

  // The tip window lost the focus: it hides itself.
  TipAction FocusLost();

  bool visible() const { return visible_; }
  // The label's text: the cell text with ampersands doubled.
  const std::string& text() const { return text_; }
  // The pointer's screen position when the tip was requested.
  ScreenPoint anchor() const { return anchor_; }
  int ticks() const { return ticks_; }

 private:
  bool Resting(ScreenPoint pointer) const;

  int ticks_ = kNoTip;
  bool visible_ = false;
  std::string text_;
  ScreenPoint anchor_;
  std::optional<ScreenPoint> last_move_;  // last grid position seen
};

}  // namespace lintaro

#endif  // LINTARO_BROWSE_GRID_TIPS_H_
