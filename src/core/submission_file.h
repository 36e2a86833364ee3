// A submission file opened for reading, as a source of bytes for framing.
#ifndef LINTARO_CORE_SUBMISSION_FILE_H_
#define LINTARO_CORE_SUBMISSION_FILE_H_

#include <cstdint>
#include <optional>
#include <string>

#include "core/framer.h"

namespace lintaro {

// Why a run could not go on. number and description are what the failure
// box shows ("Error Number: ", "Error Description: ").
struct RunFailure {
  enum Kind { kCancelled, kFileNotFound, kPastEndOfFile, kOther };
  // The numbers the box shows, after the platform's classic ones.
  static constexpr int kInternalErrorNumber = 51;  // a fault of the program itself
  static constexpr int kFileNotFoundNumber = 53;
  static constexpr int kDeviceIoNumber = 57;
  static constexpr int kPermissionDeniedNumber = 70;
  static constexpr int kPathAccessNumber = 75;  // also a results file that cannot be made
  static constexpr int kCancelledNumber = 32755;

  Kind kind = kOther;
  int number = 0;
  std::string description;
};

// Why a named submission file cannot be tested: it does not exist, is not a
// regular file (a folder, a named pipe, a device), or cannot be read.
// Nothing when it can be. Never waits on a named pipe or a device.
std::optional<std::string> UnreadableFileProblem(const std::string& file);

// The name standard input goes by as a submission file ("-" on the command
// line), in the results and in messages.
inline constexpr const char* kStandardInputName = "(standard input)";

// The bytes of one submission file and its length as far as it is known,
// for the progress of a run.
class SubmissionSource : public ByteSource {
 public:
  virtual int64_t length() const = 0;
};

class SubmissionFile : public SubmissionSource {
 public:
  // Opens path for reading, without waiting on a named pipe or a device.
  // Throws RunFailure: kFileNotFound when nothing of that name exists, kOther
  // for a folder, a file that cannot be read, or anything else that is not a
  // regular file (a named pipe, a device).
  explicit SubmissionFile(const std::string& path);
  ~SubmissionFile() override;
  SubmissionFile(const SubmissionFile&) = delete;
  SubmissionFile& operator=(const SubmissionFile&) = delete;

  // The file's length in bytes when it was opened.
  int64_t length() const override { return length_; }

  size_t Read(char* buffer, size_t size) override;
  void Close();

 private:
  std::string path_;
  int fd_ = -1;
  int64_t length_ = 0;
};

}  // namespace lintaro

#endif  // LINTARO_CORE_SUBMISSION_FILE_H_
