#include "core/version.h"

#include <gtest/gtest.h>

namespace lintaro {
namespace {

TEST(Version, NumbersOfADottedVersion) {
  struct Case {
    const char* version;
    int major, minor, revision;
  } cases[] = {
      {"1.1.0", 1, 1, 0},  {"12.34.567", 12, 34, 567}, {"2", 2, 0, 0},
      {"3.4", 3, 4, 0},    {"1.2.3-rc1", 1, 2, 3},     {"", 0, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VersionNumber(c.version, 0), c.major) << c.version;
    EXPECT_EQ(VersionNumber(c.version, 1), c.minor) << c.version;
    EXPECT_EQ(VersionNumber(c.version, 2), c.revision) << c.version;
  }
}

}  // namespace
}  // namespace lintaro
