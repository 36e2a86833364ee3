// Files the reports write: saved text reports and the temporary HTML report.
// Both hold SSNs and EINs, so a file they create is readable and writable by
// its owner only.
#ifndef LINTARO_REPORTS_REPORT_FILES_H_
#define LINTARO_REPORTS_REPORT_FILES_H_

#include <stdexcept>
#include <string>
#include <string_view>

namespace lintaro {

class ReportFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Appends bytes to the file, creating it (mode 0600) when missing. A
// symbolic link in the file's place is refused. Throws ReportFileError.
void AppendToFile(const std::string& path, std::string_view bytes);

// WriteTextFile: nothing when name is empty; unless append, an existing
// file is deleted first; then text and CR LF are appended.
void WriteTextFile(const std::string& name, std::string_view text, bool append);

}  // namespace lintaro

#endif  // LINTARO_REPORTS_REPORT_FILES_H_
