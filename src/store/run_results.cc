#include "store/run_results.h"

namespace lintaro {

RunResults::RunResults(std::unique_ptr<ResultsDb> db, int batch_records)
    : RunResults(*db, batch_records) {
  owned_db_ = std::move(db);
}

RunResults::RunResults(ResultsDb& db, int batch_records)
    : db_(&db),
      batch_records_(batch_records < 1 ? 1 : batch_records),
      hand_records_(batch_records_ < kHandRecords ? batch_records_ : kHandRecords),
      writer_(db) {
  error_count_ = db_->CountErrors();
  last_keys_ = db_->ReadLastKeys();
  batch_ = writer_.Take();
}

RunResults::~RunResults() {
  try {
    Flush();
  } catch (...) {
    // The database is left as last committed; the file still opens.
  }
}

void RunResults::AddFile(const std::string& path_utf8, const std::string& rpt_date) {
  misc_id_ = ++last_keys_.misc;
  batch_->InsertMisc(misc_id_, path_utf8, rpt_date);
  if (pin_ok_) batch_->SetPinOK(misc_id_, true);
}

void RunResults::SetPinOK(bool pin_ok) {
  pin_ok_ = pin_ok;
  if (misc_id_ == 0) return;
  batch_->SetPinOK(misc_id_, pin_ok);
}

void RunResults::WriteCurrent() {
  if (!current_) return;
  if (current_stored_) {
    batch_->UpdateRecord(*current_);
  } else {
    batch_->InsertRecord(*current_);
    current_stored_ = true;
  }
}

void RunResults::HandOverCurrent() {
  if (current_stored_)
    batch_->UpdateRecord(std::move(*current_));
  else
    batch_->InsertRecord(std::move(*current_));
}

void RunResults::AppendRecord(int64_t rec_num, const std::string& id, const std::string& record) {
  if (current_) {
    previous_id_ = current_->id;
    HandOverCurrent();
  } else {
    current_.emplace();
  }
  RecordRow& row = *current_;
  row.rec_num = rec_num;
  row.id = id;
  row.rce_indx = 0;
  row.errors = 0;
  row.record = record;
  row.rec_reference.clear();
  ++id_counts_[id];
  current_stored_ = false;
}

int64_t RunResults::AppendError(std::string_view type, std::string_view reference,
                                std::string_view user_entry, std::string_view message) {
  ErrorRow& row = AppendError(type);
  row.reference.assign(reference);
  row.user_entry.assign(user_entry);
  row.error.assign(message);
  return row.err_num;
}

ErrorRow& RunResults::AppendError(std::string_view type) {
  ErrorRow& row = batch_->InsertError(++last_keys_.error, type, current_ ? current_->rec_num : 0);
  if (current_) ++current_->errors;
  ++error_count_;
  last_error_type_.assign(type);
  return row;
}

void RunResults::OpenEmployer(const std::string& rce_ein) {
  WriteEmployers();
  for (TotalsTable t : {TotalsTable::kTRCT, TotalsTable::kTRCU}) {
    TotalsRow row(t);
    row.rce_ein = rce_ein;
    row.indx = ++last_keys_.totals[static_cast<int>(t)];
    batch_->InsertTotals(t, row);
    employer_[static_cast<int>(t)] = std::move(row);
    employer_changed_[static_cast<int>(t)] = false;
  }
}

void RunResults::MarkEmployerChanged(TotalsTable table) {
  employer_changed_[static_cast<int>(table)] = true;
}

std::optional<TotalsRow> RunResults::EmployerRow(TotalsTable table, int64_t rec_num) {
  const TotalsRow* row = employer(table);
  if (current_ && current_->rec_num == rec_num) {
    if (current_->rce_indx == 0) return std::nullopt;
    if (row && row->indx == current_->rce_indx) return *row;
  }
  // A record other than the one under test: read what is stored.
  Flush();
  return db_->ReadTotalsForRecord(table, rec_num);
}

std::vector<ErrorRow> RunResults::ErrorsOf(int64_t rec_num) {
  Flush();
  return db_->ReadErrorsOf(rec_num);
}

bool RunResults::HasFinding(int64_t rec_num, std::string_view reference) {
  Flush();
  for (const ErrorRow& row : db_->ReadErrorsOf(rec_num))
    if (row.reference == reference) return true;
  return false;
}

int64_t RunResults::CountRecordsWithId(std::string_view id) {
  // Counted as the records are appended: a count over the stored table
  // would read every record again at each final record.
  auto it = id_counts_.find(id);
  return it == id_counts_.end() ? 0 : it->second;
}

void RunResults::WriteEmployers() {
  for (int i = 0; i < 2; ++i) {
    if (employer_[i] && employer_changed_[i]) {
      batch_->UpdateTotals(static_cast<TotalsTable>(i), *employer_[i]);
      employer_changed_[i] = false;
    }
  }
}

void RunResults::EndRecord() {
  ++records_in_batch_;
  if (records_in_batch_ >= batch_records_) {
    // The committed rows are whole: the current record and employer too.
    WriteCurrent();
    WriteEmployers();
    records_in_batch_ = 0;
    HandBatch(true);
  } else if (records_in_batch_ % hand_records_ == 0) {
    HandBatch(false);
  }
}

void RunResults::HandBatch(bool commit) {
  std::unique_ptr<WriteBatch> full = std::move(batch_);
  if (!commit) full->LeaveTransactionOpen();
  batch_ = writer_.Take();
  writer_.Hand(std::move(full));
}

void RunResults::Finish(RunEnding ending) {
  WriteCurrent();
  WriteEmployers();
  // The viewer's check of the final record compares the RCW records of the
  // whole file; recorded here, a reader need not count a million records.
  // The counts of records and findings let a reader tell results that lost
  // rows since (the last records, or findings) from the run's.
  batch_->EndRun(ending, {.rcw_records = CountRecordsWithId("RCW"),
                          .findings = error_count_,
                          .records = current_ ? current_->rec_num : 0});
  WriteLastBatch();
}

void RunResults::Flush() {
  WriteCurrent();
  WriteEmployers();
  WriteLastBatch();
}

void RunResults::WriteLastBatch() {
  records_in_batch_ = 0;
  std::unique_ptr<WriteBatch> last = std::move(batch_);
  batch_ = writer_.Take();
  writer_.Finish(std::move(last));
}

}  // namespace lintaro
