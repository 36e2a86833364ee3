// The version of Lintaro, set once as the CMake project version
// ("major.minor.patch") and handed to the code as LINTARO_VERSION.
#ifndef LINTARO_CORE_VERSION_H_
#define LINTARO_CORE_VERSION_H_

#include <string_view>

namespace lintaro {

inline constexpr const char* kLintaroVersion = LINTARO_VERSION;

// Number `index` (0 = major, 1 = minor, 2 = patch) of a dotted version
// text; 0 when the text has fewer numbers. Digits only; anything else ends
// the number.
constexpr int VersionNumber(std::string_view version, int index) {
  for (; index > 0; --index) {
    const size_t dot = version.find('.');
    if (dot == std::string_view::npos) return 0;
    version.remove_prefix(dot + 1);
  }
  int number = 0;
  for (char c : version) {
    if (c < '0' || c > '9') break;
    number = number * 10 + (c - '0');
  }
  return number;
}

// The about box's major and minor version and revision number.
inline constexpr int kVersionMajor = VersionNumber(LINTARO_VERSION, 0);
inline constexpr int kVersionMinor = VersionNumber(LINTARO_VERSION, 1);
inline constexpr int kVersionRevision = VersionNumber(LINTARO_VERSION, 2);

}  // namespace lintaro

#endif  // LINTARO_CORE_VERSION_H_
