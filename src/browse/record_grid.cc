#include "browse/record_grid.h"

#include <algorithm>
#include <exception>

#include "store/results_db.h"

namespace lintaro {

RecordGridRows::RecordGridRows(ResultsDb& db, Kind kind) : db_(db), kind_(kind) {
  if (kind == Kind::kTested) {
    size_ = db.LastRecNum();
    return;
  }
  rec_nums_ = db.RecordNumbersWithErrors();
  size_ = static_cast<int64_t>(rec_nums_.size());
}

int64_t RecordGridRows::RecNumOf(int64_t row) const {
  if (row < 0 || row >= size_) return 0;
  return kind_ == Kind::kTested ? row + 1 : rec_nums_[static_cast<size_t>(row)];
}

std::optional<int64_t> RecordGridRows::RowOf(int64_t rec_num) const {
  if (kind_ == Kind::kTested) {
    if (rec_num < 1 || rec_num > size_) return std::nullopt;
    return rec_num - 1;
  }
  auto it = std::lower_bound(rec_nums_.begin(), rec_nums_.end(), rec_num);
  if (it == rec_nums_.end() || *it != rec_num) return std::nullopt;
  return static_cast<int64_t>(it - rec_nums_.begin());
}

// The window's rows in order; a record that is not stored leaves its row
// empty.
RecordGridRows::Window RecordGridRows::Read(int64_t first_row) {
  Window w;
  w.first_row = first_row;
  const int64_t count = std::min<int64_t>(kWindowRows, size_ - first_row);
  w.rows.resize(static_cast<size_t>(std::max<int64_t>(0, count)));
  if (kind_ == Kind::kTested) {
    // Row i is record i + 1: one range of record numbers.
    for (GridRecord& r : db_.ListRecords(first_row + 1, first_row + count)) {
      const int64_t i = r.rec_num - 1 - first_row;
      if (i >= 0 && i < count) w.rows[static_cast<size_t>(i)] = std::move(r);
    }
  } else {
    // The records with errors may lie far apart: each is read by its key.
    for (int64_t i = 0; i < count; ++i) {
      if (std::optional<GridRecord> r = db_.ListRecord(RecNumOf(first_row + i)))
        w.rows[static_cast<size_t>(i)] = std::move(*r);
    }
  }
  return w;
}

const GridRecord& RecordGridRows::At(int64_t row) {
  if (row < 0 || row >= size_) return empty_;
  const int64_t first_row = row - row % kWindowRows;
  auto held = std::find_if(windows_.begin(), windows_.end(),
                           [&](const Window& w) { return w.first_row == first_row; });
  if (held == windows_.end()) {
    // Rows of the results that replaced these would pass for theirs.
    if (!replaced_) replaced_ = db_.Replaced();
    if (replaced_) return empty_;
    ++windows_read_;
    try {
      windows_.push_front(Read(first_row));
      problem_.clear();
    } catch (const std::exception& e) {
      // The window stays empty rather than being read again at every draw.
      problem_ = e.what();
      windows_.push_front(Window{first_row, {}});
    }
    if (static_cast<int>(windows_.size()) > kWindowsHeld) windows_.pop_back();
  } else if (held != windows_.begin()) {
    windows_.splice(windows_.begin(), windows_, held);
  }
  const std::vector<GridRecord>& rows = windows_.front().rows;
  const size_t i = static_cast<size_t>(row - first_row);
  return i < rows.size() ? rows[i] : empty_;
}

}  // namespace lintaro
