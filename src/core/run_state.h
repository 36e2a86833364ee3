// The state of a test run that one record sets and later records read.
#ifndef LINTARO_CORE_RUN_STATE_H_
#define LINTARO_CORE_RUN_STATE_H_

#include <cstdint>
#include <string>

namespace lintaro {

struct RunState {
  // Number of the record being processed, from 1, continuing across the
  // files of one submission.
  int32_t RecCtr = 1;
  // Positions 1-3 of the current record as found; " " when empty.
  std::string RecId;

  // Record-level flags of the record driver and the sequence rules.
  bool BadRecId = false;
  bool RCOFound = false;  // the current employer group has an RCO record
  bool RCSFound = false;  // the current employer group has an RCS record
  bool SeqError = false;  // a sequence rule failed; the record is not checked

  bool Testing = false;  // a run is in progress
  // True only while the viewer re-checks a stored record: findings then mark
  // fields instead of being recorded, and nothing is written.
  bool Viewing = false;

  // All-zero Correct money amounts met in this run.
  int32_t zero_amount_count = 0;

  // Set by the employer record, read by the employee and total records.
  int32_t TaxYear = 0;
  std::string TaxYearText;
  std::string EmploymentCode;

  // Correct SSN of the last employee wage record; names the employee in the
  // running totals and on the Records rows.
  std::string employee_reference;

  // Back to the state of a new run.
  void ResetForRun() {
    const bool viewing = Viewing;
    *this = RunState();
    Viewing = viewing;
    Testing = true;
  }
};

}  // namespace lintaro

#endif  // LINTARO_CORE_RUN_STATE_H_
