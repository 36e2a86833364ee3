#include "support/line_diff.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <vector>

#include "support/cli_runner.h"
#include "support/fakes.h"

namespace lintaro::testing {

std::string LineDiff(const std::string& expected, const std::string& actual) {
  if (expected == actual) return "";
  const TempDir dir;
  const std::string a = dir.Write("expected", expected), b = dir.Write("actual", actual);
  // diff's unified format without its two lines of file names.
  return RunShell("diff -U2 '" + a + "' '" + b + "' | tail -n +3").out;
}

void ExpectFileHolds(const std::filesystem::path& file, const std::string& actual) {
  const bool exists = std::filesystem::exists(file);
  const std::string expected = exists ? ReadWholeFile(file.string()) : std::string();
  if (exists && expected == actual) return;
  const char* update = std::getenv("LINTARO_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    std::ofstream(file, std::ios::binary) << actual;
    std::cout << "updated " << file.string() << "\n";
  } else {
    ADD_FAILURE() << file.string() << (exists ? " differs" : " is missing")
                  << " (- expected, + actual; after checking the change, LINTARO_UPDATE_GOLDEN=1 "
                  << "writes it):\n"
                  << LineDiff(expected, actual);
  }
}

std::vector<std::filesystem::path> FilesUnder(const std::filesystem::path& folder,
                                              const std::string& extension) {
  std::vector<std::filesystem::path> found;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    if (entry.path().extension() == extension) found.push_back(entry.path());
  std::sort(found.begin(), found.end());
  return found;
}

bool RegisterFileTests(const char* suite, const std::filesystem::path& folder,
                       const std::string& extension,
                       std::function<::testing::Test*(const std::filesystem::path&)> make) {
  for (const std::filesystem::path& file : FilesUnder(folder, extension)) {
    std::string name = std::filesystem::relative(file, folder).replace_extension().string();
    std::ranges::replace_if(
        name, [](unsigned char c) { return !std::isalnum(c); }, '_');
    ::testing::RegisterTest(suite, name.c_str(), nullptr, nullptr, __FILE__, __LINE__,
                            [make, file] { return make(file); });
  }
  return true;
}

}  // namespace lintaro::testing
