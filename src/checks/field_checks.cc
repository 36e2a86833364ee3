#include "checks/field_checks.h"

#include <cstdint>
#include <cstring>
#include <limits>

#include "checks/field_layout.h"
#include "core/check_context.h"
#include "platform/yielder.h"

namespace lintaro {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }

// The part of both invalid-character messages that lists the characters a
// field may hold, up to and including the double quote.
constexpr const char* kAllowedHead =
    " of this record. This field may only contain letters (A-Z), numbers (0-9), spaces, "
    "non-alpha non-numeric characters (~ ! @ # $ % ^ & * ( ) _ + { } | : \"";
constexpr const char* kAllowedTail = " < > ? ` - = [ ] \\ ; ' , . /).";

constexpr uint64_t kEachByte = 0x0101010101010101;
constexpr uint64_t kHighBits = 0x8080808080808080;

bool IsPrintable(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 32 && code <= 126;
}

// The eight characters at p as one word, the first in the lowest byte.
uint64_t WordAt(const char* p) {
  uint64_t word;
  std::memcpy(&word, p, 8);
  return word;
}

// True when every character's code is 32 to 126, tested eight at a time
// (the last eight may overlap the word before): in a word without a byte of
// 0x80 or more, adding 0x60 to each byte sets its top bit exactly when it is
// 32 or more, and adding 1 exactly when it is 127 (no byte carries into the
// next).
bool AllPrintable(std::string_view text) {
  const char* p = text.data();
  const size_t size = text.size();
  if (size < 8) {
    for (size_t i = 0; i < size; ++i)
      if (!IsPrintable(p[i])) return false;
    return true;
  }
  const auto bad = [](uint64_t word) {
    return word | ~(word + kEachByte * 0x60) | (word + kEachByte);
  };
  uint64_t found = bad(WordAt(p + size - 8));
  for (size_t i = 0; i + 8 < size; i += 8) found |= bad(WordAt(p + i));
  return (found & kHighBits) == 0;
}

// CharCheck of a field that passes (nearly every field), with no list of
// positions to clear or build: all the characters are counted in one yield.
bool AllPrintableYielding(std::string_view text, Yielder* yielder) {
  if (!AllPrintable(text)) return false;
  if (yielder != nullptr) yielder->Yield(static_cast<unsigned>(text.size()));
  return true;
}

// True when each of the eight bytes of word is a digit: in a word without
// a byte of 0x80 or more, adding 0x50 to each byte sets its top bit exactly
// when it is '0' or more, and adding 0x46 exactly when it is past '9'.
bool AllDigits(uint64_t word) {
  return ((word | ~(word + kEachByte * 0x50) | (word + kEachByte * 0x46)) & kHighBits) == 0;
}

// The value of eight digits, the first in the lowest byte: pairs, then
// fours, then all eight are combined by multiplication.
uint64_t EightDigitsValue(uint64_t word) {
  word -= kEachByte * '0';
  word = word * 10 + (word >> 8);
  return (((word & 0x000000FF000000FF) * (100 + (1000000ULL << 32))) +
          (((word >> 16) & 0x000000FF000000FF) * (1 + (10000ULL << 32)))) >>
         32;
}

}  // namespace

bool NumCheck(std::string_view text) {
  // Eight at a time; the last eight may overlap the word before.
  const char* p = text.data();
  const size_t size = text.size();
  if (size < 8) {
    for (size_t i = 0; i < size; ++i)
      if (!IsDigit(p[i])) return false;
    return true;
  }
  for (size_t i = 0; i + 8 < size; i += 8)
    if (!AllDigits(WordAt(p + i))) return false;
  return AllDigits(WordAt(p + size - 8));
}

int64_t AmountValue(std::string_view digits) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  if (digits.size() <= 18) {
    // Eighteen digits cannot reach the maximum (every money field is
    // narrower): eight digits at a time while all eight are digits.
    uint64_t value = 0;
    size_t i = 0;
    for (; i + 8 <= digits.size(); i += 8) {
      uint64_t word;
      std::memcpy(&word, digits.data() + i, 8);
      if (!AllDigits(word)) break;
      value = value * 100000000 + EightDigitsValue(word);
    }
    for (; i < digits.size() && IsDigit(digits[i]); ++i)
      value = value * 10 + static_cast<uint64_t>(digits[i] - '0');
    return static_cast<int64_t>(value);
  }
  int64_t value = 0;
  for (char c : digits) {
    if (!IsDigit(c)) break;
    const int d = c - '0';
    if (value > (kMax - d) / 10) return kMax;  // beyond any field's width
    value = value * 10 + d;
  }
  return value;
}

bool CharCheck(std::string_view text, int start, std::string& positions, Yielder* yielder) {
  positions.clear();
  if (AllPrintableYielding(text, yielder)) return true;
  size_t last_separator = std::string::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!IsPrintable(text[i])) {
      if (!positions.empty()) {
        last_separator = positions.size();
        positions += ", ";
      }
      positions += std::to_string(start + static_cast<int>(i));
    } else if (yielder != nullptr) {
      yielder->Yield();
    }
  }
  if (last_separator != std::string::npos) positions.replace(last_separator, 2, " and ");
  return positions.empty();
}

bool NameCheck(std::string_view text) {
  for (char c : text) {
    if (c == '.' || c == '-' || c == '\'' || c == ' ') continue;
    if (IsDigit(c) || IsLetter(c)) continue;
    return false;
  }
  return true;
}

bool AlphaNumCheck(std::string_view text) {
  for (char c : text)
    if (!IsDigit(c) && !IsLetter(c)) return false;
  return true;
}

bool PinCheck(std::string_view text) {
  if (text.size() < 8) return false;
  for (size_t i = 0; i < 8; ++i)
    if (!IsDigit(text[i]) && !IsLetter(text[i])) return false;
  return true;
}

std::string InvalidCharMessage(const std::string& positions) {
  return "Invalid character found in position(s) " + positions + kAllowedHead + kAllowedTail;
}

std::string MoneyInvalidCharMessage(const std::string& positions, std::string_view total_record) {
  std::string message =
      "Invalid character found in position(s) " + positions + kAllowedHead + kAllowedTail;
  message += " Please note that the sum of this field cannot be totaled correctly in the ";
  message += total_record;
  message += " record because of the presence of an invalid character(s).";
  return message;
}

bool CharField(std::string_view txtline, const FieldSpec& f, CheckContext& ctx) {
  const std::string_view text = FieldText(txtline, f);
  if (AllPrintableYielding(text, &ctx.yielder)) return true;
  std::string positions;
  CharCheck(text, f.start, positions, &ctx.yielder);
  ctx.recorder.FieldError(f, text, InvalidCharMessage(positions));
  return false;
}

bool MoneyCharField(std::string_view txtline, const FieldSpec& f, std::string_view total_record,
                    CheckContext& ctx) {
  const std::string_view text = FieldText(txtline, f);
  if (AllPrintableYielding(text, &ctx.yielder)) return true;
  std::string positions;
  CharCheck(text, f.start, positions, &ctx.yielder);
  ctx.recorder.FieldError(f, text, MoneyInvalidCharMessage(positions, total_record));
  return false;
}

}  // namespace lintaro
