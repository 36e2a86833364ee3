// Batches written on the run's writer thread store what one batch stores,
// numbered as the database would number them, findings many to a
// statement; after a batch that fails nothing is written (a store that
// fills up during a check run is in tests/run/check_run.trace).
#include "store/batch_writer.h"

#include <gtest/gtest.h>

#include "store/results_db.h"
#include "store/run_results.h"
#include "support/fakes.h"
#include "support/run_fixture.h"

namespace lintaro {
namespace {

// Every row of the five tables, as text, in key order.
std::string Dump(ResultsDb& db) {
  testing::RunOutput rows;
  testing::ReadBack(db, rows);
  std::string text = testing::StoredRows(rows);
  for (const MiscRow& file : rows.files) text += std::to_string(file.data_id) + file.path + "\n";
  return text;
}

// A run's writes: two files, employers, records with findings and a PIN
// result set late.
void WriteRun(RunResults& run, int records) {
  run.AddFile("/a.txt", "01/02/2008");
  for (int r = 1; r <= records; ++r) {
    if (r % 7 == 1) {
      run.OpenEmployer("31000000" + std::to_string(r % 10));
      run.employer(TotalsTable::kTRCT)->count = r;
      run.MarkEmployerChanged(TotalsTable::kTRCT);
    }
    run.AppendRecord(r, r % 7 == 1 ? "RCE" : "RCW", "RECORD " + std::to_string(r));
    run.current().rec_reference = std::to_string(200000000 + r);
    for (int e = 0; e < r % 3; ++e) run.AppendError("", "Field", "[x]", "Finding");
    if (r == records / 2) run.AddFile("/b.txt", "01/02/2008");
    run.EndRecord();
  }
  run.SetPinOK(true);
}

TEST(BatchWriter, BatchesWrittenOnTheWritersThreadStoreWhatOneBatchStores) {
  testing::TempDir dir;
  auto whole = ResultsDb::CreateInMemory();
  auto small = ResultsDb::Create(dir.str() + "/small.db");
  {
    RunResults run(*whole, 100000);  // one batch, written by Flush on this thread
    WriteRun(run, 200);
    run.Flush();
    EXPECT_EQ(run.peak_batches_waiting(), 0u);
  }
  {
    RunResults run(*small, 3);  // 66 batches through the thread
    WriteRun(run, 200);
    run.Flush();
    EXPECT_GE(run.peak_batches_waiting(), 1u);
    // The queue is bounded: one batch written, one waiting.
    EXPECT_LE(run.peak_batches_waiting(), BatchWriter::kMaxWaiting);
  }
  EXPECT_EQ(small->CountRecords(), 200);
  EXPECT_TRUE(small->ReadMisc().back().pin_ok);
  EXPECT_EQ(Dump(*small), Dump(*whole));
}

// A run hands its rows over every RunResults::kHandRecords records, so that
// few are held at a time, but commits only every batch_records records: a
// reader never sees part of a batch, and the rows are those of one batch.
TEST(BatchWriter, RowsGoOverInSmallBatchesAndAreCommittedEveryBatchRecords) {
  static_assert(RunResults::kHandRecords < 1000);
  testing::TempDir dir;
  auto whole = ResultsDb::CreateInMemory();
  auto db = ResultsDb::Create(dir.str() + "/results.db");
  {
    RunResults run(*whole, 100000);
    WriteRun(run, 2500);
  }
  {
    RunResults run(*db, 1000);
    run.AddFile("/a.txt", "01/02/2008");
    for (int r = 1; r <= 1700; ++r) {
      run.AppendRecord(r, "RCW", "RECORD " + std::to_string(r));
      run.AppendError("", "Field", "[x]", "Finding");
      run.EndRecord();
      if (r == RunResults::kHandRecords) {
        EXPECT_EQ(run.peak_batches_waiting(), 1u);
      }
    }
    const int64_t seen = ResultsDb::Open(dir.str() + "/results.db", true)->CountRecords();
    EXPECT_TRUE(seen == 0 || seen == 1000) << seen;
  }
  db->Clear();
  {
    RunResults run(*db, 1000);
    WriteRun(run, 2500);
  }
  EXPECT_EQ(Dump(*db), Dump(*whole));
}

TEST(BatchWriter, RowsAreNumberedOnAsTheDatabaseWouldNumberThem) {
  auto db = ResultsDb::CreateInMemory();
  db->Begin();
  db->InsertMisc("/old.txt", "01/01/2008");
  db->InsertError(ErrorRow{0, "", 1, "R", "E", "M"});
  db->InsertError(ErrorRow{0, "", 1, "R", "E", "M"});
  db->InsertTotals(TotalsTable::kTRCU, TotalsRow(TotalsTable::kTRCU));
  db->Commit();
  RunResults run(*db, 1);
  run.AddFile("/new.txt", "01/01/2008");
  run.OpenEmployer("310000001");
  EXPECT_EQ(run.employer(TotalsTable::kTRCT)->indx, 1);
  EXPECT_EQ(run.employer(TotalsTable::kTRCU)->indx, 2);
  run.AppendRecord(1, "RCE", "RCE");
  EXPECT_EQ(run.AppendError("", "R", "[E]", "M"), 3);
  run.Flush();
  EXPECT_EQ(db->ReadMisc().back().data_id, 2);
  EXPECT_EQ(db->ReadLastError()->err_num, 3);
}

// A row moved into a batch is written as it was when moved, whatever the
// caller then puts in its own; a batch used again hands the caller the
// storage of a row it wrote, so that the run's row takes the next record
// without allocating.
TEST(BatchWriter, ARowMovedInIsWrittenAsMovedAndGivesBackStorageOfOneWritten) {
  auto db = ResultsDb::CreateInMemory();
  WriteBatch batch;
  const std::string first(1024, 'A');
  RecordRow row{1, "RCW", 0, 2, first, "200000001"};
  batch.InsertRecord(std::move(row));
  row = RecordRow{2, "RCO", 0, 0, "RCO", ""};
  batch.InsertRecord(row);
  batch.WriteTo(*db);
  ASSERT_EQ(db->CountRecords(), 2);
  EXPECT_EQ(db->ReadRecord(1)->record, first);
  EXPECT_EQ(db->ReadRecord(1)->rec_reference, "200000001");
  EXPECT_EQ(db->ReadRecord(1)->errors, 2);

  row.record.assign(1024, 'B');
  row.rec_num = 3;
  row.rec_reference = "200000003";
  batch.InsertRecord(std::move(row));
  EXPECT_GE(row.record.capacity(), first.size());
  batch.UpdateRecord(RecordRow{2, "RCO", 0, 1, "RCO", ""});
  row.record.assign(1024, 'C');
  batch.WriteTo(*db);
  EXPECT_EQ(db->ReadRecord(2)->errors, 1);
  EXPECT_EQ(db->ReadRecord(3)->record, std::string(1024, 'B'));
  EXPECT_EQ(db->ReadRecord(3)->rec_reference, "200000003");
}

// A batch writes the records it inserts before its other rows and its
// findings after them, many to a statement while enough are left: they are
// the rows that storing them one by one leaves (a record updated after,
// findings numbered alike), and a row that fails takes the whole batch with
// it, the rows of its own statement before it too.
TEST(BatchWriter, RowsWrittenManyToAStatementAreThoseStoredOneByOne) {
  static_assert(ResultsDb::kRecordsPerInsert == ResultsDb::kErrorsPerInsert);
  const int64_t n = 2 * static_cast<int64_t>(ResultsDb::kErrorsPerInsert) + 5;
  // Rows of every kind: records of two identifiers, some not ASCII, some
  // without a reference; findings of three records each, every fifth
  // numbered by the database, some critical, some not ASCII. A repeated
  // number (the row before's) makes the batch fail.
  auto fill = [n](WriteBatch& batch, ResultsDb* one_by_one, int64_t repeated_record,
                  int64_t repeated_finding) {
    for (int64_t r = 1; r <= n; ++r) {
      const RecordRow record{r == repeated_record ? r - 1 : r,
                             r % 4 == 0 ? "RCE" : "RCW",
                             r / 4,
                             static_cast<int32_t>(r % 3),
                             "RECORD " + std::to_string(r) + (r % 5 == 0 ? " \xe9" : ""),
                             r % 2 == 0 ? "" : std::to_string(200000000 + r)};
      batch.InsertRecord(record);
      if (one_by_one != nullptr) one_by_one->InsertRecord(record);
    }
    RecordRow updated{n, "RCW", 0, 7, "UPDATED", ""};
    batch.UpdateRecord(updated);
    if (one_by_one != nullptr) one_by_one->UpdateRecord(updated);
    for (int64_t e = 1; e <= n; ++e) {
      const int64_t err_num = e == repeated_finding ? e - 1 : e % 5 == 0 ? 0 : e;
      const ErrorRow row{err_num,
                         e % 9 == 0 ? "C" : "",
                         (e + 2) / 3,
                         "Ref " + std::to_string(e),
                         e % 4 == 0 ? "\xe9t\xe9" : "[" + std::to_string(e) + "]",
                         "Finding \x80 " + std::to_string(e)};
      ErrorRow& in_batch = batch.InsertError(row.err_num, row.type, row.rec_num);
      in_batch.reference = row.reference;
      in_batch.user_entry = row.user_entry;
      in_batch.error = row.error;
      if (one_by_one != nullptr) one_by_one->InsertError(row);
    }
  };
  auto one_by_one = ResultsDb::CreateInMemory();
  auto db = ResultsDb::CreateInMemory();
  WriteBatch batch;
  one_by_one->Begin();
  fill(batch, one_by_one.get(), -1, -1);
  one_by_one->Commit();
  batch.WriteTo(*db);
  EXPECT_EQ(db->CountRecords(), n);
  EXPECT_EQ(db->CountErrors(), n);
  EXPECT_EQ(db->ReadLastError()->error, "Finding \x80 " + std::to_string(n));
  EXPECT_EQ(Dump(*db), Dump(*one_by_one));

  // A record or a finding repeated in the second statement, or a finding
  // among those stored one by one: nothing of the batch stays.
  for (auto [record, finding] :
       {std::pair<int64_t, int64_t>{40, -1}, {-1, ResultsDb::kErrorsPerInsert + 3}, {-1, n}}) {
    SCOPED_TRACE(std::to_string(record) + " " + std::to_string(finding));
    db->Clear();
    fill(batch, nullptr, record, finding);
    EXPECT_THROW(batch.WriteTo(*db), StoreError);
    EXPECT_TRUE(batch.empty());
    EXPECT_EQ(db->CountRecords(), 0);
    EXPECT_EQ(db->CountErrors(), 0);
  }
}

// Records and findings numbered one after another, as a run numbers them,
// are stored under their own numbers, many to a statement, after the
// table's last row; numbered below it they fail rather than being stored
// under other numbers, and so do they when the first repeats a number
// stored.
TEST(BatchWriter, RowsNumberedInTurnKeepTheirNumbersOrFail) {
  const auto records = [](int64_t first, size_t count) {
    std::vector<RecordRow> rows;
    for (size_t k = 0; k < count; ++k) {
      const int64_t n = first + static_cast<int64_t>(k);
      rows.push_back({n, "RCW", 0, 1, "RECORD " + std::to_string(n), ""});
    }
    return rows;
  };
  const auto findings = [](int64_t first, size_t count) {
    std::vector<ErrorRow> rows;
    for (size_t k = 0; k < count; ++k) {
      const int64_t n = first + static_cast<int64_t>(k);
      rows.push_back({n, "", n, "Ref " + std::to_string(n), "[x]", "Finding"});
    }
    return rows;
  };
  const size_t n = 2 * ResultsDb::kErrorsPerInsert + 3;
  static_assert(ResultsDb::kRecordsPerInsert == ResultsDb::kErrorsPerInsert);
  auto db = ResultsDb::CreateInMemory();
  for (int64_t e : {1, 3}) {
    db->InsertRecord(records(e, 1)[0]);
    db->InsertError(findings(e, 1)[0]);
  }
  db->InsertRecords(records(4, n));
  db->InsertErrors(findings(4, n));
  for (int64_t e = 1; e < 4 + static_cast<int64_t>(n); ++e) {
    SCOPED_TRACE(e);
    const std::optional<RecordRow> record = db->ReadRecord(e);
    const std::vector<ErrorRow> errors = db->ReadErrorsOf(e);
    if (e == 2) {
      EXPECT_FALSE(record);
      EXPECT_TRUE(errors.empty());
      continue;
    }
    ASSERT_TRUE(record);
    EXPECT_EQ(record->record, "RECORD " + std::to_string(e));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].err_num, e);
    EXPECT_EQ(errors[0].reference, "Ref " + std::to_string(e));
  }

