#include "core/framer.h"

#include <gtest/gtest.h>

#include <random>

#include "core/submission_file.h"
#include "support/fakes.h"

namespace lintaro {
namespace {

using testing::MakeRecord;

// The records framed from a submission file of the bytes, read chunk bytes at a time.
std::vector<std::string> Frame(const std::string& bytes, size_t chunk = kChunkSize) {
  const testing::TempDir dir;
  SubmissionFile source(dir.Write("submission.txt", bytes));
  RecordFramer framer(source, chunk);
  std::vector<std::string> records;
  std::string record;
  while (framer.Next(record)) records.push_back(record);
  return records;
}

TEST(RecordFramer, RecordsAreTheSameAtAnyLineEndAndChunkBoundary) {
  const std::vector<std::string> three = {MakeRecord("RCA", {{4, "111111111"}}),
                                          MakeRecord("RCE", {{4, "2007"}}),
                                          MakeRecord("RCF", {{1024, "X"}})};
  // 200 records with CR LF are 205,200 bytes: several chunks of 65,000, with
  // records and line breaks split across the boundaries.
  std::vector<std::string> many;
  for (int i = 0; i < 200; ++i) many.push_back(MakeRecord("RCW", {{4, std::to_string(i)}}));
  // A 1,000-character record whose line feed is the last byte of a chunk
  // (1001) or starts the next (1000) must not be joined with the next record.
  const std::vector<std::string> short_first = {MakeRecord("RCW").substr(0, 1000),
                                                MakeRecord("RCT")};
  std::string every_byte;  // every byte other than the line breaks is kept
  for (int b = 0; b < 256; ++b)
    if (b != '\r' && b != '\n') every_byte.push_back(static_cast<char>(b));
  every_byte.resize(1024, 'Z');
  const std::string a(1024, 'A'), b(1024, 'B');
  struct Case {
    std::string bytes;
    std::vector<size_t> chunks;
    std::vector<std::string> records;
  };
  const std::vector<Case> cases = {
      {"", {kChunkSize}, {}},
      {"\r\n\n\r\r\n", {kChunkSize}, {}},
      {testing::JoinRecords(three, "\r\n"), {kChunkSize}, three},
      {testing::JoinRecords(three, "\n"), {kChunkSize}, three},
      {testing::JoinRecords(three, ""), {kChunkSize, 7}, three},
      {"\r\n\r\n" + testing::JoinRecords(three, "\r\n\n\r\n"), {kChunkSize}, three},
      {testing::JoinRecords(many), {1, 7, 1024, 1025, 1026, kChunkSize}, many},
      {testing::JoinRecords(short_first, "\n"), {1001, 1000, kChunkSize}, short_first},
      // Long lines are cut at 1,024 characters; the last record may be short.
      {a + b + "BBBBBB\r\nTAIL", {100}, {a, b, "BBBBBB", "TAIL"}},
      {every_byte + "\r\n", {kChunkSize}, {every_byte}},
  };
  for (size_t i = 0; i < cases.size(); ++i)
    for (size_t chunk : cases[i].chunks)
      EXPECT_EQ(Frame(cases[i].bytes, chunk), cases[i].records) << i << ", chunk size " << chunk;
}

// Any file of records, each ended by nothing (a whole record only), a line
// feed, CR LF or several line breaks, mixed in one file, frames into the
// same records whatever the chunk size: a short record is ended by a line
// feed alone as by CR LF, and no line break is part of a record.
TEST(RecordFramer, MixedLineEndsFrameTheSameRecordsAtAnyChunkSize) {
  std::mt19937 random(20071231);  // the same files on every run
  auto pick = [&random](size_t n) {
    return std::uniform_int_distribution<size_t>(0, n - 1)(random);
  };
  const std::vector<std::string> ends = {"", "\n", "\r\n", "\r\n\n", "\n\r\n"};
  for (int file = 0; file < 300; ++file) {
    std::vector<std::string> records(1 + pick(8));
    std::string bytes = pick(4) == 0 ? "\r\n" : "";
    for (std::string& record : records) {
      const bool whole = pick(3) != 0;
      record.resize(whole ? kRecordLength : 1 + pick(kRecordLength - 1));
      for (char& c : record) {
        c = static_cast<char>(pick(256));
        if (c == '\r' || c == '\n') c = 'X';
      }
      // A short record needs a line break to end it, except the last.
      std::string end = ends[pick(ends.size())];
      if (!whole && end.empty() && &record != &records.back()) end = "\n";
      bytes += record + end;
    }
    const size_t chunk = 1 + pick(3 * kRecordLength);
    ASSERT_EQ(Frame(bytes, chunk), records) << "file " << file << ", chunk size " << chunk;
  }
}

}  // namespace
}  // namespace lintaro
