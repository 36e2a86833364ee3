// Files the reports write: saved text reports and the temporary HTML report.
// Both hold SSNs and EINs, so a file they create is readable and writable by
// its owner only.
#ifndef LINTARO_REPORTS_REPORT_FILES_H_
#define LINTARO_REPORTS_REPORT_FILES_H_

#include <stdexcept>
#include <string>
#include <string_view>

#include "os/replacing_file.h"

namespace lintaro {

class ReportFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Appends bytes to the file, creating it (mode 0600) when missing. A
// symbolic link in the file's place is refused. Throws ReportFileError.
void AppendToFile(const std::string& path, std::string_view bytes);

// A saved text report, written in pieces (each followed by CR LF) under a
// temporary name beside name and put in its place by Commit: until then, and
// after any failure, a file already of that name is as it was. The file is
// its owner's alone. Each step throws ReportFileError.
class SavedTextFile {
 public:
  explicit SavedTextFile(std::string name);
  void Write(std::string_view text);
  void Commit();

 private:
  [[noreturn]] void Fail(const char* what) const;

  std::string name_;
  ReplacingFile file_;
};

// WriteTextFile: nothing when name is empty; text and CR LF appended, or,
// unless append, written whole in the place of any file of that name.
void WriteTextFile(const std::string& name, std::string_view text, bool append);

}  // namespace lintaro

#endif  // LINTARO_REPORTS_REPORT_FILES_H_
