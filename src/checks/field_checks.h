// Character-class tests applied to the fields of every record. They are
// pure functions of their text (CharCheck also yields to event processing)
// and report nothing: the checkers decide what to report and in which words.
//
// CharField and MoneyCharField are the one reporting step every checker
// repeats: CharCheck of a field and, when it fails, the standard finding.
#ifndef LINTARO_CHECKS_FIELD_CHECKS_H_
#define LINTARO_CHECKS_FIELD_CHECKS_H_

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "checks/field_layout.h"

namespace lintaro {

class Yielder;
struct CheckContext;

// True when every character is a digit 0-9; true for the empty text.
bool NumCheck(std::string_view text);

// The value of the leading digits of text (all of a text NumCheck passes),
// e.g. the cents of a money field; a value beyond int64_t gives its maximum.
int64_t AmountValue(std::string_view digits);

// True when value is one of codes.
inline bool OneOf(std::string_view value, std::initializer_list<std::string_view> codes) {
  for (std::string_view code : codes)
    if (value == code) return true;
  return false;
}

// True when every character's code is 32 to 126. positions receives the
// record positions of the others (start + index), "7", "7 and 9" or
// "7, 9 and 12"; it is cleared first. yielder (may be null) is given one
// yield per character that passes.
bool CharCheck(std::string_view text, int start, std::string& positions,
               Yielder* yielder = nullptr);

// Letters A-Z, digits, space, "-", "." and "'" only; true for the empty text.
bool NameCheck(std::string_view text);

// Letters A-Z and digits only; true for the empty text.
bool AlphaNumCheck(std::string_view text);

// Each of the first eight characters a letter A-Z or a digit; a shorter
// text fails.
bool PinCheck(std::string_view text);

// The invalid-character message for a position list.
std::string InvalidCharMessage(const std::string& positions);

// The money invalid-character message; total_record is "RCT" or "RCU".
std::string MoneyInvalidCharMessage(const std::string& positions, std::string_view total_record);

// CharCheck of field f of txtline; when it fails, the invalid-character
// finding with the field's reference, its characters as user entry and its
// number. Returns CharCheck's result.
bool CharField(std::string_view txtline, const FieldSpec& f, CheckContext& ctx);

// The same with the money invalid-character message (the Originally
// Reported money fields of an employee record); total_record is "RCT" or
// "RCU".
bool MoneyCharField(std::string_view txtline, const FieldSpec& f, std::string_view total_record,
                    CheckContext& ctx);

}  // namespace lintaro

#endif  // LINTARO_CHECKS_FIELD_CHECKS_H_
