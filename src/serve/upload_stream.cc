#include "serve/upload_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <system_error>

namespace lintaro {
namespace {

constexpr auto kStopPoll = std::chrono::milliseconds(50);

RunFailure Cancelled() {
  return RunFailure{RunFailure::kCancelled, RunFailure::kCancelledNumber, "Cancel was selected."};
}

}  // namespace

void UploadStream::FileBegan(const std::string& path) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    paths_.push_back(path);
    sizes_.push_back(0);
  }
  changed_.notify_all();
}

void UploadStream::FileGrew(int64_t bytes_on_disk) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!sizes_.empty()) sizes_.back() = bytes_on_disk;
  }
  changed_.notify_all();
}

void UploadStream::Ended(bool whole) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    state_ = whole ? State::kWhole : State::kFailed;
  }
  changed_.notify_all();
}

bool UploadStream::Wait(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready,
                        const StopTest& stopped) {
  while (!ready()) {
    if (stopped && stopped()) return false;
    changed_.wait_for(lock, kStopPoll);
  }
  return true;
}

std::optional<std::string> UploadStream::WaitForFile(size_t index, const StopTest& stopped) {
  std::unique_lock<std::mutex> lock(mutex_);
  const bool ready = Wait(
      lock, [&] { return index < paths_.size() || state_ != State::kReceiving; }, stopped);
  if (!ready || index >= paths_.size() || state_ == State::kFailed) return std::nullopt;
  return paths_[index];
}

int64_t UploadStream::WaitForBytes(size_t index, int64_t have, const StopTest& stopped) {
  std::unique_lock<std::mutex> lock(mutex_);
  const auto complete = [&] { return index + 1 < paths_.size() || state_ == State::kWhole; };
  const bool ready = Wait(
      lock,
      [&] {
        return state_ == State::kFailed || (index < sizes_.size() && sizes_[index] > have) ||
               complete();
      },
      stopped);
  if (!ready || state_ == State::kFailed || index >= sizes_.size()) return -1;
  return sizes_[index];
}

bool UploadStream::WaitForEnd(const StopTest& stopped) {
  std::unique_lock<std::mutex> lock(mutex_);
  return Wait(
             lock, [&] { return state_ != State::kReceiving; }, stopped) &&
         state_ == State::kWhole;
}

StreamedFile::StreamedFile(UploadStream& stream, size_t index, const std::string& path,
                           std::atomic<int64_t>& bytes_read, UploadStream::StopTest stopped)
    : stream_(stream),
      index_(index),
      path_(path),
      bytes_read_(bytes_read),
      stopped_(std::move(stopped)) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0)
    throw RunFailure{
        RunFailure::kOther, RunFailure::kPathAccessNumber,
        "Path/File access error: " + path + ": " + std::generic_category().message(errno)};
}

StreamedFile::~StreamedFile() {
  if (fd_ >= 0) ::close(fd_);
}

size_t StreamedFile::Read(char* buffer, size_t size) {
  if (known_ <= position_) {
    known_ = stream_.WaitForBytes(index_, position_, stopped_);
    if (known_ < 0) throw Cancelled();
    if (known_ <= position_) return 0;  // the whole file was read
  }
  const size_t want = std::min(size, static_cast<size_t>(known_ - position_));
  for (;;) {
    const ssize_t n = ::pread(fd_, buffer, want, position_);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      throw RunFailure{RunFailure::kOther, RunFailure::kDeviceIoNumber,
                       "Device I/O error while reading " + path_ + ": " +
                           std::generic_category().message(n < 0 ? errno : EIO)};
    position_ += n;
    bytes_read_.fetch_add(n, std::memory_order_relaxed);
    return static_cast<size_t>(n);
  }
}

}  // namespace lintaro
