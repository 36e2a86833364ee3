// The shipped example submissions (scripts/make-samples) against the
// submitter, employer and final record checks.
#include <gtest/gtest.h>

#include "records/messages.h"
#include "support/cli_runner.h"

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

TEST(Samples, CleanSubmissionHasNoSubmitterEmployerOrFinalFindings) {
  RunOutput out = RunSample("clean.txt");
  ASSERT_FALSE(out.records.empty());
  for (const RecordRow& r : out.records)
    if (r.id == "RCA" || r.id == "RCE" || r.id == "RCF") {
      EXPECT_TRUE(FindingsOf(out.errors, r.rec_num).empty()) << r.id << " " << r.rec_num;
    }
  EXPECT_EQ(out.records.back().id, "RCF");
  EXPECT_TRUE(out.files.at(0).pin_ok);
  EXPECT_EQ(out.trct.size(), 2u);
}

TEST(Samples, MistakesAreFoundInTheSubmitterEmployerAndFinalRecords) {
  RunOutput out = RunSample("mistakes.txt");
  ASSERT_FALSE(out.records.empty());
  const std::vector<Finding> rca = {
      {"Personal Identification Number [Position 13 - 20]", "[AB12-D34]",
       "Must not be blank. Must be alphanumeric. This is a mandatory field."},
      {"Delivery Address [Position 111 - 132]", Entry(Spaces(22)),
       "If Preferred Method of Problem Notification Code [Position 315] equals 2, then the "
       "Delivery Address field cannot be blank."},
      {"Resub WFID [Position 318-323]", "[      ]",
       "If Resub Indicator [Position 317] equals 1, then the Resub WFID field cannot be blank. "
       "The 6 digit WFID is located on the notice sent by Wagemark."}};
  EXPECT_EQ(FindingsOf(out.errors, 1), rca);
  const std::vector<Finding> rce = {
      {"Tax Year [Position 4 - 7]", "[2006]",
       "The date entered is for a previous tax year. Please check that the earnings are for the "
       "year being reported."},
      {"Agent for EIN [Position 27 - 35]", Entry(Spaces(9)),
       "If Agent Indicator Code [Position 26] is \"1\", then Agent for EIN cannot be blank"},
      {"Employer's Correct Establishment Number [Position 40 - 43]", "[0001]", kBothBlank}};
  EXPECT_EQ(FindingsOf(out.errors, 2), rce);
  auto rcf = FindingsOf(out.errors, out.records.back().rec_num);
  ASSERT_EQ(rcf.size(), 1u);
  EXPECT_EQ(rcf[0].reference, "Number of RCW Records [Position 4 - 12]");
  for (const RecordRow& r : out.records)  // the second employer record is clean
    if (r.id == "RCE" && r.rec_num != 2) { EXPECT_TRUE(FindingsOf(out.errors, r.rec_num).empty()); }
}

TEST(Samples, EmployeeAndTotalRecords) {
  RunOutput clean = RunSample("clean.txt");
  EXPECT_EQ(clean.summary.outcome, RunOutcome::kClean);
  std::set<std::string> ids, with_findings;
  for (const RecordRow& r : clean.records) ids.insert(r.id);
  const std::set<std::string> all = {"RCA", "RCE", "RCW", "RCO", "RCT", "RCU", "RCF"};
  EXPECT_EQ(ids, all);
  // The mistakes sample has one finding per employee record, at most one
  // per total record.
  for (const RecordRow& r : RunSample("mistakes.txt").records) {
    if (r.errors > 0) with_findings.insert(r.id);
    if (r.id == "RCW" || r.id == "RCO" || r.id == "RCF") { EXPECT_EQ(r.errors, 1) << r.rec_num; }
    if (r.id == "RCT" || r.id == "RCU") { EXPECT_LE(r.errors, 1) << r.rec_num; }
  }
  EXPECT_EQ(with_findings, all);
}

}  // namespace
}  // namespace lintaro
