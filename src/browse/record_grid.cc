#include "browse/record_grid.h"

#include <sqlite3.h>

#include <algorithm>
#include <exception>

#include "store/results_db.h"

namespace lintaro {
namespace {

// The columns of both grids, for a range of record numbers and for one.
constexpr const char* kRecordsBetween =
    "SELECT Rec_Num, Errors, Record FROM RECORDS WHERE Rec_Num BETWEEN ?1 AND ?2 "
    "ORDER BY Rec_Num";
constexpr const char* kRecordByNumber =
    "SELECT Rec_Num, Errors, Record FROM RECORDS WHERE Rec_Num = ?1";
// The records with errors, from the findings' index on the record number
// (the records' error counts have no index: filtering on them reads every
// record).
constexpr const char* kRecordsWithFindings = "SELECT DISTINCT Rec_Num FROM ERRORS ORDER BY Rec_Num";

// A prepared statement that is finalized however the scope is left.
class Statement {
 public:
  Statement(ResultsDb& db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db.handle(), sql, -1, &s_, nullptr) != SQLITE_OK) Fail();
  }
  ~Statement() { sqlite3_finalize(s_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  sqlite3_stmt* get() { return s_; }
  // Steps once: true on a row, false when done.
  bool Step() {
    const int rc = sqlite3_step(s_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) Fail();
    return false;
  }

 private:
  [[noreturn]] void Fail() {
    throw StoreError(sqlite3_extended_errcode(db_.handle()),
                     std::string("Cannot read the grid's records: ") +
                         sqlite3_errmsg(db_.handle()) + " (" + db_.path() + ")");
  }
  ResultsDb& db_;
  sqlite3_stmt* s_ = nullptr;
};

GridRecord RowOfStatement(sqlite3_stmt* s) {
  GridRecord r;
  r.rec_num = sqlite3_column_int64(s, 0);
  r.errors = sqlite3_column_int(s, 1);
  if (const unsigned char* text = sqlite3_column_text(s, 2))
    r.record.assign(reinterpret_cast<const char*>(text),
                    static_cast<size_t>(sqlite3_column_bytes(s, 2)));
  return r;
}

}  // namespace

RecordGridRows::RecordGridRows(ResultsDb& db, Kind kind) : db_(db), kind_(kind) {
  if (kind == Kind::kTested) {
    size_ = db.LastRecNum();
    return;
  }
  Statement s(db, kRecordsWithFindings);
  while (s.Step()) rec_nums_.push_back(sqlite3_column_int64(s.get(), 0));
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
    Statement s(db_, kRecordsBetween);
    sqlite3_bind_int64(s.get(), 1, first_row + 1);
    sqlite3_bind_int64(s.get(), 2, first_row + count);
    while (s.Step()) {
      GridRecord r = RowOfStatement(s.get());
      const int64_t i = r.rec_num - 1 - first_row;
      if (i >= 0 && i < count) w.rows[static_cast<size_t>(i)] = std::move(r);
    }
  } else {
    // The records with errors may lie far apart: each is read by its key.
    Statement s(db_, kRecordByNumber);
    for (int64_t i = 0; i < count; ++i) {
      sqlite3_reset(s.get());
      sqlite3_bind_int64(s.get(), 1, RecNumOf(first_row + i));
      if (s.Step()) w.rows[static_cast<size_t>(i)] = RowOfStatement(s.get());
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
