#include "store/cp1252.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace lintaro {
namespace {

// Code points of bytes 0x80-0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct UpperTable {
  std::array<unsigned char, 256> map{};
  constexpr UpperTable() {
    for (int i = 0; i < 256; ++i) map[i] = static_cast<unsigned char>(i);
    for (int c = 'a'; c <= 'z'; ++c) map[c] = static_cast<unsigned char>(c - 32);
    for (int c = 0xE0; c <= 0xFE; ++c)
      if (c != 0xF7) map[c] = static_cast<unsigned char>(c - 32);
    map[0x9A] = 0x8A;  // š -> Š
    map[0x9C] = 0x8C;  // œ -> Œ
    map[0x9E] = 0x8E;  // ž -> Ž
    map[0xFF] = 0x9F;  // ÿ -> Ÿ
  }
};
constexpr UpperTable kUpper;

constexpr uint64_t kHighBits = 0x8080808080808080;

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

char FromCodePoint(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] == cp) return static_cast<char>(0x80 + i);
  return '?';
}

}  // namespace

char32_t Cp1252ToCodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x80)
      out.push_back(c);
    else
      AppendUtf8(out, Cp1252ToCodePoint(b));
  }
  return out;
}

char32_t DecodeUtf8(std::string_view text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char b = byte(i);
  int len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
  if (len == 0 || i + len > text.size()) {
    ++i;
    return 0xFFFD;
  }
  char32_t c = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
  for (int k = 1; k < len; ++k) {
    unsigned char cont = byte(i + k);
    if ((cont & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    c = (c << 6) | (cont & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  i += len;
  if (c < kMin[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0xFFFD;
  return c;
}

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    const char32_t cp = DecodeUtf8(utf8, i);
    out.push_back(cp == 0xFFFD ? '?' : FromCodePoint(cp));
  }
  return out;
}

bool IsAscii(std::string_view bytes) {
  // Thirty-two bytes at a time, then eight: a byte of 0x80 or more has its
  // top bit set.
  const char* p = bytes.data();
  const char* end = p + bytes.size();
  uint64_t high = 0;
  for (; end - p >= 32; p += 32) {
    uint64_t words[4];
    std::memcpy(words, p, 32);
    high |= words[0] | words[1] | words[2] | words[3];
  }
  for (; end - p >= 8; p += 8) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    high |= word;
  }
  for (; p < end; ++p) high |= static_cast<unsigned char>(*p);
  return (high & kHighBits) == 0;
}

void UpperCaseCp1252(std::string& text, size_t begin, size_t end) {
  if (end > text.size()) end = text.size();
  if (begin >= end) return;
  char* p = text.data();
  // Nearly every record is ASCII: a-z lose their 0x20 bit, in a loop the
  // compiler turns into whole-register steps, which also gathers the top
  // bits of the bytes. Bytes of 0x80 or more pass it unchanged.
  unsigned char high = 0;
  for (size_t i = begin; i < end; ++i) {
    const auto c = static_cast<unsigned char>(p[i]);
    high |= c;
    p[i] = static_cast<char>(c - (static_cast<unsigned char>(c - 'a') < 26 ? 0x20 : 0));
  }
  if ((high & 0x80) == 0) return;
  // The others go through the table, which leaves the capitals made above
  // as they are.
  for (size_t i = begin; i < end; ++i)
    p[i] = static_cast<char>(kUpper.map[static_cast<unsigned char>(p[i])]);
}

}  // namespace lintaro
