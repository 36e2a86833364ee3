// Character-class tests applied to the fields of every record. They are
// pure functions of their text (CharCheck also yields to event processing)
// and report nothing: the checkers decide what to report and in which words.
#ifndef LINTARO_CHECKS_FIELD_CHECKS_H_
#define LINTARO_CHECKS_FIELD_CHECKS_H_

#include <string>
#include <string_view>

namespace lintaro {

class Yielder;

// True when every character is a digit 0-9; true for the empty text.
bool NumCheck(std::string_view text);

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

// Each of the first eight characters a letter A-Z or a digit.
bool PinCheck(std::string_view text);

// The invalid-character message for a position list.
std::string InvalidCharMessage(const std::string& positions);

// The money invalid-character message; total_record is "RCT" or "RCU".
std::string MoneyInvalidCharMessage(const std::string& positions, std::string_view total_record);

}  // namespace lintaro

#endif  // LINTARO_CHECKS_FIELD_CHECKS_H_
