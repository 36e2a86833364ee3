#include "checks/field_steps.h"

namespace lintaro {

std::string EmploymentCodeBlankMessage(std::string_view field) {
  std::string message = "The ";
  message += field;
  message +=
      " field must be blank, because it does not apply to the Employer's Correct Employment "
      "Code entered in the RCE record. Either enter blanks in the ";
  message += field;
  message += " field or change the Employer's Correct Employment Code in the RCE record.";
  return message;
}

void ReportField(std::string_view txtline, const FieldSpec& f, std::string_view message,
                 CheckContext& ctx) {
  ctx.recorder.FieldError(f, FieldText(txtline, f), message);
}

std::string_view TrimSpaces(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace lintaro
