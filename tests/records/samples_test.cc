// The shipped example submissions (scripts/make-samples) against the
// submitter, employer and final record checks.
#include <gtest/gtest.h>

#include "support/cli_runner.h"
#include "support/run_fixture.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;

RunOutput RunSample(const std::string& name) {
  const std::string all = ReadWholeFile(std::string(LINTARO_SOURCE_DIR) + "/samples/" + name);
  std::vector<std::string> records;
  for (size_t at = 0; at < all.size();) {
    size_t end = std::min(all.find("\r\n", at), all.size());
    records.push_back(all.substr(at, end - at));
    at = end + 2;
  }
  EXPECT_GT(records.size(), 4u) << name;
  return RunRecords(records);
}

TEST(Samples, CleanHasNoFindingsAndMistakesHasSomeInEveryRecordType) {
  RunOutput clean = RunSample("clean.txt");
  EXPECT_EQ(clean.summary.outcome, RunOutcome::kClean);
  EXPECT_TRUE(clean.files.at(0).pin_ok);
  EXPECT_EQ(clean.trct.size(), 2u);
  std::set<std::string> ids, with_findings;
  for (const RecordRow& r : clean.records) ids.insert(r.id);
  const std::set<std::string> all = {"RCA", "RCE", "RCW", "RCO", "RCT", "RCU", "RCF"};
  EXPECT_EQ(ids, all);
  // One finding per employee and final record, at most one per total
  // record; the second employer record is clean.
  for (const RecordRow& r : RunSample("mistakes.txt").records) {
    if (r.errors > 0) with_findings.insert(r.id);
    if (r.id == "RCW" || r.id == "RCO" || r.id == "RCF") {
      EXPECT_EQ(r.errors, 1) << r.rec_num;
    } else if (r.id == "RCT" || r.id == "RCU") {
      EXPECT_LE(r.errors, 1) << r.rec_num;
    } else if (r.id == "RCE" && r.rec_num != 2) {
      EXPECT_EQ(r.errors, 0) << r.rec_num;
    }
  }
  EXPECT_EQ(with_findings, all);
}

}  // namespace
}  // namespace lintaro
