// A check killed part-way leaves a results database that opens, passes its
// integrity check and holds whole committed batches with their findings.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>

#include <filesystem>

#include "store/results_db.h"
#include "support/cli_runner.h"
#include "support/fakes.h"

namespace lintaro {
namespace {

#ifdef LINTARO_GEN_PATH

// The first column of the first row, as text ("" when there is none).
std::string Query(sqlite3 *db, const char *sql) {
  sqlite3_stmt *s = nullptr;
  sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
  std::string v;
  if (sqlite3_step(s) == SQLITE_ROW) v = reinterpret_cast<const char *>(sqlite3_column_text(s, 0));
  sqlite3_finalize(s);
  return v;
}

testing::RunningCli StartCheck(const std::string &home, const std::string &file) {
  return testing::StartCli({"check", "--home", home, "--max-errors", "25000", file});
}

TEST(CrashSafety, AKilledCheckLeavesWholeBatches) {
  testing::TempDir home, files;
  const std::string file = files.str() + "/big.txt";
  const std::string gen = std::string(LINTARO_GEN_PATH) + " --records 120000 --mistakes " + file;
  ASSERT_EQ(std::system(gen.c_str()), 0);
  const std::string db_path = home.str() + "/ERRLOG2C.MDB";

  int killed_with_records = 0;
  // Kill when the file has grown past one, three and six batches of
  // records (or after ten seconds), whatever the machine's speed.
  for (std::uintmax_t bytes : {5u << 20, 14u << 20, 28u << 20}) {
    std::filesystem::remove(db_path);  // the size below must be the new run's
    testing::RunningCli check = StartCheck(home.str(), file);
    testing::WaitForFileSize(db_path, bytes);
    kill(check.pid, SIGKILL);
    testing::FinishCli(check);
    if (!std::filesystem::exists(db_path)) continue;

    // The report reads what was committed, unfinished batch or not.
    const auto report = testing::RunCli({"report", "--home", home.str(), "--format", "json"});

    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(db_path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(Query(db, "PRAGMA integrity_check"), "ok") << bytes;
    const std::string records = Query(db, "SELECT COUNT(*) FROM RECORDS");
    // Records are numbered 1..n without gaps: nothing half-written.
    EXPECT_EQ(Query(db, "SELECT COALESCE(MAX(Rec_Num), 0) FROM RECORDS"), records);
    // Every finding belongs to a stored record, and every record counts its
    // own findings.
    EXPECT_EQ(Query(db,
                    "SELECT COUNT(*) FROM ERRORS WHERE Rec_Num NOT IN "
                    "(SELECT Rec_Num FROM RECORDS)"),
              "0");
    EXPECT_EQ(Query(db,
                    "SELECT COUNT(*) FROM RECORDS r WHERE r.Errors <> "
                    "(SELECT COUNT(*) FROM ERRORS e WHERE e.Rec_Num = r.Rec_Num)"),
              "0");
    if (records != "0") {
      ++killed_with_records;
      EXPECT_EQ(report.status, 0) << report.err;
      EXPECT_NE(report.out.find("\"records_tested\": " + records + ","), std::string::npos)
          << report.out.substr(0, 400);
    }
    sqlite3_close(db);
  }
  EXPECT_GT(killed_with_records, 0) << "no kill happened after the first batch";

  // The next check replaces the file cleanly.
  testing::RunningCli again = StartCheck(home.str(), file);
  const int status = testing::FinishCli(again).status;
  EXPECT_TRUE(status == 0 || status == 1) << status;  // exited, with or without findings
  auto results = ResultsDb::Open(db_path, true);
  EXPECT_GT(results->CountRecords(), 0);
  EXPECT_EQ(results->ReadMisc().size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(db_path + "-journal"));
}

#endif

}  // namespace
}  // namespace lintaro
