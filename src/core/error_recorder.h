// The error recorder: every finding of every check reaches the results
// through these operations.
//
// In a test run a finding becomes an Errors row of the current record and
// is counted on the record's Records row; while the viewer re-checks a
// stored record (RunState::Viewing) a field finding instead marks the
// field's row and nothing is written. The running-total operations keep the
// current employer's TRCT and TRCU rows, column by typed column; they do
// nothing while viewing or before the first employer of the run.
#ifndef LINTARO_CORE_ERROR_RECORDER_H_
#define LINTARO_CORE_ERROR_RECORDER_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "core/field_spec.h"
#include "core/run_state.h"
#include "store/rows.h"

namespace lintaro {

class RunResults;
class ViewerRows;

class ErrorRecorder {
 public:
  // run is null while viewing; rows is null in a test run.
  ErrorRecorder(RunState& state, RunResults* run, ViewerRows* rows)
      : state_(state), run_(run), rows_(rows) {}

  // Stores a finding for the current record (test run only).
  void AddError(std::string_view reference, std::string_view user_entry, std::string_view message);
  // Stores a finding that stops the run (Type "C").
  void AddCritError(std::string_view reference, std::string_view user_entry,
                    std::string_view message);

  // A finding about field number `field` of the record.
  void FieldError(std::string_view reference, std::string_view user_entry, std::string_view message,
                  int field);
  // The same about field f, whose characters are text: its reference and
  // user entry are written straight into the stored row.
  void FieldError(const FieldSpec& f, std::string_view text, std::string_view message);
  // The same for a Correct money amount that is not numeric, which spoils
  // the employer's sum of its pair: the pair's error-reference column
  // (error_reference, of kind kErrorReference) also takes the employee
  // reference while it still holds "None", so that the first employee is
  // named.
  void NonNumericAmountError(std::string_view reference, std::string_view user_entry,
                             std::string_view message, int field, TotalsColumn error_reference);

  // Counts the current employee record in the record-count column of the
  // current employer's row of table, and stamps the current Records row
  // with the employee reference and the row's Indx.
  void CountEmployeeRecord(TotalsTable table);

  // Adds amount to the record-count column or a sum column (kCorrectSum,
  // kOrigSum) of the current employer's row. A sum that has been added to
  // is no longer blank: its side's blank flag (kCorrectBlank, kOrigBlank) is
  // cleared; a sum stops at the largest int64_t instead of going round.
  // Columns of other kinds are left alone.
  void AddToTotals(TotalsColumn column, int64_t amount);

 private:
  // The current employer's row of the column's table, or null while
  // viewing, outside a run, before the first employer of the run or for a
  // column the table does not have.
  TotalsRow* EmployerRow(TotalsColumn column);
  void SetErrorReference(TotalsColumn column);

  RunState& state_;
  RunResults* run_;
  ViewerRows* rows_;
};

}  // namespace lintaro

#endif  // LINTARO_CORE_ERROR_RECORDER_H_
