// The error limit: the number of findings after which a test run stops,
// 1 to 25,000, kept in ErrSetLog.ini in the program folder as the single
// line "[Maximum Error Count]:" followed by the limit.
#ifndef LINTARO_CORE_ERROR_LIMIT_H_
#define LINTARO_CORE_ERROR_LIMIT_H_

#include <optional>
#include <string>
#include <string_view>

namespace lintaro {

inline constexpr const char* kErrorLimitFileName = "ErrSetLog.ini";
inline constexpr int kDefaultErrorLimit = 500;
inline constexpr int kMaxErrorLimit = 25000;

// Reads the limit from folder's ErrSetLog.ini. A missing file, or a first
// line whose number after the first ":" is missing, not a whole number, 0
// or above 25,000, gives 500 and the file is written anew with the default
// line. A file we may not read (another user's) gives 500 for this run and
// is left as it is, as is a folder where the file can be neither read nor
// written.
int LoadErrorLimit(const std::string& folder);

// Writes folder's ErrSetLog.ini anew with the limit (a new file, for its
// owner only, or readable by the group too in a folder its group may write
// in, renamed over the old one: a symbolic link of that name is replaced,
// its target untouched); returns false when the file cannot be written
// (the new limit still applies to this session).
bool SaveErrorLimit(const std::string& folder, int limit);

// The limit typed in the error-limit dialog, or nothing when the trimmed
// entry is empty, not a whole number, 0 or above 25,000.
std::optional<int> ParseErrorLimitEntry(std::string_view entry);

// The texts of the limit finding.
std::string ErrorLimitReference(int limit);
std::string ErrorLimitUserEntry(int limit);
std::string ErrorLimitMessage(int limit);

// The refusal shown by the dialog.
inline constexpr const char* kErrorLimitRefusal =
    "The error limit can not be zero or blank or greater than 25,000.";

}  // namespace lintaro

#endif  // LINTARO_CORE_ERROR_LIMIT_H_
