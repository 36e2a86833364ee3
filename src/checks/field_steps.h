// Steps the record checkers share, on fields of a layout table: reporting a
// finding against a field and the employment-code message. The
// printable-character steps of a field (CharField, MoneyCharField) come
// with checks/field_checks.h.
#ifndef LINTARO_CHECKS_FIELD_STEPS_H_
#define LINTARO_CHECKS_FIELD_STEPS_H_

#include <string>
#include <string_view>

#include "checks/field_checks.h"
#include "checks/field_layout.h"
#include "core/check_context.h"

namespace lintaro {

// The finding for a correct amount the employer's employment code rules out;
// field is its name after "The ", e.g. "Correct Social Security Wages" or
// "Total Correct Social Security Wages".
std::string EmploymentCodeBlankMessage(std::string_view field);

// Reports message against field f: the field's reference, its characters as
// found and its number.
void ReportField(std::string_view txtline, const FieldSpec& f, std::string_view message,
                 CheckContext& ctx);

// text without the spaces at either end.
std::string_view TrimSpaces(std::string_view text);

}  // namespace lintaro

#endif  // LINTARO_CHECKS_FIELD_STEPS_H_
