#include "checks/field_layout.h"

#include "core/viewer_rows.h"

namespace lintaro {

std::string_view FieldText(std::string_view txtline, int start, int width) {
  const size_t begin = static_cast<size_t>(start - 1);
  if (begin >= txtline.size()) return {};
  return txtline.substr(begin, static_cast<size_t>(width));
}

std::string Reference(std::string_view label, int start, int end) {
  std::string ref(label);
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

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

void FillRows(std::span<const FieldSpec> layout, std::string_view txtline, ViewerRows& rows) {
  for (const FieldSpec& f : layout) rows.SetRow(f.number, f.caption(), FieldText(txtline, f));
}

}  // namespace lintaro
