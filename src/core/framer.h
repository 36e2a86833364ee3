// Record framing: cuts the bytes of a submission file into records.
//
// A record is 1,024 characters. Carriage returns and line feeds are not part
// of any record: between records they are skipped, inside a record they end
// it early (the record is then short, which the test run reports). A run of
// more than 1,024 characters without a line break is cut at 1,024 and the
// rest starts the next record. The result does not depend on how the file is
// split into chunks for reading.
#ifndef LINTARO_CORE_FRAMER_H_
#define LINTARO_CORE_FRAMER_H_

#include <cstddef>
#include <string>
#include <vector>

namespace lintaro {

inline constexpr size_t kRecordLength = 1024;
inline constexpr size_t kChunkSize = 65000;

// Where the framer's bytes come from.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to size bytes into buffer; returns how many were read, 0 at the
  // end. Throws on a read failure.
  virtual size_t Read(char* buffer, size_t size) = 0;
};

class RecordFramer {
 public:
  // The source must outlive the framer. The file is read in chunks of
  // chunk_size bytes and never held whole.
  explicit RecordFramer(ByteSource& source, size_t chunk_size = kChunkSize);

  // Puts the next record into record and returns true, or returns false at
  // the end of the file. The last record of a file may be short.
  bool Next(std::string& record);

 private:
  bool Refill();

  ByteSource& source_;
  std::vector<char> chunk_;
  size_t length_ = 0;    // bytes of chunk_ in use
  size_t position_ = 0;  // next byte to scan
  bool at_end_ = false;
};

}  // namespace lintaro

#endif  // LINTARO_CORE_FRAMER_H_
