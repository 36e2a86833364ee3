#include "store/batch_writer.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "store/results_db.h"
#include "store/run_results.h"
#include "support/fakes.h"

namespace lintaro {
namespace {

int64_t QueryNumber(ResultsDb& db, const std::string& sql) {
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &s, nullptr);
  int64_t n = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : -1;
  sqlite3_finalize(s);
  return n;
}

// Every row of the five tables, as text, in key order.
std::string Dump(ResultsDb& db) {
  std::string text;
  for (const char* table : {"MISC", "RECORDS", "ERRORS", "TRCT", "TRCU"}) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db.handle(),
                       (std::string("SELECT * FROM ") + table + " ORDER BY rowid").c_str(), -1, &s,
                       nullptr);
    while (sqlite3_step(s) == SQLITE_ROW) {
      text += table;
      for (int c = 0; c < sqlite3_column_count(s); ++c) {
        const auto* v = reinterpret_cast<const char*>(sqlite3_column_text(s, c));
        text += "|" + std::string(v ? v : "NULL");
      }
      text += "\n";
    }
    sqlite3_finalize(s);
  }
  return text;
}

// A run's writes: two files, employers, records with findings, a deleted
// last record and a PIN result set late.
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
  run.AppendRecord(records + 1, "\x1a", "\x1a");
  run.DeleteCurrent();
  run.SetPinOK(true);
}

class BatchWriterTest : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return dir.str() + "/" + name; }
  testing::TempDir dir;
};

TEST_F(BatchWriterTest, BatchesWrittenOnTheWritersThreadStoreWhatOneBatchStores) {
  auto whole = ResultsDb::Create(path("whole.db"));
  auto small = ResultsDb::Create(path("small.db"));
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
  EXPECT_EQ(QueryNumber(*small, "SELECT COUNT(*) FROM RECORDS"), 200);
  EXPECT_EQ(QueryNumber(*small, "SELECT COUNT(*) FROM MISC WHERE PinOK = 1"), 1);
  EXPECT_EQ(Dump(*small), Dump(*whole));
}

TEST_F(BatchWriterTest, RowsAreNumberedOnAsTheDatabaseWouldNumberThem) {
  auto db = ResultsDb::Create(path("r.db"));
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

// A database that can take only a few pages: the writer's batch that does
// not fit fails.
std::unique_ptr<ResultsDb> SmallDatabase(int spare_pages) {
  auto db = ResultsDb::CreateInMemory();
  const int64_t pages = QueryNumber(*db, "PRAGMA page_count");
  sqlite3_exec(db->handle(),
               ("PRAGMA max_page_count = " + std::to_string(pages + spare_pages)).c_str(), nullptr,
               nullptr, nullptr);
  return db;
}

TEST_F(BatchWriterTest, AFailedBatchIsRolledBackAndItsFailureThrownOnce) {
  auto db = SmallDatabase(12);
  const std::string record(1024, 'R');
  int thrown = 0;
  int code = 0;
  {
    RunResults run(*db, 4);
    for (int r = 1; r <= 400; ++r) {
      try {
        run.AppendRecord(r, "RCW", record);
        run.AppendError("", "Field", "[x]", "Finding");
        run.EndRecord();
      } catch (const StoreError& e) {
        ++thrown;
        code = e.code();
      }
    }
    try {
      run.Flush();
    } catch (const StoreError&) {
      ++thrown;
    }
  }
  EXPECT_EQ(thrown, 1);
  EXPECT_EQ(code & 0xff, SQLITE_FULL);
  // Whole batches only, each record with its findings.
  const int64_t stored = QueryNumber(*db, "SELECT COUNT(*) FROM RECORDS");
  EXPECT_GT(stored, 0);
  EXPECT_LT(stored, 400);
  EXPECT_EQ(stored % 4, 0);
  EXPECT_EQ(QueryNumber(*db, "SELECT COUNT(*) FROM ERRORS"), stored);
  EXPECT_EQ(QueryNumber(*db, "SELECT MAX(Rec_Num) FROM RECORDS"), stored);
  EXPECT_FALSE(db->in_transaction());
}

}  // namespace
}  // namespace lintaro
