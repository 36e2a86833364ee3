// The results of the test run in progress.
//
// The run appends one Records row per record, findings against the current
// (last) record, and one TRCT and one TRCU row per employer. The current
// record and the current employer rows are kept in memory while the checks
// change them, and written when the run moves on; everything is committed
// in batches of records, and at every Flush, so a run killed part-way leaves
// a database that opens and holds every batch committed so far.
//
// The rows go into a WriteBatch; every kHandRecords records the batch is
// handed to a BatchWriter, which writes it on its own thread while the run
// goes on, and commits every batch_records records. The
// rows are numbered here as SQLite would number them, so nothing waits for
// the database. A write that fails throws its StoreError from the next
// EndRecord or Flush (once; nothing more is written afterwards). Reads of
// the database (the ResultsReader calls about other records, db()) first
// wait until everything is written.
#ifndef LINTARO_STORE_RUN_RESULTS_H_
#define LINTARO_STORE_RUN_RESULTS_H_

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "store/batch_writer.h"
#include "store/results_db.h"
#include "store/results_reader.h"
#include "store/rows.h"
#include "store/write_batch.h"

namespace lintaro {

class RunResults : public ResultsReader {
 public:
  static constexpr int kDefaultBatchRecords = 4096;
  // Records per batch handed to the writer (fewer when batch_records is
  // smaller): the few batches on their way stay small, so the memory they
  // take stays in the processor's cache and is not asked of the system
  // again for each batch.
  static constexpr int kHandRecords = 512;

  explicit RunResults(std::unique_ptr<ResultsDb> db, int batch_records = kDefaultBatchRecords);
  // Writes into db, which the caller keeps open after this is gone.
  explicit RunResults(ResultsDb& db, int batch_records = kDefaultBatchRecords);
  // Flushes; failures at this point are swallowed (call Flush to see them).
  ~RunResults() override;

  // The database, with everything handed over written (see Flush).
  ResultsDb& db() {
    Flush();
    return *db_;
  }

  // MISC: a row for each file of the submission. SetPinOK writes the last;
  // a file added later carries the PIN result of the submitter record
  // tested so far, which the viewer reads from the last row.
  void AddFile(const std::string& path_utf8, const std::string& rpt_date);
  void SetPinOK(bool pin_ok);

  // RECORDS. AppendRecord makes a new row the current one; the identifier of
  // the row before it stays at hand as previous_id() until the next append.
  void AppendRecord(int64_t rec_num, const std::string& id, const std::string& record);
  bool has_current() const { return current_.has_value(); }
  RecordRow& current() { return *current_; }
  const std::string* previous_id() const { return previous_id_ ? &*previous_id_ : nullptr; }

  // ERRORS. Appends a finding against the current record and counts it on
  // the record's row. Returns the new row's Err_Num.
  int64_t AppendError(std::string_view type, std::string_view reference,
                      std::string_view user_entry, std::string_view message);
  // The same, for a caller that writes the finding's texts into the row
  // returned, in the batch, instead of building them apart and having them
  // copied: it assigns the row's reference, user_entry and error (see
  // WriteBatch::InsertError) before the next call here.
  ErrorRow& AppendError(std::string_view type);
  int64_t error_count() const { return error_count_; }
  // Type of the last finding ("C" or empty); empty when there is none.
  const std::string& last_error_type() const { return last_error_type_; }

  // TRCT and TRCU. OpenEmployer appends one row to each table for a new
  // employer and makes them current. employer() is the current row of a
  // table, or null before the first employer; a caller that changes it calls
  // MarkEmployerChanged so that it is written.
  void OpenEmployer(const std::string& rce_ein);
  TotalsRow* employer(TotalsTable table) {
    std::optional<TotalsRow>& row = employer_[static_cast<int>(table)];
    return row ? &*row : nullptr;
  }
  void MarkEmployerChanged(TotalsTable table);
  // The employer row of the given table that record rec_num belongs to
  // (through its RCE_Indx), or nothing when it belongs to none.
  std::optional<TotalsRow> EmployerRow(TotalsTable table, int64_t rec_num);
  std::vector<ErrorRow> ErrorsOf(int64_t rec_num) override;
  bool HasFinding(int64_t rec_num, std::string_view reference) override;
  // Counts the stored rows and the current one, written or not.
  int64_t CountRecordsWithId(std::string_view id) override;

  // Ends the current record's processing; every kHandRecords records hands
  // the batch to the writer, to be committed with the record that completes
  // batch_records.
  void EndRecord();
  // Writes everything held in memory and commits; returns when it is
  // committed.
  void Flush();
  // Flush, with the run's ending recorded in the same transaction as its
  // last rows: the results read as finished only once all of them are
  // written. After a failure to write nothing more is written, the ending
  // neither: such a run reads as unfinished.
  void Finish(RunEnding ending);

  // The most batches that waited for the writer at one time.
  size_t peak_batches_waiting() const { return writer_.peak_waiting(); }

 private:
  void WriteCurrent();
  // Writes the current row, done with, into the batch, which takes its texts.
  void HandOverCurrent();
  void WriteEmployers();
  // Hands the batch in hand to the writer; it is committed when commit.
  void HandBatch(bool commit);
  // Hands the batch in hand to the writer and waits until all is committed.
  void WriteLastBatch();

  std::unique_ptr<ResultsDb> owned_db_;  // null when the caller keeps the database
  ResultsDb* db_;
  const int batch_records_;
  const int hand_records_;
  int records_in_batch_ = 0;       // since the last commit
  ResultsDb::LastKeys last_keys_;  // of the rows written or in batches

  int64_t misc_id_ = 0;
  bool pin_ok_ = false;

  // At each record the batch takes the current row's texts, leaving it the
  // storage of texts written before.
  std::optional<RecordRow> current_;
  bool current_stored_ = false;  // current_ has a row in the database or a batch
  std::optional<std::string> previous_id_;
  // Records appended so far, per identifier as found.
  std::map<std::string, int64_t, std::less<>> id_counts_;

  int64_t error_count_ = 0;
  std::string last_error_type_;

  std::optional<TotalsRow> employer_[2];
  bool employer_changed_[2] = {false, false};

  // Declared last: the writer's thread ends before the rest goes.
  BatchWriter writer_;
  std::unique_ptr<WriteBatch> batch_;
};

}  // namespace lintaro

#endif  // LINTARO_STORE_RUN_RESULTS_H_
