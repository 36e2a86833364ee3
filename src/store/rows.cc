#include "store/rows.h"

#include <charconv>

namespace lintaro {
namespace {

// A pair number of one or two digits without a leading zero, 1 to 99.
std::optional<int> ParsePair(std::string_view digits) {
  if (digits.empty() || digits.size() > 2 || digits[0] == '0') return std::nullopt;
  int n = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return n;
}

bool Consume(std::string_view& s, std::string_view prefix) {
  if (s.substr(0, prefix.size()) != prefix) return false;
  s.remove_prefix(prefix.size());
  return true;
}

}  // namespace

std::optional<TotalsColumn> ParseTotalsColumn(std::string_view name) {
  if (name == "0") return TotalsColumn{TotalsColumn::kCount, 0};
  std::string_view s = name;
  if (Consume(s, "C")) {
    if (s.size() < 7 || s.substr(s.size() - 6) != "ErrRef") return std::nullopt;
    auto n = ParsePair(s.substr(0, s.size() - 6));
    if (!n) return std::nullopt;
    return TotalsColumn{TotalsColumn::kErrRef, *n};
  }
  const bool orig = Consume(s, "Orig");
  const bool blank = !s.empty() && s.back() == 'b';
  if (blank) s.remove_suffix(1);
  auto n = ParsePair(s);
  if (!n) return std::nullopt;
  TotalsColumn::Kind kind = orig ? (blank ? TotalsColumn::kOrigBlank : TotalsColumn::kOrig)
                                 : (blank ? TotalsColumn::kCorrectBlank : TotalsColumn::kCorrect);
  return TotalsColumn{kind, *n};
}

}  // namespace lintaro
