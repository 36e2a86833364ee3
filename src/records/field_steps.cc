#include "records/field_steps.h"

#include "checks/field_checks.h"

namespace lintaro {

void ReportField(std::string_view txtline, const FieldSpec& f, const std::string& message,
                 CheckContext& ctx) {
  ctx.recorder.FieldError(Reference(f), UserEntry(FieldText(txtline, f)), message, f.number);
}

bool CharField(std::string_view txtline, const FieldSpec& f, std::string& positions,
               CheckContext& ctx) {
  if (CharCheck(FieldText(txtline, f), f.start, positions, &ctx.yielder)) return true;
  ReportField(txtline, f, InvalidCharMessage(positions), ctx);
  return false;
}

bool MoneyCharField(std::string_view txtline, const FieldSpec& f, std::string_view total_record,
                    std::string& positions, CheckContext& ctx) {
  if (CharCheck(FieldText(txtline, f), f.start, positions, &ctx.yielder)) return true;
  ReportField(txtline, f, MoneyInvalidCharMessage(positions, total_record), ctx);
  return false;
}

int64_t DigitsValue(std::string_view digits) {
  int64_t value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

std::string_view TrimSpaces(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace lintaro
