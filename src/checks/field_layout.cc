#include "checks/field_layout.h"

#include "platform/viewer_rows.h"

namespace lintaro {

std::string Reference(std::string_view label, int start, int end) {
  std::string ref;
  AssignReference(ref, label, start, end);
  return ref;
}

std::string UserEntry(std::string_view text) {
  std::string entry;
  AssignUserEntry(entry, text);
  return entry;
}

void FillRows(std::span<const FieldSpec> layout, std::string_view txtline, ViewerRows& rows) {
  for (const FieldSpec& f : layout) rows.SetRow(f.number, f.caption(), FieldText(txtline, f));
}

}  // namespace lintaro
