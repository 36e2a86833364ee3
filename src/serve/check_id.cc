#include "serve/check_id.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdint>

namespace lintaro {
namespace {

constexpr size_t kIdBytes = 16;
constexpr size_t kIdChars = 22;
constexpr const char* kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

bool RandomBytes(unsigned char* out, size_t n) {
  size_t got = 0;
  while (got < n) {
    const ssize_t r = ::getrandom(out + got, n - got, 0);
    if (r < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    got += static_cast<size_t>(r);
  }
  return true;
}

}  // namespace

std::optional<std::string> NewCheckId() {
  unsigned char bytes[kIdBytes];
  if (!RandomBytes(bytes, kIdBytes)) return std::nullopt;
  std::string id;
  uint32_t bits = 0;
  int held = 0;
  for (unsigned char b : bytes) {
    bits = (bits << 8) | b;
    held += 8;
    while (held >= 6) {
      held -= 6;
      id += kAlphabet[(bits >> held) & 63];
    }
  }
  if (held > 0) id += kAlphabet[(bits << (6 - held)) & 63];
  return id;
}

bool IsCheckId(const std::string& text) {
  if (text.size() != kIdChars) return false;
  for (char c : text) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == '-' || c == '_';
    if (!ok) return false;
  }
  return true;
}

}  // namespace lintaro
