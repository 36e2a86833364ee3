#include "support/json_reader.h"

#include <sqlite3.h>

#include <cctype>
#include <cstring>

namespace lintaro::testing {
namespace {

// A recursive-descent reader that accepts nothing RFC 8259 does not.
struct StrictReader {
  const std::string& s;
  size_t i = 0;
  char Peek() { return i < s.size() ? s[i] : '\0'; }
  void Space() {
    while (i < s.size() && s[i] && std::strchr(" \n\r\t", s[i])) ++i;
  }
  bool Eat(char c) { return Space(), Peek() == c ? (++i, true) : false; }
  bool List(char close, bool keys) {
    if (Eat(close)) return true;
    do {
      if (keys && !(Eat('"') && String() && Eat(':'))) return false;
      if (!Value()) return false;
    } while (Eat(','));
    return Eat(close);
  }
  bool String() {
    for (; i < s.size(); ++i) {
      const auto c = static_cast<unsigned char>(s[i]);
      if (c == '"') return ++i, true;
      if (c < 0x20) return false;
      if (c != '\\') continue;
      const char e = ++i < s.size() ? s[i] : '\0';
      if (e == 'u') {
        for (int k = 0; k < 4; ++k)
          if (!std::isxdigit(static_cast<unsigned char>(++i < s.size() ? s[i] : 'x'))) return false;
      } else if (!e || !std::strchr("\"\\/bfnrt", e)) {
        return false;
      }
    }
    return false;
  }
  bool Value() {
    Space();
    if (Eat('{')) return List('}', true);
    if (Eat('[')) return List(']', false);
    if (Eat('"')) return String();
    for (const char* w : {"true", "false", "null"})
      if (s.compare(i, std::strlen(w), w) == 0) return i += std::strlen(w), true;
    const size_t start = i;
    if (Peek() == '-') ++i;
    while (std::isdigit(static_cast<unsigned char>(Peek()))) ++i;
    return i > start && std::isdigit(static_cast<unsigned char>(s[i - 1]));
  }
};

}  // namespace

bool IsStrictJson(const std::string& text) {
  StrictReader r{text};
  return r.Value() && (r.Space(), r.i == text.size());
}

std::string JsonAt(const std::string& json, const std::string& path) {
  if (!IsStrictJson(json)) return "<invalid>";
  sqlite3* db = nullptr;
  sqlite3_open(":memory:", &db);
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(db, "SELECT json_type(?1, ?2), json_extract(?1, ?2)", -1, &s, nullptr);
  sqlite3_bind_text(s, 1, json.data(), static_cast<int>(json.size()), SQLITE_TRANSIENT);
  sqlite3_bind_text(s, 2, path.data(), static_cast<int>(path.size()), SQLITE_TRANSIENT);
  std::string value = "<missing>";
  if (sqlite3_step(s) == SQLITE_ROW && sqlite3_column_type(s, 0) != SQLITE_NULL) {
    const std::string type = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    if (type == "true" || type == "false" || type == "null") {
      value = type;
    } else {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, 1));
      value.assign(text, static_cast<size_t>(sqlite3_column_bytes(s, 1)));
    }
  }
  sqlite3_finalize(s);
  sqlite3_close(db);
  return value;
}

}  // namespace lintaro::testing
