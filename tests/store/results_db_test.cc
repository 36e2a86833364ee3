#include "store/results_db.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "support/cli_runner.h"
#include "support/fakes.h"
#include "support/line_diff.h"

namespace lintaro {
namespace {

// The first column of each row the statement gives, a line per row.
std::string Query(ResultsDb& db, const char* sql) {
  std::string text;
  sqlite3_exec(
      db.handle(), sql,
      [](void* text, int, char** column, char**) {
        *static_cast<std::string*>(text) += (column[0] ? column[0] : "NULL") + std::string("\n");
        return 0;
      },
      &text, nullptr);
  return text;
}

class ResultsDbTest : public ::testing::Test {
 protected:
  std::string path() const { return dir.str() + "/ERRLOG2C.MDB"; }
  testing::TempDir dir;
};

TEST_F(ResultsDbTest, TablesHaveTheirColumnsAndANewTotalsRowHoldsTheDefaults) {
  auto db = ResultsDb::Create(path());
  testing::ExpectFileHolds(std::string(LINTARO_SOURCE_DIR) + "/tests/store/results_db.columns",
                           Query(*db,
                                 "SELECT m.name || ' ' || c.name FROM sqlite_master m, "
                                 "pragma_table_info(m.name) c WHERE m.type = 'table' "
                                 "ORDER BY m.rowid, c.cid"));
  ASSERT_EQ(Query(*db, "INSERT INTO TRCT DEFAULT VALUES RETURNING 'added'"), "added\n");
  TotalsRow fresh(TotalsTable::kTRCT);
  fresh.indx = 1;
  EXPECT_EQ(db->ReadTotals(TotalsTable::kTRCT, 1), fresh);
  ASSERT_EQ(fresh.pairs.size(), 25u);
  EXPECT_EQ(fresh.pairs[24].err_ref, "None");
  EXPECT_TRUE(fresh.pairs[24].correct_blank && fresh.pairs[24].orig_blank);
}

TEST_F(ResultsDbTest, RowsRoundTripWithEveryByteAndLargeSums) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  TotalsRow t(TotalsTable::kTRCU);
  {
    auto db = ResultsDb::Create(path());
    db->Begin();
    EXPECT_EQ(db->InsertMisc("/tmp/Gehälter.txt", "12/06/2026"), 1);
    db->InsertRecord(RecordRow{1, std::string("R\0A", 3), 0, 0, all, "12345678\xE9"});
    db->InsertError(ErrorRow{0, "C", 1, "Ref", "[" + all + "]", "Msg"});
    t.rce_ein = "987654321";
    t.count = 3;
    t.pair(8).correct = 999999999999999LL;  // 15 digits of cents
    t.pair(8).correct_blank = false;
    t.pair(2).err_ref = "123456789";
    t.indx = db->InsertTotals(TotalsTable::kTRCU, t);
    EXPECT_EQ(t.indx, 1);
    db->Commit();
  }
  auto db = ResultsDb::Open(path(), true);
  auto rec = db->ReadRecord(1);
  ASSERT_TRUE(rec);
  EXPECT_EQ(rec->record, all);
  EXPECT_EQ(rec->id, std::string("R\0A", 3));
  EXPECT_EQ(rec->rec_reference, "12345678\xE9");
  EXPECT_EQ(db->ReadErrorsOf(1).at(0).user_entry, "[" + all + "]");
  EXPECT_EQ(db->ReadMisc().at(0).path, "/tmp/Gehälter.txt");
  EXPECT_EQ(db->ReadTotals(TotalsTable::kTRCU, 1), t);
  // Other tools see the text as UTF-8.
  EXPECT_EQ(Query(*db, "SELECT RecReference FROM RECORDS"), "12345678\xC3\xA9\n");
}

TEST_F(ResultsDbTest, OpenAndCreateRefuseWhatIsNotAResultsDatabase) {
  EXPECT_THROW(ResultsDb::Open(path(), true), StoreError);  // missing
  dir.Write("ERRLOG2C.MDB", std::string(4096, 'x'));
  EXPECT_THROW(ResultsDb::Open(path(), true), StoreError);  // not a database
  EXPECT_THROW(ResultsDb::Create(path()), StoreError);      // never overwritten
  std::filesystem::remove(path());
  const std::string older = "sqlite3 '" + path() + "' 'CREATE TABLE MISC (Data_Id, Path)'";
  ASSERT_EQ(testing::RunShell(older).status, 0);  // a database of other tables
  EXPECT_THAT([&] { ResultsDb::Open(path(), true); },
              ::testing::ThrowsMessage<StoreError>(::testing::HasSubstr("not a results database")));
}

}  // namespace
}  // namespace lintaro
