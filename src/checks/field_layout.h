// Record layouts as data: for each field its number (the viewer row and the
// field number of its findings), first position, width and labels. The
// checker, the row filler and the viewer share one table per record type.
#ifndef LINTARO_CHECKS_FIELD_LAYOUT_H_
#define LINTARO_CHECKS_FIELD_LAYOUT_H_

#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "core/field_spec.h"

namespace lintaro {

class ViewerRows;

// Whether each row's number is its place in the layout, so that a name
// given to a row number names that row.
template <size_t N>
constexpr bool RowsNumberedInOrder(const std::array<FieldSpec, N>& layout) {
  for (size_t i = 0; i < N; ++i)
    if (layout[i].number != static_cast<int>(i)) return false;
  return true;
}

// The record identifier: positions 1-3 of every record ("RCA", "RCW", ...),
// shorter when the record is.
inline std::string_view RecordIdentifier(std::string_view txtline) { return txtline.substr(0, 3); }

// The field's characters in txtline (short when the record is short).
inline std::string_view FieldText(std::string_view txtline, int start, int width) {
  const size_t begin = static_cast<size_t>(start - 1);
  if (begin >= txtline.size()) return {};
  return txtline.substr(begin, static_cast<size_t>(width));
}
inline std::string_view FieldText(std::string_view txtline, const FieldSpec& f) {
  return FieldText(txtline, f.start, f.width);
}

// The texts of a finding (see core/field_spec.h), as new strings.
std::string Reference(std::string_view label, int start, int end);
inline std::string Reference(const FieldSpec& f) { return Reference(f.label, f.start, f.end()); }
std::string UserEntry(std::string_view text);

// True when text holds nothing but spaces (or nothing). Inline: the checks
// ask it of nearly every field, and most answers come from the first word.
inline bool IsBlank(std::string_view text) {
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

// Fills one viewer row per field: its caption and its characters.
void FillRows(std::span<const FieldSpec> layout, std::string_view txtline, ViewerRows& rows);

}  // namespace lintaro

#endif  // LINTARO_CHECKS_FIELD_LAYOUT_H_
