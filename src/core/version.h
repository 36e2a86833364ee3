// The version of Lintaro, set once as the CMake project version.
#ifndef LINTARO_CORE_VERSION_H_
#define LINTARO_CORE_VERSION_H_

namespace lintaro {

inline constexpr const char* kLintaroVersion = LINTARO_VERSION;

}  // namespace lintaro

#endif  // LINTARO_CORE_VERSION_H_
