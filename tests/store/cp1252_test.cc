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
  // An overlong "A" and a surrogate are no characters: each is one '?'.
  EXPECT_EQ(Utf8ToCp1252("\xC1\x81|\xED\xA0\x80"), "?|?");
}

// Upper-casing covers accented letters only. Records are upper-cased eight
// bytes at a time; every byte at every place in a word, and every start and
// end, must give what the table gives for the byte alone.
TEST(Cp1252, UpperCasingAWholeRecordEqualsUpperCasingEachByte) {
  std::string text = "abc xyz \xE9\xF7\xFF\x9A\xDF\xB5 123";
  UpperCaseCp1252(text, 0, text.size());
  EXPECT_EQ(text, "ABC XYZ \xC9\xF7\x9F\x8A\xDF\xB5 123");
  // Every byte value, and the ASCII ones alone.
  for (int bytes : {256, 128}) {
    text.clear();
    for (int b = 0; b < bytes; ++b) text.push_back(static_cast<char>(b));
    text += "the quick brown fox, jumps over: the lazy dog {`@[}";
    for (size_t begin = 0; begin < 9; ++begin) {
      for (size_t end : {text.size(), text.size() - 3}) {
        std::string expected = text;
        for (size_t i = begin; i < end; ++i) {
          std::string one(1, text[i]);
          UpperCaseCp1252(one, 0, 1);
          expected[i] = one[0];
        }
        std::string whole = text;
        UpperCaseCp1252(whole, begin, end);
        EXPECT_EQ(whole, expected) << bytes << " " << begin << " " << end;
      }
    }
  }
}

TEST(Cp1252, IsAsciiFindsAHighByteAnywhere) {
  EXPECT_TRUE(IsAscii(""));
  // Lengths past two steps of thirty-two bytes, one of eight and a few
  // single bytes.
  for (size_t length = 1; length <= 75; ++length) {
    std::string text(length, '\x7F');
    EXPECT_TRUE(IsAscii(text)) << length;
    for (size_t at = 0; at < length; ++at) {
      std::string high = text;
      high[at] = '\x80';
      EXPECT_FALSE(IsAscii(high)) << length << " " << at;
    }
  }
}

}  // namespace
}  // namespace lintaro
