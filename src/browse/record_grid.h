// The rows of the two record grids, read on demand: the tested records
// (DBGrid3) and the records with errors (DBGrid1).
//
// They show the rows of "Select Rec_Num, Errors, Record  From Records" and
// of the same selection "where Errors > 0 Order By Rec_Num". A results file
// may hold a million records, so a grid never runs the selection whole. It
// knows how many rows it has and which record each row shows; the cells of
// a row are read, with the rows around it, when the grid first draws it,
// and only a few such windows of rows are held at a time.
//
// Record numbers run from 1 without gaps, so row i of the tested records is
// record i + 1. The records with errors are the distinct record numbers of
// the findings, in order (every finding is counted on its record): at most
// the error limit plus the findings of the record that reached it, so their
// numbers are held in memory.
#ifndef LINTARO_BROWSE_RECORD_GRID_H_
#define LINTARO_BROWSE_RECORD_GRID_H_

#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <vector>

#include "store/rows.h"

namespace lintaro {

class ResultsDb;

// One row of a record grid: "RecNum", "ErrCount", "Record Data".
using GridRecord = RecordListing;

class RecordGridRows {
 public:
  enum class Kind { kTested, kWithErrors };
  static constexpr int kWindowRows = 128;  // rows read together
  static constexpr int kWindowsHeld = 4;   // windows kept in memory

  // Reads the grid's row count (and, for the records with errors, their
  // numbers). db is opened read-only and must outlive the rows. Throws
  // StoreError when the database fails.
  RecordGridRows(ResultsDb& db, Kind kind);

  Kind kind() const { return kind_; }
  int64_t size() const { return size_; }

  // The record number row shows; 0 outside 0 .. size() - 1.
  int64_t RecNumOf(int64_t row) const;
  // The row that shows record rec_num, or nothing when the grid has no
  // such record (not tested, or without errors in the records-with-errors
  // grid).
  std::optional<int64_t> RowOf(int64_t rec_num) const;

  // The cells of row, reading its window of rows when it is not held. A row
  // outside the grid, or whose record cannot be read, has empty cells
  // (rec_num 0). Never throws: a failing database gives empty cells, and
  // problem() says why. Once a later test has replaced the results file,
  // no window is read any more: its rows are empty and replaced() is true.
  const GridRecord& At(int64_t row);
  const std::string& problem() const { return problem_; }
  bool replaced() const { return replaced_; }

  // Windows of rows held now, and windows read (or tried) since the rows
  // were made.
  int windows_held() const { return static_cast<int>(windows_.size()); }
  int64_t windows_read() const { return windows_read_; }

 private:
  struct Window {
    int64_t first_row = 0;
    std::vector<GridRecord> rows;
  };
  Window Read(int64_t first_row);

  ResultsDb& db_;
  Kind kind_;
  int64_t size_ = 0;
  std::vector<int64_t> rec_nums_;  // the records with errors, ascending
  std::list<Window> windows_;      // most recently used first
  int64_t windows_read_ = 0;
  std::string problem_;
  bool replaced_ = false;
  GridRecord empty_;
};

}  // namespace lintaro

#endif  // LINTARO_BROWSE_RECORD_GRID_H_
