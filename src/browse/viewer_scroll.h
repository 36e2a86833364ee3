// The record viewer's rows on the screen, as logic without widgets: how
// many rows fit, the scroll bar's range and height, which rows are visible
// and where, the Tab and Shift+Tab steps between rows, and the width of the
// value column. The window only places its boxes as this says.
//
// Heights and positions are in the window's units (pixels); row 0 is the
// top row of the record, the scroll position is the number of the top
// visible row.
#ifndef LINTARO_BROWSE_VIEWER_SCROLL_H_
#define LINTARO_BROWSE_VIEWER_SCROLL_H_

#include <optional>

namespace lintaro {

enum class WindowShow { kNormal, kMaximised, kMinimised };

// Space kept below the rows: 740 twips in a normal window and 840 when
// maximised, at 15 twips to the pixel.
inline constexpr int kRowsBottomMarginNormal = 49;
inline constexpr int kRowsBottomMarginMaximised = 56;

// The height the scroll bar (and the rows beside it) may take: the
// window's height less the scroll bar's top less the bottom margin of the
// window's state. Nothing while minimised (the layout stays as it was).
std::optional<int> RowsAreaHeight(int window_height, int scroll_top, WindowShow show);

class ViewerScroll {
 public:
  // Rows that fit in area_height: whole rows of row_height, at least one.
  // Keeps the scroll position within the new range.
  void Layout(int area_height, int row_height);
  // The record being shown has `count` rows (at least one); back to the top.
  void SetRowCount(int count);
  // UnloadLabels: row 0 alone remains, at the top.
  void Unload() { SetRowCount(1); }

  int row_count() const { return row_count_; }
  int row_height() const { return row_height_; }
  int rows_shown() const { return rows_shown_; }
  // The scroll bar's height: exactly the rows shown.
  int scroll_bar_height() const { return rows_shown_ * row_height_; }
  // Shown only when the record has more rows than fit.
  bool scroll_bar_visible() const { return row_count_ > rows_shown_; }
  // Range 0 to scroll_max(): at the maximum the last row is at the bottom.
  int scroll_max() const;
  int position() const { return position_; }

  // The scroll bar moved to v (clamped to the range).
  void ScrollTo(int v);
  // Rows above the position and below the window are hidden.
  bool RowVisible(int row) const;
  // The top of a visible row, from the scroll bar's top.
  int RowTop(int row) const { return (row - position_) * row_height_; }

  // A box of a row: the name box (Text1) or the value box (Text2).
  enum class Box { kName, kValue };
  struct Focus {
    int row;
    Box box;
    friend bool operator==(const Focus&, const Focus&) = default;
  };
  // Tab (shift false) or Shift+Tab (shift true) pressed in a box of a row.
  // Scrolls as the keyboard rules say and returns the box that gets the
  // focus, or nothing when the focus leaves the rows (Tab from the last
  // value box, Shift+Tab from name box 0): the window's own order goes on.
  //  - Tab in a name box: its value box.
  //  - Tab in value box i: when row i - 1 is visible (or row i + 1 is not),
  //    i is not the last row and the position is below its maximum, scroll
  //    down one row; the focus goes to name box i + 1.
  //  - Shift+Tab in value box i: its name box.
  //  - Shift+Tab in name box i > 0: when the position is above 0, scroll up
  //    one row; the focus goes to value box i - 1.
  std::optional<Focus> Tab(Focus from, bool shift);

 private:
  int row_count_ = 1;
  int row_height_ = 1;
  int rows_shown_ = 1;
  int position_ = 0;
};

// Width of every value box: from the right edge of name box 0 to the
// scroll bar's left edge when it is shown, or to its right edge when it is
// hidden. Never negative.
int ValueBoxWidth(int name_box_right, int scroll_bar_left, int scroll_bar_width,
                  bool scroll_bar_visible);

}  // namespace lintaro

#endif  // LINTARO_BROWSE_VIEWER_SCROLL_H_
