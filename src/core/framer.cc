#include "core/framer.h"

#include <algorithm>
#include <cstring>

namespace lintaro {
namespace {

// The first carriage return or line feed in [begin, end), or end. Each is
// looked for with memchr, which reads many bytes at a time; the search for
// the second stops where the first was found.
const char* FindLineBreak(const char* begin, const char* end) {
  const char* stop = end;
  if (const void* lf = std::memchr(begin, '\n', static_cast<size_t>(stop - begin)))
    stop = static_cast<const char*>(lf);
  if (const void* cr = std::memchr(begin, '\r', static_cast<size_t>(stop - begin)))
    stop = static_cast<const char*>(cr);
  return stop;
}

}  // namespace

RecordFramer::RecordFramer(ByteSource& source, size_t chunk_size)
    : source_(source), chunk_(std::max<size_t>(chunk_size, 1)) {}

bool RecordFramer::Refill() {
  if (at_end_) return false;
  length_ = source_.Read(chunk_.data(), chunk_.size());
  position_ = 0;
  if (length_ == 0) at_end_ = true;
  return length_ > 0;
}

bool RecordFramer::Next(std::string& record) {
  record.clear();
  for (;;) {
    if (position_ == length_ && !Refill()) return !record.empty();
    const char* data = chunk_.data();
    if (record.empty()) {
      // Line breaks between records are skipped.
      while (position_ < length_ && (data[position_] == '\r' || data[position_] == '\n'))
        ++position_;
      if (position_ == length_) continue;
    }
    const size_t want = std::min(kRecordLength - record.size(), length_ - position_);
    const char* begin = data + position_;
    const char* end = begin + want;
    const char* stop = FindLineBreak(begin, end);
    record.append(begin, stop);
    position_ += static_cast<size_t>(stop - begin);
    if (stop != end) {
      // A line break always ends a non-empty record, wherever the chunk ends.
      ++position_;
      return true;
    }
    if (record.size() == kRecordLength) return true;
  }
}

}  // namespace lintaro
