// Steps the record checkers share: a field tested for printable characters
// and reported with the invalid-character message, and the reporting of a
// finding against a field of a layout.
#ifndef LINTARO_RECORDS_FIELD_STEPS_H_
#define LINTARO_RECORDS_FIELD_STEPS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "core/check_context.h"
#include "records/layout.h"

namespace lintaro {

// Reports message against field f: the field's reference, its characters as
// found and its number.
void ReportField(std::string_view txtline, const FieldSpec& f, const std::string& message,
                 CheckContext& ctx);

// CharCheck of field f; a failure is reported with the invalid-character
// message. positions is a scratch buffer for the list of offending
// positions. Returns CharCheck's result.
bool CharField(std::string_view txtline, const FieldSpec& f, std::string& positions,
               CheckContext& ctx);

// The same for an Originally Reported money field of an employee record: a
// failure is reported with the money invalid-character message, whose
// ending names the total record ("RCT" or "RCU").
bool MoneyCharField(std::string_view txtline, const FieldSpec& f, std::string_view total_record,
                    std::string& positions, CheckContext& ctx);

// The value of a text of digits (the caller has tested NumCheck).
int64_t DigitsValue(std::string_view digits);

// text without the spaces at either end.
std::string_view TrimSpaces(std::string_view text);

}  // namespace lintaro

#endif  // LINTARO_RECORDS_FIELD_STEPS_H_
