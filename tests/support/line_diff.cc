#include "support/line_diff.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <utility>
#include <vector>

#include "support/cli_runner.h"

namespace lintaro::testing {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    const size_t end = std::min(text.find('\n', at), text.size());
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

}  // namespace

std::string LineDiff(const std::string& expected, const std::string& actual) {
  const std::vector<std::string> a = Lines(expected), b = Lines(actual);
  // common[i][j]: the longest common run of lines of a[i..] and b[j..].
  std::vector<std::vector<int>> common(a.size() + 1, std::vector<int>(b.size() + 1));
  for (size_t i = a.size(); i-- > 0;)
    for (size_t j = b.size(); j-- > 0;)
      common[i][j] =
          a[i] == b[j] ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
  std::vector<std::pair<char, std::string>> ops;
  size_t i = 0, j = 0;
  while (i < a.size() || j < b.size()) {
    if (i < a.size() && j < b.size() && a[i] == b[j]) {
      ops.push_back({' ', a[i++]});
      ++j;
    } else if (i < a.size() && (j == b.size() || common[i + 1][j] >= common[i][j + 1])) {
      ops.push_back({'-', a[i++]});
    } else {
      ops.push_back({'+', b[j++]});
    }
  }
  std::string out;
  if (std::all_of(ops.begin(), ops.end(), [](const auto& op) { return op.first == ' '; }))
    return out;
  for (size_t k = 0; k < ops.size(); ++k) {
    bool near = false;
    for (size_t d = k >= 2 ? k - 2 : 0; d <= k + 2 && d < ops.size(); ++d)
      near |= ops[d].first != ' ';
    if (near)
      out += std::string(1, ops[k].first) + " " + ops[k].second + "\n";
    else if (!out.ends_with("...\n"))
      out += "...\n";
  }
  return out;
}

void ExpectFileHolds(const std::filesystem::path& file, const std::string& actual) {
  const bool exists = std::filesystem::exists(file);
  const std::string expected = exists ? ReadWholeFile(file.string()) : std::string();
  if (exists && expected == actual) return;
  const char* update = std::getenv("LINTARO_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    std::ofstream(file, std::ios::binary) << actual;
    std::cout << "updated " << file.string() << "\n";
  } else if (!exists) {
    ADD_FAILURE() << file.string() << " is missing; LINTARO_UPDATE_GOLDEN=1 writes it";
  } else {
    ADD_FAILURE() << file.string() << " differs (- expected, + actual; after checking the "
                  << "change, LINTARO_UPDATE_GOLDEN=1 rewrites it):\n"
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
    for (char& c : name)
      if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    ::testing::RegisterTest(suite, name.c_str(), nullptr, nullptr, __FILE__, __LINE__,
                            [make, file] { return make(file); });
  }
  return true;
}

}  // namespace lintaro::testing
