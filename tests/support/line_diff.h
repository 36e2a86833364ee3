// A line diff of two texts for test failures, the comparison of a golden
// file with what a test produced, and a test for each golden file.
#ifndef LINTARO_TESTS_SUPPORT_LINE_DIFF_H_
#define LINTARO_TESTS_SUPPORT_LINE_DIFF_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace lintaro::testing {

// The texts' unified diff (lines only in expected "-", only in actual "+",
// two equal lines around each change). Empty when the texts are equal.
std::string LineDiff(const std::string& expected, const std::string& actual);

// Adds a test failure with the line diff when file does not hold actual.
// With LINTARO_UPDATE_GOLDEN=1 it writes actual into the file instead
// (never otherwise).
void ExpectFileHolds(const std::filesystem::path& file, const std::string& actual);

// The files under folder (subfolders included) whose names end in
// extension, in name order.
std::vector<std::filesystem::path> FilesUnder(const std::filesystem::path& folder,
                                              const std::string& extension);
// Registers a test SUITE.NAME made by make for each of those files; NAME is
// the file's path below folder without the extension, with '_' for every
// character that is not a letter or digit. Returns true (to be called as a
// static initializer).
bool RegisterFileTests(const char* suite, const std::filesystem::path& folder,
                       const std::string& extension,
                       std::function<::testing::Test*(const std::filesystem::path&)> make);

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_LINE_DIFF_H_
