#include "checks/field_checks.h"

#include <limits>

#include "checks/field_layout.h"
#include "core/check_context.h"
#include "core/yielder.h"

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

}  // namespace

bool NumCheck(std::string_view text) {
  for (char c : text)
    if (!IsDigit(c)) return false;
  return true;
}

int64_t AmountValue(std::string_view digits) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
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
  size_t last_separator = std::string::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto code = static_cast<unsigned char>(text[i]);
    if (code < 32 || code > 126) {
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
  std::string positions;
  if (CharCheck(text, f.start, positions, &ctx.yielder)) return true;
  ctx.recorder.FieldError(Reference(f), UserEntry(text), InvalidCharMessage(positions), f.number);
  return false;
}

bool MoneyCharField(std::string_view txtline, const FieldSpec& f, std::string_view total_record,
                    CheckContext& ctx) {
  const std::string_view text = FieldText(txtline, f);
  std::string positions;
  if (CharCheck(text, f.start, positions, &ctx.yielder)) return true;
  ctx.recorder.FieldError(Reference(f), UserEntry(text),
                          MoneyInvalidCharMessage(positions, total_record), f.number);
  return false;
}

}  // namespace lintaro
