#include "core/field_spec.h"

#include <charconv>

namespace lintaro {
namespace {

void AppendNumber(std::string& text, int number) {
  char digits[16];
  const char* end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  text.append(digits, static_cast<size_t>(end - digits));
}

}  // namespace

void AssignReference(std::string& reference, std::string_view label, int start, int end) {
  reference.reserve(label.size() + 24);  // " [Position 1234 - 1234]"
  reference.assign(label);
  reference += " [Position ";
  AppendNumber(reference, start);
  if (end != start) {
    reference += " - ";
    AppendNumber(reference, end);
  }
  reference += ']';
}

void AssignUserEntry(std::string& entry, std::string_view text) {
  entry.assign(1, '[');
  entry += text;
  entry += ']';
}

}  // namespace lintaro
