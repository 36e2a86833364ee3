// The report formats' table against what is written elsewhere: the bash
// completion offers exactly its names after report --format.
#include "reports/report_format.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace lintaro {
namespace {

// The words the completion script offers after `report --format`.
std::vector<std::string> CompletedReportFormats() {
  std::ifstream in(LINTARO_SOURCE_DIR "/packaging/lintaro-cli.bash-completion");
  const std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::smatch words;
  const std::regex after_report(
      R"(\$command == report \]\]; then\s+COMPREPLY=\(\$\(compgen -W '([^']*)')");
  if (!std::regex_search(script, words, after_report)) return {};
  std::istringstream list(words[1].str());
  return {std::istream_iterator<std::string>(list), std::istream_iterator<std::string>()};
}

TEST(ReportFormatTest, CompletionOffersEveryFormat) {
  std::vector<std::string> names;
  for (const ReportFormat& format : ReportFormats()) names.emplace_back(format.name);
  EXPECT_THAT(CompletedReportFormats(), ::testing::UnorderedElementsAreArray(names));
}

}  // namespace
}  // namespace lintaro
