#include "browse/viewer_text.h"

#include "store/cp1252.h"

namespace lintaro {

std::string PrintableUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const char32_t cp = Cp1252ToCodePoint(static_cast<unsigned char>(c));
    if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F))
      out += "\xEF\xBF\xBD";
    else
      out += Cp1252ToUtf8(std::string_view(&c, 1));
  }
  return out;
}

std::string ViewerRowLine(int field, const ViewerRow& row) {
  return std::string(row.marked ? "*" : " ") + " " + std::to_string(field) + " " +
         PrintableUtf8(row.label) + " [" + PrintableUtf8(row.value) + "]";
}

}  // namespace lintaro
