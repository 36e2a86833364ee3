// An upload as it arrives, shared by the request that receives it and the
// check that reads it at the same time: a check can start with the first
// bytes of its submission instead of after the last.
//
// The receiving side names each file as its part begins and tells how many
// of its bytes are on disk; the upload then ends whole or fails. A file is
// complete once a later file began or the upload ended whole. The reading
// side waits for bytes and files; every wait gives up when its `stopped`
// test turns true (the check was deleted, or the service ends), which it
// asks at least every 50 ms.
#ifndef LINTARO_SERVE_UPLOAD_STREAM_H_
#define LINTARO_SERVE_UPLOAD_STREAM_H_

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/submission_file.h"

namespace lintaro {

class UploadStream {
 public:
  using StopTest = std::function<bool()>;

  // Receiving side.
  void FileBegan(const std::string& path);
  void FileGrew(int64_t bytes_on_disk);  // of the newest file
  void Ended(bool whole);

  // Reading side. The path of file index (0 first) once its part began;
  // nothing when the upload ended or failed with fewer files, or stopped.
  std::optional<std::string> WaitForFile(size_t index, const StopTest& stopped);
  // How many bytes of file index are on disk, once more than have are or
  // the file is complete (then it may be have itself); -1 when the upload
  // failed or stopped turned true first.
  int64_t WaitForBytes(size_t index, int64_t have, const StopTest& stopped);
  // True once the upload ended whole; false when it failed or stopped.
  bool WaitForEnd(const StopTest& stopped);

 private:
  enum class State { kReceiving, kWhole, kFailed };
  // Waits until ready() holds; false when stopped() turned true first.
  bool Wait(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready,
            const StopTest& stopped);

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> paths_;
  std::vector<int64_t> sizes_;  // bytes on disk, per file
  State state_ = State::kReceiving;
};

// One file of an upload, read as it arrives: each read waits for bytes the
// upload has not yet written. Adds what it reads to bytes_read. A read
// throws RunFailure (kCancelled) when the upload failed or the check stops.
class StreamedFile : public SubmissionSource {
 public:
  StreamedFile(UploadStream& stream, size_t index, const std::string& path,
               std::atomic<int64_t>& bytes_read, UploadStream::StopTest stopped);
  ~StreamedFile() override;
  StreamedFile(const StreamedFile&) = delete;
  StreamedFile& operator=(const StreamedFile&) = delete;

  size_t Read(char* buffer, size_t size) override;
  // The bytes on disk so far.
  int64_t length() const override { return known_; }

 private:
  UploadStream& stream_;
  size_t index_;
  std::string path_;
  std::atomic<int64_t>& bytes_read_;
  UploadStream::StopTest stopped_;
  int fd_ = -1;
  int64_t position_ = 0;
  int64_t known_ = 0;
};

}  // namespace lintaro

#endif  // LINTARO_SERVE_UPLOAD_STREAM_H_
