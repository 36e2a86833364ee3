// Whole numbers as users and files write them: digits only, no sign and no
// blank, within a range. Options, settings, the service's parameters and
// the positions of a finding are all read this way.
#ifndef LINTARO_CORE_WHOLE_NUMBER_H_
#define LINTARO_CORE_WHOLE_NUMBER_H_

#include <charconv>
#include <concepts>
#include <optional>
#include <string_view>

namespace lintaro {

// The number text holds, when it is only digits and from min to max.
template <std::integral T>
std::optional<T> ParseWholeNumber(std::string_view text, T min, T max) {
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  T value{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end || value < min || value > max) return std::nullopt;
  return value;
}

}  // namespace lintaro

#endif  // LINTARO_CORE_WHOLE_NUMBER_H_
