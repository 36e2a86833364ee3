// The text report's layout is pinned by the golden cases (tests/golden,
// NAME.report); here the buffer it is built in, whose character count
// decides where a long report is cut into pieces.
#include <gtest/gtest.h>

#include "reports/report_content.h"

namespace lintaro {
namespace {

TEST(ReportBuffer, CountsCharactersNotBytes) {
  ReportBuffer b;
  b.Append("ab");
  b.Append("\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(b.chars, 4u);
  EXPECT_EQ(b.text.size(), 7u);
}

}  // namespace
}  // namespace lintaro
