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
  try {
    // Writing a JSON string checks its UTF-8 strictly (RFC 3629).
    return !nlohmann::json(std::string(text)).dump().empty();
  } catch (const nlohmann::json::type_error&) {
    return false;
  }
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
