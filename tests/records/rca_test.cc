#include <gtest/gtest.h>

#include "checks/field_checks.h"
#include "core/test_driver.h"
#include "records/record_types.h"
#include "store/results_db.h"
#include "store/results_reader.h"
#include "support/run_fixture.h"
#include "support/sample_records.h"

namespace lintaro {
namespace {

using testing::CleanRCA;
using testing::CleanRCE;
using testing::FinalRecord;
using testing::Finding;
using testing::FindingsOf;
using testing::MakeRecord;
using testing::RunRecords;
using testing::ViewFixture;

std::string Pad(const std::string& text, size_t width) {
  return text + std::string(width - text.size(), ' ');
}
std::string Spaces(size_t n) { return std::string(n, ' '); }

// A submission around one submitter record; the RCA is record 1.
std::vector<std::string> Around(const std::string& rca) {
  return {rca, CleanRCE(), MakeRecord("RCW"), MakeRecord("RCT"), FinalRecord(1)};
}

std::vector<Finding> RcaFindings(const std::string& rca) {
  return FindingsOf(RunRecords(Around(rca)).errors, 1);
}

const std::string kMandatoryNumeric =
    "This is a mandatory field and must contain only valid numeric data.";

TEST(CheckCodeRCA, CleanRecordIsStampedAndItsPinMasked) {
  auto out = RunRecords(Around(CleanRCA()));
  EXPECT_TRUE(FindingsOf(out.errors, 1).empty());
  ASSERT_FALSE(out.records.empty());
  EXPECT_EQ(out.records[0].rec_reference, "123456789");
  const std::string clean = CleanRCA();
  EXPECT_EQ(out.records[0].record, clean.substr(0, 12) + "********" + clean.substr(20));
  EXPECT_EQ(out.records[0].record.substr(261, 22), "payroll@harbor.example");
  ASSERT_EQ(out.files.size(), 1u);
  EXPECT_TRUE(out.files[0].pin_ok);
}

TEST(CheckCodeRCA, EveryRuleInOrder) {
  std::string blank_tail = Spaces(701);
  blank_tail[500 - 324] = '\t';
  const std::string rca = CleanRCA({{4, "07ABC1234"},
                                    {13, "AB 2-D34"},
                                    {21, "12A "},
                                    {30, "97"},
                                    {89, Pad("100 MA\tN ST", 22)},
                                    {133, Spaces(22)},
                                    {155, "  "},
                                    {157, "     "},
                                    {162, "12A4"},
                                    {210, "US"},
                                    {212, Pad("J&J PAYROLL", 27)},
                                    {239, Spaces(15)},
                                    {262, Pad("jos\xE9@harbor.example", 40)},
                                    {315, "2"},
                                    {316, "X"},
                                    {317, "1"},
                                    {318, "AB 12C"},
                                    {324, blank_tail}});
  auto out = RunRecords(Around(rca));
  const std::string by_mail =
      "If Preferred Method of Problem Notification Code [Position 315] equals 2, then the ";
  const std::vector<Finding> expected = {
      {"Submitter's EIN [Position 4 - 12]", "[07ABC1234]", kMandatoryNumeric},
      {"Personal Identification Number [Position 13 - 20]", "[AB 2-D34]",
       "Must not be blank. Must be alphanumeric. This is a mandatory field."},
      {"Software Vendor Code [Position 21 - 24]", "[12A ]", "Must be numeric or blank."},
      {"Software Code [Position 30 - 31]", "[97]", "Must be either 98 or 99."},
      {"Location Address [Position 89 - 110]", "[" + Pad("100 MA\tN ST", 22) + "]",
       InvalidCharMessage("95")},
      {"Delivery Address [Position 111 - 132]", "[" + Spaces(22) + "]",
       by_mail + "Delivery Address field cannot be blank."},
      {"City [Position 133 - 154]", "[" + Spaces(22) + "]", by_mail + "City field cannot be blank."},
      {"State Abbreviation [Position 155 - 156]", "[  ]",
       by_mail + "State Abbreviation field cannot be blank."},
      {"Zip Code [Position 157 - 161]", "[     ]", by_mail + "Zip Code field cannot be blank."},
      {"ZIP Code Extension [Position 162 - 165]", "[12A4]", "Must be numeric or blank."},
      {"Zip Code Extension [Position 162 - 165]", "[12A4]",
       "A value was entered in the ZIP Code Extension field and the ZIP Code field is blank. "
       "Either change the ZIP Code Extension field to blank or enter a valid ZIP Code."},
      {"Country Code [Position 210 - 211]", "[US]", "The Country Code is invalid (see Korvel)."},
      {"Contact Name [Position 212 - 238]", "[" + Pad("J&J PAYROLL", 27) + "]",
       "May only contain letters (A - Z), numbers (0 - 9), spaces, hyphens, periods, apostrophes "
       "and blanks."},
      {"Contact Phone Number [Position 239 - 253]", "[" + Spaces(15) + "]",
       "Enter a valid contact phone number. Wagemark needs a valid contact phone number to notify "
       "you if there is a problem with the wage report submission."},
      {"Contact E-Mail/Internet [Position 262 - 301]",
       "[" + Pad("jos\xE9@harbor.example", 40) + "]", InvalidCharMessage("265")},
      {"Preparer Code [Position 316]", "[X]",
       "Enter appropriate code: 'A' - Accounting Firm, 'L' - Self-Prepared, 'S' - Service "
       "Bureau, 'P' - Parent Company, 'O' - Other."},
      {"Resub WFID [Position 318 - 323]", "[AB 12C]",
       "May only contain letters (A - Z) and/or numbers (0 - 9)."},
      {"Blank [Position 324 - 1024]", "[" + blank_tail + "]", InvalidCharMessage("500")},
  };
  EXPECT_EQ(FindingsOf(out.errors, 1), expected);
  // A PIN that fails is stored as found and remembered as not valid.
  EXPECT_EQ(out.records[0].record.substr(12, 8), "AB 2-D34");
  EXPECT_FALSE(out.files[0].pin_ok);
  EXPECT_EQ(out.records[0].rec_reference, "07ABC1234");
  EXPECT_EQ(out.records[0].errors, 18);
}

TEST(CheckCodeRCA, EinPrefixes) {
  EXPECT_TRUE(RcaFindings(CleanRCA({{4, "001234567"}})).empty());
  const std::vector<Finding> expected = {
      {"Submitter's EIN [Position 4 - 12]", "[891234567]",
       "Must not start with 07, 08, 09, 17, 18, 19, 28, 29, 49, 69, 70, 78, 79, or 89. This is a "
       "mandatory field and must contain only valid numeric data."}};
  EXPECT_EQ(RcaFindings(CleanRCA({{4, "891234567"}})), expected);
}

TEST(CheckCodeRCA, EmailNotification) {
  // Notification by e-mail without an address: only that message, with
  // its own reference; the printable test is skipped.
  const std::vector<Finding> blank = {
      {"Contact E-Mail/Internet [Position 262-301]", "[" + Spaces(40) + "]",
       "If Preferred Method of Problem Notification Code [Position 315] equals 1, then the "
       "Contact E-Mail/Internet field cannot be blank."}};
  EXPECT_EQ(RcaFindings(CleanRCA({{262, Spaces(40)}})), blank);
  // The address keeps its case and is not tied to any mail field.
  EXPECT_TRUE(
      RcaFindings(CleanRCA({{262, "Payroll@Harbor.Example"}, {133, Spaces(22)}})).empty());
}

TEST(CheckCodeRCA, UnknownNotificationCodeTriggersNoDependentRule) {
  const std::vector<Finding> expected = {
      {"Preferred Method of Problem Notification Code [Position 315]", "[3]",
       "Enter appropriate code: 1 - E-Mail/Internet, 2 - U.S. Postal Service."}};
  EXPECT_EQ(RcaFindings(CleanRCA({{315, "3"}, {262, Spaces(40)}, {133, Spaces(22)}})), expected);
}

TEST(CheckCodeRCA, ResubmissionRules) {
  const std::vector<Finding> wfid_without_resub = {
      {"Resub WFID [Position 318 - 323]", "[AB12C3]",
       "If Resub Indicator [Position 317] equals zero, then the Resub WFID field must be blank. If "
       "this is an original submission, then change the Resub WFID field to blank. If this is a "
       "resubmission, then enter 1 in the Resub Indicator field."}};
  EXPECT_EQ(RcaFindings(CleanRCA({{318, "AB12C3"}})), wfid_without_resub);
  const std::vector<Finding> resub_without_wfid = {
      {"Resub WFID [Position 318-323]", "[      ]",
       "If Resub Indicator [Position 317] equals 1, then the Resub WFID field cannot be blank. "
       "The 6 digit WFID is located on the notice sent by Wagemark."}};
  EXPECT_EQ(RcaFindings(CleanRCA({{317, "1"}})), resub_without_wfid);
  EXPECT_TRUE(RcaFindings(CleanRCA({{317, "1"}, {318, "AB12C3"}})).empty());
  const std::vector<Finding> other_indicator = {
      {"Resub Indicator [Position 317]", "[2]",
       "Enter appropriate code: 1 - File being resubmitted, 0 - Other."}};
  EXPECT_EQ(RcaFindings(CleanRCA({{317, "2"}, {318, "A-1"}})), other_indicator);
}

TEST(CheckCodeRCA, AddressBlock) {
  // A numeric extension with a blank ZIP Code: one message.
  auto extension = RcaFindings(CleanRCA({{157, "     "}, {162, "1234"}}));
  ASSERT_EQ(extension.size(), 1u);
  EXPECT_EQ(extension[0].reference, "Zip Code Extension [Position 162 - 165]");
  // An invalid state keeps the foreign-address test from running.
  const std::vector<Finding> state = {
      {"State Abbreviation [Position 155 - 156]", "[ZZ]",
       "The Postal Abbreviation is invalid (see Korvel)."}};
  EXPECT_EQ(RcaFindings(CleanRCA({{155, "ZZ"}, {210, "UK"}})), state);
  const std::vector<Finding> both = {
      {"Country Code [Position 210 - 211]", "[UK]",
       "Must not have both a domestic State Abbreviation and a foreign Country Code."}};
  EXPECT_EQ(RcaFindings(CleanRCA({{210, "UK"}})), both);
  const std::vector<Finding> zip = {
      {"ZIP Code [Position 157 - 161]", "[2120A]", "Must be numeric or blank."}};
  EXPECT_EQ(RcaFindings(CleanRCA({{157, "2120A"}, {210, "UK"}})), zip);
  // A foreign address: no State, no ZIP Code.
  EXPECT_TRUE(RcaFindings(CleanRCA({{155, "  "}, {157, "     "}, {210, "UK"}})).empty());
}

TEST(CheckCodeRCA, ViewerShowsTheMaskedPinUnmarked) {
  auto out = RunRecords(Around(CleanRCA()));
  auto db = ResultsDb::Open(out.db_path(), true);
  StoredResults stored(*db);
  ViewFixture v;
  CheckContext ctx{v.state, v.recorder, stored, nullptr, &v.rows, v.yielder};
  const int64_t errors_before = db->CountErrors();
  FillFields(out.records[0].record, 1, ctx);
  ASSERT_EQ(v.rows.rows.size(), 29u);
  EXPECT_EQ(v.rows.rows[2].label, "PIN");
  EXPECT_EQ(v.rows.rows[2].value, "********");
  EXPECT_TRUE(v.rows.Marked().empty());
  EXPECT_EQ(db->CountErrors(), errors_before);  // the re-check writes nothing
}

TEST(CheckCodeRCA, ViewerMarksAnInvalidPinWhenTheRunFoundItInvalid) {
  ViewFixture v;
  v.rows.Build(29);
  v.results.pin_ok = false;
  CheckCodeRCA(CleanRCA({{13, "AB 2-D34"}, {30, "97"}, {239, Spaces(15)}}), v.ctx);
  EXPECT_EQ(v.rows.Marked(), (std::set<int>{2, 5, 18}));
}

TEST(FillRCAlabels, ViewerLabelsAndContents) {
  ViewFixture v;
  v.rows.Build(29);
  FillRCAlabels(CleanRCA(), v.rows);
  EXPECT_EQ(v.rows.rows[0].label, "Record Identifier");
  EXPECT_EQ(v.rows.rows[0].value, "RCA");
  EXPECT_EQ(v.rows.rows[11].label, "ZIP Code");
  EXPECT_EQ(v.rows.rows[11].value, "21201");
  EXPECT_EQ(v.rows.rows[23].label, "Contact Fax");
  EXPECT_EQ(v.rows.rows[24].label, "Preferred Method of Problem Notification Code");
  EXPECT_EQ(v.rows.rows[24].value, "1");
  EXPECT_EQ(v.rows.rows[28].label, "Blank");
  EXPECT_EQ(v.rows.rows[28].value.size(), 701u);
}

}  // namespace
}  // namespace lintaro
