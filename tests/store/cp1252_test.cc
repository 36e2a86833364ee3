#include "store/cp1252.h"

#include <gtest/gtest.h>

namespace lintaro {
namespace {

TEST(Cp1252, EveryByteSurvivesTheUtf8RoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string utf8 = Cp1252ToUtf8(all);
  EXPECT_EQ(Utf8ToCp1252(utf8), all);
  EXPECT_EQ(utf8[0], '\0');                         // byte 0 kept, not a terminator
  EXPECT_EQ(Cp1252ToUtf8("\xE9"), "\xC3\xA9");      // é
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");  // €
  EXPECT_EQ(Cp1252ToUtf8("\x81"), "\xC2\x81");      // undefined: C1 control
  EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");     // not in the code page
  EXPECT_EQ(Utf8ToCp1252("A\xC3"), "A?");           // cut off sequence
}

TEST(Cp1252, UpperCasingCoversAccentedLettersOnly) {
  std::string text = "abc xyz \xE9\xF7\xFF\x9A\xDF\xB5 123";
  UpperCaseCp1252(text, 0, text.size());
  EXPECT_EQ(text, "ABC XYZ \xC9\xF7\x9F\x8A\xDF\xB5 123");
  std::string part = "abcdef";
  UpperCaseCp1252(part, 2, 4);
  EXPECT_EQ(part, "abCDef");
}

}  // namespace
}  // namespace lintaro
