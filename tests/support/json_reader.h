// Reading JSON in tests: a strict syntax check and the value at a path.
#ifndef LINTARO_TESTS_SUPPORT_JSON_READER_H_
#define LINTARO_TESTS_SUPPORT_JSON_READER_H_

#include <string>

namespace lintaro::testing {

// True when text is exactly one JSON value, written as RFC 8259 allows
// (surrounding white space included).
bool IsStrictJson(const std::string& text);

// The value at path (SQLite's JSON path syntax: "$.errors[0].field") of a
// JSON text: a string's characters, a number as written, true, false or
// null, an object or array as JSON text; "<missing>" when there is nothing
// at path, "<invalid>" when the text is not JSON.
std::string JsonAt(const std::string& json, const std::string& path);

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_JSON_READER_H_
