#include "fuzz_support.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

namespace lintaro::fuzz {

void Require(bool holds, const char* target, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "%s: %s\n", target, what);
  std::abort();
}

bool IsUtf8(std::string_view text) {
  static constexpr uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t n = lead < 0x80   ? 1
                     : lead < 0xC2 ? 0
                     : lead < 0xE0 ? 2
                     : lead < 0xF0 ? 3
                     : lead < 0xF5 ? 4
                                   : 0;
    if (n == 0 || i + n > text.size()) return false;
    uint32_t cp = n == 1 ? lead : lead & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < kLeast[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += n;
  }
  return true;
}

size_t CountUtf8Chars(std::string_view text) {
  return std::count_if(text.begin(), text.end(),
                       [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

bool HasOnlyMarkupOf(std::string_view html, std::initializer_list<std::string_view> tags) {
  for (size_t at = 0; at < html.size(); ++at) {
    if (static_cast<unsigned char>(html[at]) >= 0x80) return false;
    if (html[at] != '<') continue;
    const size_t name = at + 1 + (at + 1 < html.size() && html[at + 1] == '/');
    const size_t end = std::min(html.find_first_of(" >", name), html.size());
    if (end == html.size()) return false;
    std::string tag(html.substr(name, end - name));
    for (char& c : tag) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (std::find(tags.begin(), tags.end(), tag) == tags.end()) return false;
  }
  return true;
}

bool IsStrictJson(const std::string& text) { return nlohmann::json::accept(text); }

}  // namespace lintaro::fuzz