  // Below the last row, from a number that is free (2) or one stored (5).
  const size_t statement = ResultsDb::kErrorsPerInsert;
  for (int64_t first : {2, 5}) {
    SCOPED_TRACE(first);
    auto other = ResultsDb::CreateInMemory();
    other->InsertRecords(records(3, statement));
    other->InsertErrors(findings(3, statement));
    other->Begin();
    EXPECT_THROW(other->InsertRecords(records(first, statement)), StoreError);
    EXPECT_THROW(other->InsertErrors(findings(first, statement)), StoreError);
    other->Rollback();
    EXPECT_EQ(other->CountRecords(), static_cast<int64_t>(statement));
    EXPECT_EQ(other->CountErrors(), static_cast<int64_t>(statement));
  }
}

// A batch that fails on the writer's thread: its failure comes out once,
// nothing handed over after it is written, though it would have been, and
// the run's ending neither, so the results read as unfinished.
TEST(BatchWriter, NothingIsWrittenAfterABatchFailsNotEvenTheRunsEnding) {
  auto db = ResultsDb::CreateInMemory();
  auto batch_of = [](int64_t rec_num) {
    auto batch = std::make_unique<WriteBatch>();
    batch->InsertRecord(RecordRow{rec_num, "RCW", 0, 0, "RCW", ""});
    return batch;
  };
  int failures = 0;
  {
    BatchWriter writer(*db);
    for (int64_t rec_num : {1, 1, 3, 4}) {  // the second stores record 1 again
      try {
        writer.Hand(batch_of(rec_num));
      } catch (const StoreError&) {
        ++failures;
      }
    }
    auto last = batch_of(5);
    last->EndRun(RunEnding::kCompleted, {.rcw_records = 0, .findings = 0, .records = 0});
    try {
      writer.Finish(std::move(last));
    } catch (const StoreError&) {
      ++failures;
    }
  }
  EXPECT_EQ(failures, 1);
  EXPECT_EQ(db->CountRecords(), 1);
  EXPECT_EQ(db->ReadRun()->ending, std::nullopt);

  // Without the failure the same batches end the run with their last rows.
  db->Clear();
  {
    BatchWriter writer(*db);
    for (int64_t rec_num : {1, 2, 3, 4}) writer.Hand(batch_of(rec_num));
    auto last = batch_of(5);
    last->EndRun(RunEnding::kCompleted, {.rcw_records = 0, .findings = 0, .records = 0});
    writer.Finish(std::move(last));
  }
  EXPECT_EQ(db->CountRecords(), 5);
  EXPECT_EQ(db->ReadRun()->ending, RunEnding::kCompleted);
}

}  // namespace
}  // namespace lintaro
