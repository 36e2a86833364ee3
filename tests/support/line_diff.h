// A line diff of two texts for test failures, and the comparison of a
// golden file with what a test produced.
#ifndef LINTARO_TESTS_SUPPORT_LINE_DIFF_H_
#define LINTARO_TESTS_SUPPORT_LINE_DIFF_H_

#include <filesystem>
#include <string>

namespace lintaro::testing {

// The lines only in expected ("- "), only in actual ("+ ") and up to two
// equal lines ("  ") around each change; "..." stands for the equal lines
// left out. Empty when the texts have the same lines.
std::string LineDiff(const std::string& expected, const std::string& actual);

// Adds a test failure with the line diff when file does not hold actual.
// With LINTARO_UPDATE_GOLDEN=1 it writes actual into the file instead
// (never otherwise).
void ExpectFileHolds(const std::filesystem::path& file, const std::string& actual);

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_LINE_DIFF_H_
