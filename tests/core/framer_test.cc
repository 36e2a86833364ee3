#include "core/framer.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace lintaro {
namespace {

using testing::MakeRecord;

class StringSource : public ByteSource {
 public:
  explicit StringSource(std::string data) : data_(std::move(data)) {}
  size_t Read(char* buffer, size_t size) override {
    size_t n = std::min(size, data_.size() - pos_);
    data_.copy(buffer, n, pos_);
    pos_ += n;
    return n;
  }

 private:
  std::string data_;
  size_t pos_ = 0;
};

std::vector<std::string> Frame(const std::string& bytes, size_t chunk = kChunkSize) {
  StringSource source(bytes);
  RecordFramer framer(source, chunk);
  std::vector<std::string> records;
  std::string record;
  while (framer.Next(record)) records.push_back(record);
  return records;
}

std::vector<std::string> ThreeRecords() {
  return {MakeRecord("RCA", {{4, "111111111"}}), MakeRecord("RCE", {{4, "2007"}}),
          MakeRecord("RCF", {{1024, "X"}})};
}

TEST(RecordFramer, LineEndsOfAnyKindFrameTheSame) {
  EXPECT_TRUE(Frame("").empty());
  EXPECT_TRUE(Frame("\r\n\n\r\r\n").empty());
  const auto records = ThreeRecords();
  EXPECT_EQ(Frame(testing::JoinRecords(records, "\r\n")), records);
  EXPECT_EQ(Frame(testing::JoinRecords(records, "\n")), records);
  EXPECT_EQ(Frame(testing::JoinRecords(records, "")), records);
  EXPECT_EQ(Frame("\r\n\r\n" + testing::JoinRecords(records, "\r\n\n\r\n")), records);
}

TEST(RecordFramer, ChunkBoundariesDoNotChangeTheRecords) {
  // 200 records with CR LF are 205,200 bytes: several chunks of 65,000, with
  // records and line breaks split across the boundaries.
  std::vector<std::string> records;
  for (int i = 0; i < 200; ++i) records.push_back(MakeRecord("RCW", {{4, std::to_string(i)}}));
  const std::string bytes = testing::JoinRecords(records);
  for (size_t chunk : {size_t{1}, size_t{7}, size_t{1024}, size_t{1025}, size_t{1026}, kChunkSize})
    EXPECT_EQ(Frame(bytes, chunk), records) << "chunk size " << chunk;
}

TEST(RecordFramer, ShortRecordEndsAtItsLineBreakEvenAtTheEndOfAChunk) {
  // A 1,000-character record whose line feed is the last byte of a chunk
  // must not be joined with the record that follows.
  const std::string short_record = MakeRecord("RCW").substr(0, 1000);
  const std::string next = MakeRecord("RCT");
  const std::string bytes = short_record + "\n" + next + "\n";
  const auto expected = std::vector<std::string>{short_record, next};
  EXPECT_EQ(Frame(bytes, 1001), expected);  // break is the chunk's last byte
  EXPECT_EQ(Frame(bytes, 1000), expected);  // break starts the next chunk
  EXPECT_EQ(Frame(bytes), expected);
}

TEST(RecordFramer, LongLinesAreCutAt1024AndTheFinalRecordMayBeShort) {
  const std::string bytes = std::string(1024, 'A') + std::string(1030, 'B') + "\r\nTAIL";
  EXPECT_EQ(Frame(bytes, 100),
            (std::vector<std::string>{std::string(1024, 'A'), std::string(1024, 'B'),
                                      std::string(6, 'B'), "TAIL"}));
}

TEST(RecordFramer, EveryByteOtherThanLineBreaksIsKept) {
  std::string record;
  for (int b = 0; b < 256; ++b)
    if (b != '\r' && b != '\n') record.push_back(static_cast<char>(b));
  record.resize(1024, 'Z');
  EXPECT_EQ(Frame(record + "\r\n"), std::vector<std::string>{record});
}

}  // namespace
}  // namespace lintaro
