#include "core/error_recorder.h"

#include <limits>

#include "platform/viewer_rows.h"
#include "store/run_results.h"

namespace lintaro {
namespace {

// Amounts are never negative. A sum that would pass the largest whole
// number stays at it: no total of 15 digits equals it, where a sum gone
// round could come back to any value, the reported total's too.
int64_t AddAmount(int64_t sum, int64_t amount) {
  int64_t result;
  if (__builtin_add_overflow(sum, amount, &result)) return std::numeric_limits<int64_t>::max();
  return result;
}

}  // namespace

void ErrorRecorder::AddError(std::string_view reference, std::string_view user_entry,
                             std::string_view message) {
  if (state_.Viewing || run_ == nullptr) return;
  run_->AppendError("", reference, user_entry, message);
}

void ErrorRecorder::AddCritError(std::string_view reference, std::string_view user_entry,
                                 std::string_view message) {
  if (state_.Viewing || run_ == nullptr) return;
  run_->AppendError("C", reference, user_entry, message);
}

void ErrorRecorder::FieldError(std::string_view reference, std::string_view user_entry,
                               std::string_view message, int field) {
  if (state_.Viewing) {
    if (rows_ != nullptr) rows_->Mark(field);
    return;
  }
  AddError(reference, user_entry, message);
}

void ErrorRecorder::FieldError(const FieldSpec& f, std::string_view text,
                               std::string_view message) {
  if (state_.Viewing) {
    if (rows_ != nullptr) rows_->Mark(f.number);
    return;
  }
  if (run_ == nullptr) return;
  ErrorRow& row = run_->AppendError("");
  AssignReference(row.reference, f);
  AssignUserEntry(row.user_entry, text);
  row.error.assign(message);
}

void ErrorRecorder::NonNumericAmountError(std::string_view reference, std::string_view user_entry,
                                          std::string_view message, int field,
                                          TotalsColumn error_reference) {
  if (state_.Viewing) {
    if (rows_ != nullptr) rows_->Mark(field);
    return;
  }
  SetErrorReference(error_reference);
  AddError(reference, user_entry, message);
}

TotalsRow* ErrorRecorder::EmployerRow(TotalsColumn column) {
  if (state_.Viewing || run_ == nullptr || !column.valid()) return nullptr;
  return run_->employer(column.table);
}

void ErrorRecorder::SetErrorReference(TotalsColumn column) {
  TotalsRow* row = EmployerRow(column);
  if (row == nullptr || column.kind != TotalsKind::kErrorReference) return;
  TotalsRow::Pair& pair = row->pair(column.pair);
  if (pair.err_ref != "None") return;
  pair.err_ref = state_.employee_reference;
  run_->MarkEmployerChanged(column.table);
}

void ErrorRecorder::CountEmployeeRecord(TotalsTable table) {
  const TotalsColumn count{table, TotalsKind::kRecordCount, 0};
  const TotalsRow* row = EmployerRow(count);
  if (row == nullptr) return;
  AddToTotals(count, 1);
  if (!run_->has_current()) return;
  run_->current().rec_reference = state_.employee_reference;
  run_->current().rce_indx = row->indx;
}

void ErrorRecorder::AddToTotals(TotalsColumn column, int64_t amount) {
  TotalsRow* row = EmployerRow(column);
  if (row == nullptr) return;
  switch (column.kind) {
    case TotalsKind::kRecordCount:
      row->count += amount;
      break;
    case TotalsKind::kCorrectSum: {
      TotalsRow::Pair& pair = row->pair(column.pair);
      pair.correct = AddAmount(pair.correct, amount);
      pair.correct_blank = false;
      break;
    }
    case TotalsKind::kOrigSum: {
      TotalsRow::Pair& pair = row->pair(column.pair);
      pair.orig = AddAmount(pair.orig, amount);
      pair.orig_blank = false;
      break;
    }
    default:
      return;  // flags and references are not amounts
  }
  run_->MarkEmployerChanged(column.table);
}

}  // namespace lintaro
