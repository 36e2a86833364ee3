// Standard input as a submission file ("-"): the check frames a file of
// known length, so a pipe is first copied into a file of no name (O_TMPFILE)
// in the program folder, readable by its user alone, which vanishes with the
// process however it ends; a redirected file is read where it is.
#ifndef LINTARO_CLI_STANDARD_INPUT_H_
#define LINTARO_CLI_STANDARD_INPUT_H_

#include <optional>
#include <string>

namespace lintaro {

// The operand that names standard input.
inline constexpr const char* kStandardInputOperand = "-";

class StandardInputCopy {
 public:
  StandardInputCopy() = default;
  ~StandardInputCopy();
  StandardInputCopy(const StandardInputCopy&) = delete;
  StandardInputCopy& operator=(const StandardInputCopy&) = delete;

  // Copies standard input into folder (unless it is a regular file already).
  // Returns a problem ("FOLDER: cannot keep standard input: REASON"), or
  // nothing once path() reads it.
  std::optional<std::string> Take(const std::string& folder);
  // The name to open it by ("/proc/self/fd/N").
  const std::string& path() const { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace lintaro

#endif  // LINTARO_CLI_STANDARD_INPUT_H_
