// A field of a record layout, and the texts a finding about a field
// carries: its reference (label and positions) and its user entry (the
// characters as found). The texts are assigned to a string the caller
// keeps, so that a finding written straight into its stored row allocates
// nothing once that row's storage has held a longer one.
#ifndef LINTARO_CORE_FIELD_SPEC_H_
#define LINTARO_CORE_FIELD_SPEC_H_

#include <string>
#include <string_view>

namespace lintaro {

struct FieldSpec {
  int number;               // viewer row, from 0 (the record identifier)
  int start;                // first position, 1-based
  int width;                // characters
  std::string_view label;   // the name findings carry
  std::string_view viewer;  // the caption shown in the viewer; empty: label

  constexpr int end() const { return start + width - 1; }
  constexpr std::string_view caption() const { return viewer.empty() ? label : viewer; }
  // The label without its leading words, as a message names the field
  // ("Total Correct Social Security Tips" without "Total Correct " is
  // "Social Security Tips"); the whole label when it does not start so.
  constexpr std::string_view label_after(std::string_view leading) const {
    return label.starts_with(leading) ? label.substr(leading.size()) : label;
  }
};

// label + " [Position " + start + " - " + end + "]", or label + " [Position "
// + start + "]" when the field is one character wide.
void AssignReference(std::string& reference, std::string_view label, int start, int end);
inline void AssignReference(std::string& reference, const FieldSpec& f) {
  AssignReference(reference, f.label, f.start, f.end());
}

// "[" + text + "]"
void AssignUserEntry(std::string& entry, std::string_view text);

}  // namespace lintaro

#endif  // LINTARO_CORE_FIELD_SPEC_H_
