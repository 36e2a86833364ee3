#include "browse/record_viewer.h"

#include <exception>
#include <filesystem>
#include <limits>

#include "checks/field_layout.h"
#include "core/check_context.h"
#include "core/error_recorder.h"
#include "platform/yielder.h"
#include "records/record_checkers.h"
#include "run/record_driver.h"
#include "store/results_db.h"
#include "store/results_reader.h"

namespace lintaro {

void ViewerRowList::Build(int count) {
  rows_.resize(1);
  rows_[0] = ViewerRow{};
  if (count > 1) rows_.resize(static_cast<size_t>(count));
}

void ViewerRowList::SetRow(int row, std::string_view label, std::string_view value) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  rows_[static_cast<size_t>(row)].label = label;
  rows_[static_cast<size_t>(row)].value = value;
}

void ViewerRowList::Mark(int row) {
  if (row >= 0 && row < static_cast<int>(rows_.size()))
    rows_[static_cast<size_t>(row)].marked = true;
}

void ViewerRowList::Unmark(int row) {
  if (row >= 0 && row < static_cast<int>(rows_.size()))
    rows_[static_cast<size_t>(row)].marked = false;
}

std::vector<int> ViewerRowList::MarkedRows() const {
  std::vector<int> marked;
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].marked) marked.push_back(static_cast<int>(i));
  return marked;
}

void ViewerRowList::UnloadLabels() { rows_.resize(1); }

std::optional<RecordRow> EmployerRecordOf(ResultsDb& db, const RecordRow& record) {
  // The nearest employer record before it; walking back by record number
  // stops at the first one, where a search by RCE_Indx reads every record.
  std::optional<RecordRow> before = db.LastEmployerRecordBefore(record.rec_num);
  const std::string_view id = RecordIdentifier(record.record);
  if ((id == "RCW" || id == "RCT") && record.rce_indx != 0 &&
      !(before && before->rce_indx == record.rce_indx)) {
    // Each employer record has a running-total row of its own, so the
    // RCE_Indx names exactly one.
    if (std::optional<RecordRow> employer = db.FirstEmployerRecordWithIndx(record.rce_indx))
      return employer;
  }
  return before;
}

std::string ViewerCaption(int64_t rec_num, int64_t record_count, std::string_view path_utf8) {
  const std::string name = std::filesystem::path(path_utf8).filename().string();
  return "Record Number " + std::to_string(rec_num) + " of " + std::to_string(record_count) +
         " Tested Record(s) " + "- " + name;
}

ViewResult RecordViewer::ViewFile(int64_t rec_num) {
  try {
    std::optional<RecordRow> stored = db_.ReadRecord(rec_num);
    if (!stored || rec_num < 1 || rec_num > std::numeric_limits<int32_t>::max())
      return ViewResult::kNotStored;

    // A state of the viewer's own: the run's state (and its count of
    // all-zero amounts) is never touched by a re-check.
    RunState state;
    state.Viewing = true;
    state.RecCtr = static_cast<int32_t>(rec_num);
    const std::string_view id = RecordIdentifier(stored->record);
    if (id == "RCW" || id == "RCO" || id == "RCT") {
      // The checks of the record are judged with its own employer's tax
      // year and employment code, as in the run.
      if (std::optional<RecordRow> employer = EmployerRecordOf(db_, *stored)) {
        EmployerValues values = EmployerValuesOf(employer->record);
        state.TaxYear = values.TaxYear;
        state.TaxYearText = std::move(values.TaxYearText);
        state.EmploymentCode = std::move(values.EmploymentCode);
      }
    }

    ViewerRowList rows;
    ErrorRecorder recorder(state, nullptr, &rows);
    StoredResults results(db_);
    Yielder yielder;
    CheckContext ctx{state, recorder, results, nullptr, &rows, yielder};
    FillFields(stored->record, static_cast<int32_t>(rec_num), ctx);
    state.Viewing = false;

    // Record numbers run from 1 without gaps: the last is the count, read
    // from the key rather than by counting a million rows.
    const int64_t count = db_.LastRecNum();
    const std::vector<MiscRow> files = db_.ReadMisc();
    caption_ = ViewerCaption(rec_num, count, files.empty() ? std::string() : files.back().path);
    rows_ = std::move(rows);
    state_ = std::move(state);
    rec_num_ = rec_num;
    record_id_ = std::string(id);
    record_ = std::move(stored->record);
    problem_.clear();
    return ViewResult::kShown;
  } catch (const std::exception& e) {
    problem_ = e.what();
    return ViewResult::kUnreadable;
  }
}

}  // namespace lintaro
