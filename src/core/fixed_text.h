// Text known when the program is compiled: a string literal, or the digits
// of a number, joined with + into one array of characters, so that a title
// or a help text built from a constant is still a constant.
#ifndef LINTARO_CORE_FIXED_TEXT_H_
#define LINTARO_CORE_FIXED_TEXT_H_

#include <cstddef>
#include <string_view>

namespace lintaro {

template <std::size_t N>
struct FixedText {
  char chars[N + 1] = {};

  constexpr FixedText() = default;
  // Not explicit, so that a literal and a FixedText join with +.
  constexpr FixedText(const char (&literal)[N + 1]) {
    for (std::size_t i = 0; i <= N; ++i) chars[i] = literal[i];
  }

  constexpr const char* c_str() const { return chars; }
  constexpr std::string_view view() const { return {chars, N}; }

  template <std::size_t M>
  constexpr FixedText<N + M> operator+(const FixedText<M>& other) const {
    FixedText<N + M> joined;
    for (std::size_t i = 0; i < N; ++i) joined.chars[i] = chars[i];
    for (std::size_t i = 0; i < M; ++i) joined.chars[N + i] = other.chars[i];
    return joined;
  }
  template <std::size_t M>
  constexpr FixedText<N + M - 1> operator+(const char (&literal)[M]) const {
    return *this + FixedText<M - 1>(literal);
  }
};

template <std::size_t M>
FixedText(const char (&)[M]) -> FixedText<M - 1>;

template <std::size_t M, std::size_t N>
constexpr FixedText<M - 1 + N> operator+(const char (&literal)[M], const FixedText<N>& text) {
  return FixedText<M - 1>(literal) + text;
}

// The four digits of a number from 0 to 9999, with leading zeros.
constexpr FixedText<4> FourDigits(int number) {
  FixedText<4> digits;
  for (int i = 3; i >= 0; --i, number /= 10) digits.chars[i] = static_cast<char>('0' + number % 10);
  return digits;
}

}  // namespace lintaro

#endif  // LINTARO_CORE_FIXED_TEXT_H_
