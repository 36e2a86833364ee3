// A line diff of two texts for test failures: the changed lines with a
// little context around them.
#ifndef LINTARO_TESTS_SUPPORT_LINE_DIFF_H_
#define LINTARO_TESTS_SUPPORT_LINE_DIFF_H_

#include <string>

namespace lintaro::testing {

// The lines only in expected ("- "), only in actual ("+ ") and up to two
// equal lines ("  ") around each change; "..." stands for the equal lines
// left out. Empty when the texts have the same lines.
std::string LineDiff(const std::string& expected, const std::string& actual);

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_LINE_DIFF_H_
