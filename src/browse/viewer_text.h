// The record viewer's rows as lines of text, for the command line's show
// command and anything else that prints a record as the viewer shows it.
#ifndef LINTARO_BROWSE_VIEWER_TEXT_H_
#define LINTARO_BROWSE_VIEWER_TEXT_H_

#include <string>
#include <string_view>

#include "browse/record_viewer.h"

namespace lintaro {

// UTF-8 of code page 1252 bytes for a terminal: control characters, and the
// bytes the code page leaves undefined, become U+FFFD, so that a record
// cannot move the cursor or send commands to the terminal; every character
// stays one column wide.
std::string PrintableUtf8(std::string_view bytes);

// One row as a line: "*" for a field in error or a space, a space, the
// field number, a space, the label, a space and the value in square
// brackets, in UTF-8, without a line break.
std::string ViewerRowLine(int field, const ViewerRow& row);

}  // namespace lintaro

#endif  // LINTARO_BROWSE_VIEWER_TEXT_H_
