// Code page 1252: the single-byte character set of submission files.
//
// Records are handled as bytes throughout the core (one character per byte,
// positions counted from 1). The results database stores text as UTF-8 so
// that other tools show it correctly; these conversions are exact inverses
// for every byte value 0-255, so a record read back from the store is the
// record that was written.
#ifndef LINTARO_STORE_CP1252_H_
#define LINTARO_STORE_CP1252_H_

#include <string>
#include <string_view>

namespace lintaro {

// Unicode code point of a code page 1252 byte. The five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control
// characters of the same value, as the platform's own conversion does.
char32_t Cp1252ToCodePoint(unsigned char byte);

// UTF-8 text of a code page 1252 byte string. Byte 0 becomes U+0000 and is
// kept; the result's length is explicit, never NUL-terminated.
std::string Cp1252ToUtf8(std::string_view bytes);

// Decodes the UTF-8 character at text[i] and advances i past it. A malformed
// sequence gives U+FFFD: a stray or cut-off byte is passed by one byte, an
// overlong form or a surrogate by its whole length.
char32_t DecodeUtf8(std::string_view text, size_t& i);

// The inverse of Cp1252ToUtf8. A character the code page cannot represent,
// or a malformed UTF-8 sequence, becomes '?'.
std::string Utf8ToCp1252(std::string_view utf8);

// True when every byte is below 0x80: the text is the same in code page
// 1252 and in UTF-8.
bool IsAscii(std::string_view bytes);

// Upper-cases the bytes in [begin, end) of text as the ANSI upper-casing of
// the workstation does: a-z and the accented lower-case letters of the code
// page (including š, œ, ž and ÿ) become their capitals; ß and µ stay.
void UpperCaseCp1252(std::string& text, size_t begin, size_t end);

}  // namespace lintaro

#endif  // LINTARO_STORE_CP1252_H_
