// What a screen reader is told of the viewer's rows besides their text.
#include "browse/viewer_access.h"

#include <gtest/gtest.h>

namespace lintaro {
namespace {

TEST(ViewerRowDescriptions, PositionsFollowTheRowsOfAWholeRecordAndErrorsAreSaid) {
  std::vector<ViewerRow> rows = {{"Record Identifier", "RCW", false},
                                 {"Social Security Number", "123456789", true},
                                 {"Blank", std::string(1012, ' '), false}};
  EXPECT_EQ(ViewerRowDescriptions(rows),
            (std::vector<std::string>{"Positions 1 to 3", "Positions 4 to 12, in error",
                                      "Positions 13 to 1024"}));
  // Rows that are not a whole record (a record too short to lay out):
  // no positions are guessed.
  rows.pop_back();
  EXPECT_EQ(ViewerRowDescriptions(rows), (std::vector<std::string>{"", "In error"}));
}

}  // namespace
}  // namespace lintaro
