#include "checks/field_layout.h"

#include <cstdint>
#include <cstring>

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

bool IsBlank(std::string_view text) {
  // Eight characters at a time; the last eight may overlap the word before.
  constexpr uint64_t kBlanks = 0x2020202020202020;
  const char* p = text.data();
  const size_t size = text.size();
  if (size < 8) {
    for (size_t i = 0; i < size; ++i)
      if (p[i] != ' ') return false;
    return true;
  }
  uint64_t word;
  for (size_t i = 0; i + 8 < size; i += 8) {
    std::memcpy(&word, p + i, 8);
    if (word != kBlanks) return false;
  }
  std::memcpy(&word, p + size - 8, 8);
  return word == kBlanks;
}

void FillRows(std::span<const FieldSpec> layout, std::string_view txtline, ViewerRows& rows) {
  for (const FieldSpec& f : layout) rows.SetRow(f.number, f.caption(), FieldText(txtline, f));
}

}  // namespace lintaro
