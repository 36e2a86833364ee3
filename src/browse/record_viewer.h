// The record viewer without its window: shows one stored record of the last
// run field by field, with every field in error marked.
//
// The marks do not come from the stored findings: the record's checks run
// again in viewing mode (FillFields with Viewing set), where each finding
// marks its field's row and nothing is written. What depends on how far the
// run had come (the PIN, the all-zero amounts past the run's cap, a total
// against the employer's sums before it) is marked from the findings the
// run stored against the record. The results database is only read. A
// window (or the command line's show command) draws rows() and caption()
// after each ViewFile.
#ifndef LINTARO_BROWSE_RECORD_VIEWER_H_
#define LINTARO_BROWSE_RECORD_VIEWER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/run_state.h"
#include "platform/viewer_rows.h"
#include "store/rows.h"

namespace lintaro {

class ResultsDb;

// One row of the viewer: the field's name, its characters (code page 1252
// bytes, as stored) and whether the field is in error (painted light
// yellow, 0x80FFFF).
struct ViewerRow {
  std::string label;
  std::string value;
  bool marked = false;

  friend bool operator==(const ViewerRow&, const ViewerRow&) = default;
};

// Viewer rows kept in memory: what FillFields builds and marks while
// viewing. Row 0 always exists.
class ViewerRowList : public ViewerRows {
 public:
  ViewerRowList() : rows_(1) {}

  void Build(int count) override;
  void SetRow(int row, std::string_view label, std::string_view value) override;
  void Mark(int row) override;
  void Unmark(int row) override;

  const std::vector<ViewerRow>& rows() const { return rows_; }
  // Numbers of the marked rows, ascending.
  std::vector<int> MarkedRows() const;
  // Removes rows 1 and up; row 0 keeps its contents.
  void UnloadLabels();

 private:
  std::vector<ViewerRow> rows_;
};

// What ViewFile did with the record number it was given.
enum class ViewResult {
  kShown,       // the record is shown
  kNotStored,   // no record of that number; the previous record stays shown
  kUnreadable,  // the results database failed; the previous record stays shown
};

// The stored employer record that record belongs to, if any:
// - an RCW or RCT record: the RCE whose RCE_Indx is the record's RCE_Indx
//   (both carry the Indx of the employer's TRCT row);
// - an RCO record: its RCE_Indx names the employer's TRCU row, whose
//   numbering need not be the TRCT's, so its employer is the nearest RCE
//   stored before it (an RCO follows an RCW of the same block);
// - any record whose RCE_Indx names no RCE (never stamped): the nearest RCE
//   before it as well.
// An employer record is recognised whatever the case of its identifier as
// found ("rce" as well as "RCE"). Throws StoreError when the database fails.
std::optional<RecordRow> EmployerRecordOf(ResultsDb& db, const RecordRow& record);

// "Record Number " n " of " count " Tested Record(s) " "- " + the file's
// name without its folder.
std::string ViewerCaption(int64_t rec_num, int64_t record_count, std::string_view path_utf8);

class RecordViewer {
 public:
  // db: the results database, opened read-only; it must outlive the viewer.
  explicit RecordViewer(ResultsDb& db) : db_(db) {}

  // Shows stored record rec_num: reads it, restores the employer values of
  // an RCW, RCO or RCT record from its own employer record, re-runs its
  // checks in viewing mode (a record the run stopped at before checking it,
  // whose first finding is the critical one, is shown without them) and
  // fills the rows and the caption. On kNotStored and kUnreadable the
  // previous rows and caption stay.
  ViewResult ViewFile(int64_t rec_num);

  // The message of the last kUnreadable (UTF-8).
  const std::string& problem() const { return problem_; }

  const std::vector<ViewerRow>& rows() const { return rows_.rows(); }
  std::vector<int> MarkedRows() const { return rows_.MarkedRows(); }
  // The window caption (UTF-8); empty before a record was shown.
  const std::string& caption() const { return caption_; }
  // The record shown (0 before the first), its identifier and its text.
  int64_t rec_num() const { return rec_num_; }
  const std::string& record_id() const { return record_id_; }
  const std::string& record() const { return record_; }
  // The run state the last re-check ran with (its TaxYear, TaxYearText and
  // EmploymentCode are the employer's). The run's own state is never used.
  const RunState& state() const { return state_; }

  // Removes rows 1 and up, as when the grid view replaces the viewer.
  void UnloadLabels() { rows_.UnloadLabels(); }

 private:
  ResultsDb& db_;
  ViewerRowList rows_;
  RunState state_;
  std::string caption_;
  std::string problem_;
  int64_t rec_num_ = 0;
  std::string record_id_;
  std::string record_;
};

}  // namespace lintaro

#endif  // LINTARO_BROWSE_RECORD_VIEWER_H_
