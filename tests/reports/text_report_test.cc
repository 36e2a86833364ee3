#include "reports/text_report.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "reports/report_content.h"
#include "reports/report_fixture.h"

namespace lintaro::testing {
namespace {

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string TextOf(ResultsDb& db) {
  ReportBuffer out;
  EXPECT_TRUE(BuildTextReport(db, out));
  return out.text;
}

TEST(TextReport, RunStoppedByCriticalErrorMatchesTheLayoutLineByLine) {
  // One finding of record 3 was recorded after the RCE's: the report orders
  // by record first.
  ResultsFixture f;
  f.File("/data/sub/CORR2007.TXT");
  f.Record(3, "RCW", "123456789");
  f.Record(7, "RCE", "987654321");
  f.Record(12, "RCF");
  f.Record(120, "RCT", "987654321");
  f.Error(3, "Employee SSN [Position 4 - 12]", "[12345678A]", "The SSN must be numeric.");
  f.Error(7, "Employer EIN [Position 8 - 16]", "[98765432 ]", "The EIN must be numeric.");
  f.Error(3, "Employee Name [Position 40 - 54]", "[ ]", "The name is required.");
  f.Error(12, "Number of RCW Records [Position 4 - 12]", "[000000001]", "Does not match.");
  f.Error(120, "Record Sequence", "[RCT]", "An RCT record must follow an RCW or RCO record.", "C");
  // An error block: its lines, then an empty line.
  auto block = [](int n, const std::string& ref, const std::string& entry, const std::string& msg) {
    return Lines({"Err Num: \t\t" + std::to_string(n), "Reference: \t\t" + ref,
                  "User Entry: \t\t" + entry, "Error Description: \t" + msg, ""});
  };
  EXPECT_EQ(TextOf(f.db()),
            Lines({"\tLINTARO TAX YEAR 2007 ERROR REPORT", "",
                   "Generated from: /data/sub/CORR2007.TXT", "", "", "\t12/06/2026", "",
                   "Execution of Testing was terminated due to the Critical Error in Record Number "
                   "120:  ",
                   "An RCT record must follow an RCW or RCO record.", "",
                   "       120 Record(s) tested", "         4 Record(s) with Error(s)",
                   "         5 Error(s) found", "", "",
                   "\tRecord number: 3    Code: RCW    SSN:  123456789", ""}) +
                block(1, "Employee SSN [Position 4 - 12]", "[12345678A]", "The SSN must be numeric.") +
                block(3, "Employee Name [Position 40 - 54]", "[ ]", "The name is required.") +
                Lines({"", "\tRecord number: 7    Code: RCE    EIN:  987654321", ""}) +
                block(2, "Employer EIN [Position 8 - 16]", "[98765432 ]", "The EIN must be numeric.") +
                Lines({"", "\tRecord number: 12    Code: RCF    ", ""}) +
                block(4, "Number of RCW Records [Position 4 - 12]", "[000000001]", "Does not match.") +
                Lines({"", "\tRecord number: 120    Code: RCT    EIN:  987654321", ""}) +
                block(5, "Record Sequence", "[RCT]", "An RCT record must follow an RCW or RCO record."));
}

TEST(TextReport, HeaderOfARunWithoutTerminationAndOfSeveralFiles) {
  ResultsFixture f;
  f.File("/in/part1.txt", "03/04/2008").File("/in/part2.txt", "09/09/2009");
  f.Record(2, "RCE", "");
  f.RecordsUpTo(5);
  f.Error(2, "Tax Year [Position 4 - 7]", "[2006]", "The tax year must be 2007.");
  const std::string text = TextOf(f.db());
  // One empty line before the counts; an RCE without EIN is named "SSN:  ".
  EXPECT_EQ(text.substr(0, text.find("\tRecord number")),
            Lines({"\tLINTARO TAX YEAR 2007 ERROR REPORT", "",
                   "Generated from: /in/part1.txt; /in/part2.txt", "", "", "\t03/04/2008", "", "",
                   "         5 Record(s) tested", "         1 Record(s) with Error(s)",
                   "         1 Error(s) found", "", ""}));
  EXPECT_NE(text.find("\tRecord number: 2    Code: RCE    SSN:  \r\n"), std::string::npos);

  ResultsFixture none;  // no file at all
  none.Record(1, "RCA", "1");
  none.Error(1, "r", "[u]", "m");
  EXPECT_NE(TextOf(none.db()).find("\r\n\r\nGenerated from: \r\n\r\n\r\n\t\r\n\r\n"),
            std::string::npos);
}

TEST(TextReport, CountsAndHeadings) {
  EXPECT_EQ(CountField(5), "         5");
  EXPECT_EQ(CountField(1234567890), "1234567890");
  EXPECT_EQ(CountField(123456789012345), "6789012345");  // the last ten digits
  const std::vector<std::array<std::string, 3>> headings = {
      {"RCA", "123456789", "EIN:  123456789"}, {"RCT", "123456789", "EIN:  123456789"},
      {"RCU", "123456789", "EIN:  123456789"}, {"RCO", "123456789", "SSN:  123456789"},
      {"RCF", "123456789", ""},                {"RCA", "", "SSN:  "},
      {"XYZ", "", "SSN:  "}};
  for (const auto& [id, ref, tail] : headings) {
    ReportRow row;
    row.rec_num = 9;
    row.id = id;
    row.rec_reference = ref;
    EXPECT_EQ(RecordHeading(row), "Record number: 9    Code: " + id + "    " + tail + "\r\n");
  }
  // The record count is the last record's number; a NULL reference is empty.
  ResultsFixture f;
  f.File("a.txt");
  f.Record(1, "RCU", "123456789");
  f.Error(1, "x", "[y]", "z");
  f.db().InsertRecord(RecordRow{12345678901, "RCW", 0, 0, "RCW", ""});
  ASSERT_EQ(sqlite3_exec(f.db().handle(), "UPDATE RECORDS SET RecReference = NULL", nullptr,
                         nullptr, nullptr),
            0);
  const std::string text = TextOf(f.db());
  EXPECT_NE(text.find("\r\n2345678901 Record(s) tested\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\tRecord number: 1    Code: RCU    SSN:  \r\n"), std::string::npos);
}

TEST(TextReport, SubmissionCharactersAreWrittenAsUtf8AndNothingIsEscaped) {
  ResultsFixture f;
  f.File("/in/r\xC3\xA9sum\xC3\xA9.txt");
  f.Record(1, "RCW", "123456789");
  f.Error(1, "Employee Name <b>", "[JOS\xC9 & \x80]", "Tab\there \"quoted\"");
  const std::string text = TextOf(f.db());
  EXPECT_NE(text.find("Generated from: /in/r\xC3\xA9sum\xC3\xA9.txt"), std::string::npos);
  EXPECT_NE(text.find("User Entry: \t\t[JOS\xC3\x89 & \xE2\x82\xAC]\r\n"), std::string::npos);
  EXPECT_NE(text.find("Reference: \t\tEmployee Name <b>\r\n"), std::string::npos);
  EXPECT_NE(text.find("Error Description: \tTab\there \"quoted\"\r\n"), std::string::npos);
  ReportBuffer b;  // counts characters, not bytes
  b.Append("ab");
  b.Append("\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(b.chars, 4u);
  EXPECT_EQ(b.text.size(), 7u);
}

}  // namespace
}  // namespace lintaro::testing
