// The checks of report text the fuzz targets share. fuzz_support.cc is built
// without the fuzzer's coverage instrumentation: the checks cost little and
// do not count as new behaviour of the code under test.
#ifndef LINTARO_TESTS_FUZZ_FUZZ_SUPPORT_H_
#define LINTARO_TESTS_FUZZ_FUZZ_SUPPORT_H_

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace lintaro::fuzz {

// Prints "target: what" and aborts unless holds.
void Require(bool holds, const char* target, const char* what);

// True when text is well-formed UTF-8 (no overlong forms, surrogates or
// code points past U+10FFFF).
bool IsUtf8(std::string_view text);

// The number of characters of UTF-8 text (the bytes that do not continue one).
size_t CountUtf8Chars(std::string_view text);

// True when html is ASCII and every "<" in it opens or closes an element
// named in tags (lower case; "!doctype" for the declaration), the name
// ending at a blank or ">".
bool HasOnlyMarkupOf(std::string_view html, std::initializer_list<std::string_view> tags);

// True when text is exactly one JSON value, written as RFC 8259 allows
// (surrounding white space included).
bool IsStrictJson(const std::string& text);

}  // namespace lintaro::fuzz

#endif  // LINTARO_TESTS_FUZZ_FUZZ_SUPPORT_H_
