// The ids of the service's checks: 128 random bits from the system's
// random source, written in URL-safe base64 without padding (22
// characters). An id is never a counter, so one check's id tells nothing
// of another's.
#ifndef LINTARO_SERVE_CHECK_ID_H_
#define LINTARO_SERVE_CHECK_ID_H_

#include <optional>
#include <string>

namespace lintaro {

// A new id, or nothing when the random source cannot be read.
std::optional<std::string> NewCheckId();

// Whether text has the form of an id (so that it can name a folder).
bool IsCheckId(const std::string& text);

}  // namespace lintaro

#endif  // LINTARO_SERVE_CHECK_ID_H_
