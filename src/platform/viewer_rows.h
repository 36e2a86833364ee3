// The rows of the record viewer as the checks and row fillers see them: one
// row per field of the record's layout, each with a label and a value, and
// a mark for a field in error. The viewer (a window, the command line's show
// command, a test) implements it.
#ifndef LINTARO_PLATFORM_VIEWER_ROWS_H_
#define LINTARO_PLATFORM_VIEWER_ROWS_H_

#include <string_view>

namespace lintaro {

class ViewerRows {
 public:
  virtual ~ViewerRows() = default;
  // Removes every row but row 0, then builds rows 0 to count - 1, all
  // unmarked and empty.
  virtual void Build(int count) = 0;
  // Sets the label and value of row; rows outside the built range are ignored.
  virtual void SetRow(int row, std::string_view label, std::string_view value) = 0;
  // Paints the row's value as a field in error (light yellow).
  virtual void Mark(int row) = 0;
  // Gives the row's value its normal background again.
  virtual void Unmark(int row) = 0;
};

}  // namespace lintaro

#endif  // LINTARO_PLATFORM_VIEWER_ROWS_H_
