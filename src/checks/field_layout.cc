#include "checks/field_layout.h"

#include "platform/viewer_rows.h"

namespace lintaro {

std::string Reference(std::string_view label, int start, int end) {
  std::string ref;
  ref.reserve(label.size() + 24);  // " [Position 1234 - 1234]"
  ref += label;
  ref += " [Position ";
  ref += std::to_string(start);
  if (end != start) {
    ref += " - ";
    ref += std::to_string(end);
  }
  ref += "]";
  return ref;
}

std::string UserEntry(std::string_view text) {
  std::string entry;
  entry.reserve(text.size() + 2);
  entry += '[';
  entry += text;
  entry += ']';
  return entry;
}

void FillRows(std::span<const FieldSpec> layout, std::string_view txtline, ViewerRows& rows) {
  for (const FieldSpec& f : layout) rows.SetRow(f.number, f.caption(), FieldText(txtline, f));
}

}  // namespace lintaro
