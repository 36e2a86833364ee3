// The desktop's shell, as the hand-over of the HTML report to the web
// browser needs it. The desktop program implements it with the desktop's
// file associations; the tests script it.
#ifndef LINTARO_PLATFORM_PLATFORM_SHELL_H_
#define LINTARO_PLATFORM_PLATFORM_SHELL_H_

#include <optional>
#include <string>

namespace lintaro {

class Shell {
 public:
  virtual ~Shell() = default;
  // The program that opens a file of this kind (for an .HTM file: the
  // default web browser), or nothing when none is registered.
  virtual std::optional<std::string> FindAssociatedProgram(const std::string& file) = 0;
  // Prints the document through the program associated with it; true when
  // the print was handed over.
  virtual bool PrintDocument(const std::string& file) = 0;
  // Starts program with one parameter; true when it started.
  virtual bool OpenProgram(const std::string& program, const std::string& parameter) = 0;
};

}  // namespace lintaro

#endif  // LINTARO_PLATFORM_PLATFORM_SHELL_H_
