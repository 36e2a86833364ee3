// A check killed part-way leaves a results database that opens, passes its
// integrity check and holds whole committed batches with their findings.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "store/results_db.h"
#include "support/cli_runner.h"
#include "support/fakes.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;

#ifdef LINTARO_GEN_PATH

// The database's integrity, then its records, the highest record number,
// the findings that name no stored record and the records whose Errors is
// not their number of findings: "ok\nN|N|0|0\n" when nothing is half-written.
const char* kConsistency =
    "PRAGMA integrity_check; SELECT COUNT(*), COALESCE(MAX(Rec_Num), 0), "
    "(SELECT COUNT(*) FROM ERRORS WHERE Rec_Num NOT IN (SELECT Rec_Num FROM RECORDS)), "
    "(SELECT COUNT(*) FROM RECORDS r WHERE r.Errors <> "
    "(SELECT COUNT(*) FROM ERRORS e WHERE e.Rec_Num = r.Rec_Num)) FROM RECORDS;";

TEST(CrashSafety, AKilledCheckLeavesWholeBatches) {
  TempDir home, files;
  const std::string file = files.str() + "/big.txt";
  const std::string gen = std::string(LINTARO_GEN_PATH) + " --records 120000 --mistakes " + file;
  ASSERT_EQ(std::system(gen.c_str()), 0);
  const std::string db = home.str() + "/ERRLOG2C.MDB";
  const std::vector<std::string> check = {"check",        "--home", home.str(),
                                          "--max-errors", "25000",  file};
  int killed_with_records = 0;
  // Kill when the file has grown past one, three and six batches of
  // records (or after ten seconds), whatever the machine's speed.
  for (std::uintmax_t bytes : {5u << 20, 14u << 20, 28u << 20}) {
    std::filesystem::remove(db);  // the size below must be the new run's
    RunningCli running = StartCli(check);
    WaitForFileSize(db, bytes);
    kill(running.pid, SIGKILL);
    FinishCli(running);
    if (!std::filesystem::exists(db)) continue;
    // The report reads what was committed, unfinished batch or not.
    const CliResult report = RunCli({"report", "--home", home.str(), "--format", "json"});
    const std::string found = RunShell("sqlite3 '" + db + "' '" + kConsistency + "'").out;
    const std::string records = found.substr(3, found.find('|') - 3);
    EXPECT_EQ(found, "ok\n" + records + "|" + records + "|0|0\n") << bytes;
    if (records == "0") continue;
    ++killed_with_records;
    EXPECT_EQ(report.status, 0) << report.err;
    EXPECT_NE(report.out.find("\"records_tested\": " + records + ","), std::string::npos)
        << report.out.substr(0, 400);
  }
  EXPECT_GT(killed_with_records, 0) << "no kill happened after the first batch";

  // The next check replaces the file cleanly.
  const int status = RunCli(check).status;
  EXPECT_TRUE(status == 0 || status == 1) << status;  // exited, with or without findings
  auto results = ResultsDb::Open(db, true);
  EXPECT_GT(results->CountRecords(), 0);
  EXPECT_EQ(results->ReadMisc().size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(db + "-journal"));
}

#endif

}  // namespace
}  // namespace lintaro
