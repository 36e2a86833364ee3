// A file written whole or not at all: its bytes go to a new temporary file
// beside it (created for its owner only, never an existing file or a
// symbolic link), which is renamed over the file's name only when it is
// complete. Until then, and after any failure, the file named is as it was;
// a symbolic link of that name is replaced, its target never written.
// Where the file system allows, the temporary file has no name until it is
// complete, so that a process killed while it writes (SIGKILL, a power cut)
// leaves no part-written file behind; its bytes reach the disk before it
// takes the file's name, so that a power cut after leaves no empty file.
#ifndef LINTARO_OS_REPLACING_FILE_H_
#define LINTARO_OS_REPLACING_FILE_H_

#include <sys/types.h>

#include <string>
#include <string_view>

namespace lintaro {

class ReplacingFile {
 public:
  // Creates the temporary file in path's folder, with mode (past the
  // umask; 0600 unless a wider one is asked for); ok() is false, with
  // problem(), when it cannot be.
  explicit ReplacingFile(std::string path, mode_t mode = 0600);
  // Removes the temporary file unless Commit renamed it.
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Whether everything so far went well.
  bool ok() const { return problem_.empty(); }
  // Why not: the system's reason ("No space left on device").
  const std::string& problem() const { return problem_; }

  // Appends bytes; false once anything failed.
  bool Write(std::string_view bytes);
  // Closes the temporary file and renames it over the file's name; false
  // (the temporary file removed) when anything failed.
  bool Commit();

 private:
  void Fail(int err);
  void Discard();
  // Gives the unnamed temporary file a hidden name beside path_.
  bool NameTemporary();

  std::string path_;
  std::string temporary_;  // empty while the temporary file has no name
  int fd_ = -1;
  bool unnamed_ = false;
  std::string problem_;
};

}  // namespace lintaro

#endif  // LINTARO_OS_REPLACING_FILE_H_
