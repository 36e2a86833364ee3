#include "browse/viewer_scroll.h"

#include <algorithm>

namespace lintaro {

std::optional<int> RowsAreaHeight(int window_height, int scroll_top, WindowShow show) {
  switch (show) {
    case WindowShow::kMinimised:
      return std::nullopt;
    case WindowShow::kMaximised:
      return std::max(0, window_height - scroll_top - kRowsBottomMarginMaximised);
    case WindowShow::kNormal:
      break;
  }
  return std::max(0, window_height - scroll_top - kRowsBottomMarginNormal);
}

void ViewerScroll::Layout(int area_height, int row_height) {
  row_height_ = std::max(1, row_height);
  rows_shown_ = std::max(1, area_height / row_height_);
  position_ = std::clamp(position_, 0, scroll_max());
}

void ViewerScroll::SetRowCount(int count) {
  row_count_ = std::max(1, count);
  position_ = 0;
}

int ViewerScroll::scroll_max() const { return std::max(0, row_count_ - rows_shown_); }

void ViewerScroll::ScrollTo(int v) { position_ = std::clamp(v, 0, scroll_max()); }

bool ViewerScroll::RowVisible(int row) const {
  return row >= position_ && row < position_ + rows_shown_ && row < row_count_;
}

std::optional<ViewerScroll::Focus> ViewerScroll::Tab(Focus from, bool shift) {
  const int i = from.row;
  if (i < 0 || i >= row_count_) return std::nullopt;
  if (!shift) {
    if (from.box == Box::kName) return Focus{i, Box::kValue};
    // The row before stays in view as the focus moves down; the next row
    // is also brought into view when it lies below the window (one row
    // shown), so the focus never lands in a hidden box.
    const bool scroll = (i > 0 && RowVisible(i - 1)) || !RowVisible(i + 1);
    if (scroll && i != row_count_ - 1 && position_ < scroll_max()) ScrollTo(position_ + 1);
    if (i + 1 < row_count_) return Focus{i + 1, Box::kName};
    return std::nullopt;
  }
  if (from.box == Box::kValue) return Focus{i, Box::kName};
  if (i == 0) return std::nullopt;
  if (position_ > 0) ScrollTo(position_ - 1);
  return Focus{i - 1, Box::kValue};
}

int ValueBoxWidth(int name_box_right, int scroll_bar_left, int scroll_bar_width,
                  bool scroll_bar_visible) {
  const int edge = scroll_bar_visible ? scroll_bar_left : scroll_bar_left + scroll_bar_width;
  return std::max(0, edge - name_box_right);
}

}  // namespace lintaro
