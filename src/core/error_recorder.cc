#include "core/error_recorder.h"

#include "core/viewer_rows.h"
#include "store/run_results.h"

namespace lintaro {

void ErrorRecorder::AddError(const std::string& reference, const std::string& user_entry,
                             const std::string& message) {
  if (state_.Viewing || run_ == nullptr) return;
  run_->AppendError("", reference, user_entry, message);
}

void ErrorRecorder::AddCritError(const std::string& reference, const std::string& user_entry,
                                 const std::string& message) {
  if (state_.Viewing || run_ == nullptr) return;
  run_->AppendError("C", reference, user_entry, message);
}

void ErrorRecorder::FieldError(const std::string& reference, const std::string& user_entry,
                               const std::string& message, int field) {
  if (state_.Viewing) {
    if (rows_ != nullptr) rows_->Mark(field);
    return;
  }
  AddError(reference, user_entry, message);
}

void ErrorRecorder::FieldErrorTotals(TotalsTable table, const std::string& reference,
                                     const std::string& user_entry, const std::string& message,
                                     int field, std::string_view column) {
  if (state_.Viewing) {
    if (rows_ != nullptr) rows_->Mark(field);
    return;
  }
  SetErrRef(table, column);
  AddError(reference, user_entry, message);
}

void ErrorRecorder::FieldErrorTRCT(const std::string& reference, const std::string& user_entry,
                                   const std::string& message, int field,
                                   std::string_view column) {
  FieldErrorTotals(TotalsTable::kTRCT, reference, user_entry, message, field, column);
}

void ErrorRecorder::FieldErrorTRCU(const std::string& reference, const std::string& user_entry,
                                   const std::string& message, int field,
                                   std::string_view column) {
  FieldErrorTotals(TotalsTable::kTRCU, reference, user_entry, message, field, column);
}

namespace {

// The pair a column names, when the table has it.
std::optional<TotalsColumn> ColumnOf(TotalsTable table, std::string_view column) {
  auto parsed = ParseTotalsColumn(column);
  if (!parsed || parsed->pair > PairCount(table)) return std::nullopt;
  return parsed;
}

}  // namespace

void ErrorRecorder::SetErrRef(TotalsTable table, std::string_view column) {
  if (state_.Viewing || run_ == nullptr) return;
  TotalsRow* row = run_->employer(table);
  auto col = ColumnOf(table, column);
  if (row == nullptr || !col || col->kind != TotalsColumn::kErrRef) return;
  TotalsRow::Pair& pair = row->pair(col->pair);
  if (pair.err_ref != "None") return;
  pair.err_ref = state_.employee_reference;
  run_->MarkEmployerChanged(table);
}

void ErrorRecorder::SetErrRefTRCT(std::string_view column) { SetErrRef(TotalsTable::kTRCT, column); }
void ErrorRecorder::SetErrRefTRCU(std::string_view column) { SetErrRef(TotalsTable::kTRCU, column); }

void ErrorRecorder::AddTotals(TotalsTable table, std::string_view column, bool stamp,
                              int64_t amount) {
  if (state_.Viewing || run_ == nullptr) return;
  TotalsRow* row = run_->employer(table);
  auto col = ColumnOf(table, column);
  if (row == nullptr || !col) return;
  switch (col->kind) {
    case TotalsColumn::kCount:
      row->count += amount;
      break;
    case TotalsColumn::kCorrect:
      row->pair(col->pair).correct += amount;
      break;
    case TotalsColumn::kOrig:
      row->pair(col->pair).orig += amount;
      break;
    default:
      return;  // flags and references are not amounts
  }
  run_->MarkEmployerChanged(table);
  if (stamp && run_->has_current()) {
    run_->current().rec_reference = state_.employee_reference;
    run_->current().rce_indx = row->indx;
  }
}

void ErrorRecorder::AddTRCT(std::string_view column, bool stamp, int64_t amount) {
  AddTotals(TotalsTable::kTRCT, column, stamp, amount);
}
void ErrorRecorder::AddTRCU(std::string_view column, bool stamp, int64_t amount) {
  AddTotals(TotalsTable::kTRCU, column, stamp, amount);
}

void ErrorRecorder::SetFlag(TotalsTable table, std::string_view column, bool value) {
  if (state_.Viewing || run_ == nullptr) return;
  TotalsRow* row = run_->employer(table);
  auto col = ColumnOf(table, column);
  if (row == nullptr || !col) return;
  if (col->kind == TotalsColumn::kCorrectBlank)
    row->pair(col->pair).correct_blank = value;
  else if (col->kind == TotalsColumn::kOrigBlank)
    row->pair(col->pair).orig_blank = value;
  else
    return;
  run_->MarkEmployerChanged(table);
}

void ErrorRecorder::SetFlagTRCT(std::string_view column, bool value) {
  SetFlag(TotalsTable::kTRCT, column, value);
}
void ErrorRecorder::SetFlagTRCU(std::string_view column, bool value) {
  SetFlag(TotalsTable::kTRCU, column, value);
}

}  // namespace lintaro
