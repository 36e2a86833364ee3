// The run's messages worded for a terminal: the desktop program shows them in
// message boxes ("Results: Testing Completed."), lintaro-cli as lines of its
// standard error in its own style ("lintaro-cli: FILE: the file contains no
// valid data"), or not at all where its summary already says it.
#ifndef LINTARO_CLI_TERMINAL_WORDING_H_
#define LINTARO_CLI_TERMINAL_WORDING_H_

#include <string>

namespace lintaro {

struct TerminalLine {
  std::string text;      // without "lintaro-cli: "; empty when a terminal needs no line
  bool problem = false;  // said under --quiet too: the check could not give its verdict
};

// title and text: the run's message box. file: the file being tested (empty
// before the first); next_file: the file named after it, empty when none.
TerminalLine TerminalWording(const std::string& title, const std::string& text,
                             const std::string& file, const std::string& next_file);

}  // namespace lintaro

#endif  // LINTARO_CLI_TERMINAL_WORDING_H_
