#include "store/write_batch.h"

#include <utility>

#include "store/results_db.h"

namespace lintaro {

void WriteBatch::InsertMisc(int64_t data_id, const std::string& path_utf8,
                            const std::string& rpt_date) {
  uint32_t index = 0;
  MiscRow& row = misc_.Next(index);
  row.data_id = data_id;
  row.path = path_utf8;
  row.pin_ok = false;
  row.rpt_date = rpt_date;
  steps_.push_back({Op::kInsertMisc, index});
}

void WriteBatch::SetPinOK(int64_t data_id, bool pin_ok) {
  keys_.push_back(data_id);
  steps_.push_back(
      {pin_ok ? Op::kSetPinOK : Op::kSetPinNotOK, static_cast<uint32_t>(keys_.size() - 1)});
}

void WriteBatch::InsertRecord(const RecordRow& row) { new_records_.Next() = row; }

void WriteBatch::InsertRecord(RecordRow&& row) { std::swap(new_records_.Next(), row); }

void WriteBatch::UpdateRecord(const RecordRow& row) {
  uint32_t index = 0;
  records_.Next(index) = row;
  steps_.push_back({Op::kUpdateRecord, index});
}

void WriteBatch::UpdateRecord(RecordRow&& row) {
  uint32_t index = 0;
  std::swap(records_.Next(index), row);
  steps_.push_back({Op::kUpdateRecord, index});
}

ErrorRow& WriteBatch::InsertError(int64_t err_num, std::string_view type, int64_t rec_num) {
  ErrorRow& row = errors_.Next();
  row.err_num = err_num;
  row.type.assign(type);
  row.rec_num = rec_num;
  return row;
}

void WriteBatch::AddTotals(Op op, const TotalsRow& row) {
  uint32_t index = 0;
  totals_.Next(index) = row;
  steps_.push_back({op, index});
}

void WriteBatch::InsertTotals(TotalsTable table, const TotalsRow& row) {
  AddTotals(table == TotalsTable::kTRCT ? Op::kInsertTRCT : Op::kInsertTRCU, row);
}

void WriteBatch::UpdateTotals(TotalsTable table, const TotalsRow& row) {
  AddTotals(table == TotalsTable::kTRCT ? Op::kUpdateTRCT : Op::kUpdateTRCU, row);
}

void WriteBatch::EndRun(RunEnding ending, const RunCounts& counts) {
  steps_.push_back(Step{Op::kEndRun, 0});
  ending_ = ending;
  counts_ = counts;
}

void WriteBatch::Apply(ResultsDb& db, const Step& step) {
  switch (step.op) {
    case Op::kEndRun:
      db.MarkRunEnded(ending_, counts_);
      break;
    case Op::kInsertMisc: {
      const MiscRow& row = misc_.rows[step.row];
      db.InsertMisc(row.path, row.rpt_date, row.data_id);
      break;
    }
    case Op::kSetPinOK:
    case Op::kSetPinNotOK:
      db.SetPinOK(keys_[step.row], step.op == Op::kSetPinOK);
      break;
    case Op::kUpdateRecord:
      db.UpdateRecord(records_.rows[step.row]);
      break;
    case Op::kInsertTRCT:
    case Op::kInsertTRCU:
      db.InsertTotals(step.op == Op::kInsertTRCT ? TotalsTable::kTRCT : TotalsTable::kTRCU,
                      totals_.rows[step.row]);
      break;
    case Op::kUpdateTRCT:
    case Op::kUpdateTRCU:
      db.UpdateTotals(step.op == Op::kUpdateTRCT ? TotalsTable::kTRCT : TotalsTable::kTRCU,
                      totals_.rows[step.row]);
      break;
  }
}

void WriteBatch::WriteTo(ResultsDb& db) {
  try {
    if (!empty()) {
      db.Begin();
      db.InsertRecords(std::span<const RecordRow>(new_records_.rows.data(), new_records_.used));
      for (const Step& step : steps_) Apply(db, step);
      db.InsertErrors(std::span<const ErrorRow>(errors_.rows.data(), errors_.used));
    }
    // An empty batch that commits still commits what the batches before it
    // left open.
    if (commits_) db.Commit();
  } catch (...) {
    db.Rollback();
    Clear();
    throw;
  }
  Clear();
}

void WriteBatch::Clear() {
  steps_.clear();
  misc_.used = 0;
  new_records_.used = 0;
  records_.used = 0;
  errors_.used = 0;
  totals_.used = 0;
  keys_.clear();
  commits_ = true;
}

}  // namespace lintaro
