#include "browse/grid_tips.h"

#include <algorithm>
#include <cmath>

namespace lintaro {

std::string DoubleAmpersands(std::string_view text) {
  std::string doubled;
  doubled.reserve(text.size());
  for (char c : text) {
    doubled.push_back(c);
    if (c == '&') doubled.push_back('&');
  }
  return doubled;
}

ScreenPoint PlaceTip(ScreenPoint pointer, int tip_width, int cursor_width, int cursor_height,
                     int screen_width) {
  ScreenPoint at{pointer.x + cursor_width / 2.0, pointer.y + cursor_height};
  if (at.x + tip_width > screen_width) at.x = screen_width - tip_width;
  if (at.x < 0) at.x = 0;
  return at;
}

TipAction GridTipTimer::PointerMoved(const Move& move,
                                     const std::function<std::string()>& cell_text) {
  const ScreenPoint here{move.x, move.y};
  if (last_move_ && *last_move_ == here) return TipAction::kNone;
  last_move_ = here;

  visible_ = false;
  ticks_ = kNoTip;
  if (move.row >= 0 && move.row < move.visible_rows && move.column >= 0 && move.tips_allowed &&
      move.own_window_active) {
    ticks_ = 0;
    text_ = DoubleAmpersands(cell_text ? cell_text() : std::string());
    anchor_ = move.screen;
    return TipAction::kPlace;
  }
  return TipAction::kHide;
}

bool GridTipTimer::Resting(ScreenPoint pointer) const {
  return std::fabs(pointer.x - anchor_.x) <= kRestPixels &&
         std::fabs(pointer.y - anchor_.y) <= kRestPixels;
}

TipAction GridTipTimer::Tick(ScreenPoint pointer, bool own_window_active) {
  ++ticks_;
  const bool resting = Resting(pointer);
  TipAction action = TipAction::kNone;
  if (ticks_ == kShowTick) {
    visible_ = !text_.empty() && resting && own_window_active;
    action = visible_ ? TipAction::kShow : TipAction::kHide;
  } else if (!resting && visible_) {
    visible_ = false;
    action = TipAction::kHide;
  }
  if (ticks_ > kWrapAbove) ticks_ = kNoTip;
  return action;
}

TipAction GridTipTimer::FocusLost() {
  visible_ = false;
  return TipAction::kHide;
}

}  // namespace lintaro
