// The error recorder: every finding of every check reaches the results
// through these operations.
//
// In a test run a finding becomes an Errors row of the current record and
// is counted on the record's Records row; while the viewer re-checks a
// stored record (RunState::Viewing) a field finding instead marks the
// field's row and nothing is written. The running-total operations keep the
// current employer's TRCT and TRCU rows; they do nothing while viewing or
// before the first employer of the run.
#ifndef LINTARO_CORE_ERROR_RECORDER_H_
#define LINTARO_CORE_ERROR_RECORDER_H_

#include <cstdint>
#include <string>
#include <string_view>

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

  bool viewing() const { return state_.Viewing; }

  // Stores a finding for the current record (test run only).
  void AddError(const std::string& reference, const std::string& user_entry,
                const std::string& message);
  // Stores a finding that stops the run (Type "C").
  void AddCritError(const std::string& reference, const std::string& user_entry,
                    const std::string& message);

  // A finding about field number `field` of the record.
  void FieldError(const std::string& reference, const std::string& user_entry,
                  const std::string& message, int field);
  // The same for a Correct money amount that is not numeric: the employer's
  // error-reference column (e.g. "C3ErrRef") remembers the first employee.
  void FieldErrorTRCT(const std::string& reference, const std::string& user_entry,
                      const std::string& message, int field, std::string_view column);
  void FieldErrorTRCU(const std::string& reference, const std::string& user_entry,
                      const std::string& message, int field, std::string_view column);

  // Sets an error-reference column of the current employer row to the
  // employee reference while it still holds "None": the first employee wins.
  void SetErrRefTRCT(std::string_view column);
  void SetErrRefTRCU(std::string_view column);

  // Adds amount to a count or amount column ("0", n or "Orig" + n) of the
  // current employer row. With stamp, the current Records row also gets the
  // employee reference and the row's Indx.
  void AddTRCT(std::string_view column, bool stamp, int64_t amount);
  void AddTRCU(std::string_view column, bool stamp, int64_t amount);

  // Sets a blank flag column (n + "b" or "Orig" + n + "b") of the current
  // employer row.
  void SetFlagTRCT(std::string_view column, bool value);
  void SetFlagTRCU(std::string_view column, bool value);

 private:
  void FieldErrorTotals(TotalsTable table, const std::string& reference,
                        const std::string& user_entry, const std::string& message, int field,
                        std::string_view column);
  void SetErrRef(TotalsTable table, std::string_view column);
  void AddTotals(TotalsTable table, std::string_view column, bool stamp, int64_t amount);
  void SetFlag(TotalsTable table, std::string_view column, bool value);

  RunState& state_;
  RunResults* run_;
  ViewerRows* rows_;
};

}  // namespace lintaro

#endif  // LINTARO_CORE_ERROR_RECORDER_H_
