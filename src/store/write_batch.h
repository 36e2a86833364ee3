// A batch of row writes for the results database, written in one
// transaction, which the batch commits unless it is told to leave it open
// for the next batch. Rows are written in the order they were made, except
// that the records inserted come first and the findings (ERRORS) last, each
// in their own order and many to a statement (a record is updated only
// after it was inserted, so nothing reads otherwise).
//
// A test run fills a batch while it checks records and hands it to the
// writer (store/batch_writer.h), which writes it on another thread. Rows
// are copied into the batch, so the run may change its own rows at once,
// or moved into it when the run is done with them; a cleared batch keeps
// its rows' storage, so that a batch used again allocates nothing for
// records no longer than the ones before.
#ifndef LINTARO_STORE_WRITE_BATCH_H_
#define LINTARO_STORE_WRITE_BATCH_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/rows.h"

namespace lintaro {

class ResultsDb;

class WriteBatch {
 public:
  // MISC: a file's row under data_id, and its PIN result.
  void InsertMisc(int64_t data_id, const std::string& path_utf8, const std::string& rpt_date);
  void SetPinOK(int64_t data_id, bool pin_ok);

  // RECORDS. A row moved in is swapped with one the batch keeps: it is left
  // holding the storage of a row written before, to be filled again
  // without allocating (its contents are unspecified).
  void InsertRecord(const RecordRow& row);
  void InsertRecord(RecordRow&& row);
  void UpdateRecord(const RecordRow& row);
  void UpdateRecord(RecordRow&& row);

  // ERRORS: a finding under err_num (written after the batch's other rows),
  // whose texts the caller writes into the row returned. Its reference,
  // user_entry and error still hold a row written before, whose storage
  // they keep: the caller assigns all three.
  ErrorRow& InsertError(int64_t err_num, std::string_view type, int64_t rec_num);

  // TRCT and TRCU: a row under row.indx.
  void InsertTotals(TotalsTable table, const TotalsRow& row);
  void UpdateTotals(TotalsTable table, const TotalsRow& row);

  // RUN: the run ended so, with counts of what it stored; written with the
  // rows before it, in their transaction.
  void EndRun(RunEnding ending, const RunCounts& counts);

  // The batch's rows are written without a commit: the transaction stays
  // open, and the next batch that commits commits them too. A run hands its
  // rows over in small batches (small enough to stay in the processor's
  // cache) and commits every few thousand records.
  void LeaveTransactionOpen() { commits_ = false; }
  bool commits() const { return commits_; }

  bool empty() const { return steps_.empty() && new_records_.used == 0 && errors_.used == 0; }

  // Writes every row in the order given, but the records inserted before the
  // other rows and the findings after them, several to a statement (in the
  // transaction left open, or a new one, so readers cannot tell), and
  // commits unless told not to. When a write fails, the
  // transaction is rolled back (the database keeps what was committed
  // before it, not what earlier batches left open) and the StoreError is
  // thrown. Either way the batch is empty afterwards.
  void WriteTo(ResultsDb& db);
  // Forgets every row, keeping their storage; the batch commits again.
  void Clear();

 private:
  enum class Op : uint8_t {
    kInsertMisc,
    kSetPinOK,
    kSetPinNotOK,
    kUpdateRecord,
    kInsertTRCT,
    kInsertTRCU,
    kUpdateTRCT,
    kUpdateTRCU,
    kEndRun,
  };
  struct Step {
    Op op;
    uint32_t row;  // index into the rows of the step's kind
  };

  // Rows of one kind; the first `used` are in the batch, the rest are kept
  // for their storage.
  template <typename Row>
  struct Rows {
    std::vector<Row> rows;
    size_t used = 0;

    // The next row to fill, and its index.
    Row& Next(uint32_t& index) {
      index = static_cast<uint32_t>(used);
      return Next();
    }
    Row& Next() {
      if (used == rows.size()) rows.emplace_back();
      return rows[used++];
    }
  };

  void Apply(ResultsDb& db, const Step& step);
  void AddTotals(Op op, const TotalsRow& row);

  std::vector<Step> steps_;
  Rows<MiscRow> misc_;
  Rows<RecordRow> new_records_;  // inserted, in their own order
  Rows<RecordRow> records_;      // updated, as steps
  Rows<ErrorRow> errors_;
  Rows<TotalsRow> totals_;
  // Data_Id of a PIN result
  std::vector<int64_t> keys_;
  // The run's ending, in the batch that ends it
  RunEnding ending_ = RunEnding::kCompleted;
  RunCounts counts_;
  bool commits_ = true;
};

}  // namespace lintaro

#endif  // LINTARO_STORE_WRITE_BATCH_H_
