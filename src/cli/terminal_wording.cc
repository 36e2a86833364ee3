#include "cli/terminal_wording.h"

#include "cli/cli_options.h"

namespace lintaro {
namespace {

bool StartsWith(const std::string& text, const std::string& start) {
  return text.rfind(start, 0) == 0;
}

// "... the program folder DIR<end>...": DIR first, then the sentence without
// it ("DIR: another test run is using the program folder; try again ...").
TerminalLine FolderFirst(const std::string& text, const std::string& end) {
  const std::string folder_words = "the program folder ";
  size_t at = text.find(folder_words);
  if (at == std::string::npos) at = text.find("The program folder ");
  const size_t name_at = at + folder_words.size();
  const size_t name_end = at == std::string::npos ? at : text.find(end, name_at);
  if (name_end == std::string::npos) return {StderrStyle(text), true};
  std::string rest = text.substr(0, name_at - 1) + text.substr(name_end);
  if (const size_t stop = rest.find(". "); stop != std::string::npos) {
    rest.replace(stop, 2, "; ");
    rest = rest.substr(0, stop + 2) + StderrStyle(rest.substr(stop + 2));
  }
  return {text.substr(name_at, name_end - name_at) + ": " + StderrStyle(rest), true};
}

// "Error Number: N\r\nError Description: WHY" as "FILE: why".
TerminalLine FileError(const std::string& text, const std::string& file) {
  const std::string described = "Error Description: ";
  const size_t at = text.find(described);
  if (StartsWith(text, "Unreadable data in File:")) return {file + ": unreadable data", true};
  const std::string why = at == std::string::npos ? text : text.substr(at + described.size());
  return {(file.empty() ? "" : file + ": ") + StderrStyle(why), true};
}

}  // namespace

TerminalLine TerminalWording(const std::string& title, const std::string& text,
                             const std::string& file, const std::string& next_file) {
  if (title == "Results") {
    // The summary says a clean check was completed; no data is a problem.
    if (StartsWith(text, "Testing Completed.")) return {"", false};
    return {file + ": the file contains no valid data", true};
  }
  if (title == "Missing Final Record") {
    if (!next_file.empty())
      return {file + ": no final (RCF) record; testing goes on with " + next_file, false};
    return {file + ": the submission ends without its final (RCF) record", false};
  }
  if (title == "Program Folder In Use") {
    return FolderFirst(text, StartsWith(text, "The results") ? " are being read" : ". Try again");
  }
  if (title == "Program Folder Error")
    return FolderFirst(text, text.find(" may be written by others") != std::string::npos
                                 ? " may be written by others"
                                 : " cannot be locked");
  if (title == "Submission File Error") return FileError(text, file);
  if (title == "Submission File Not Found") return {file + ": not found", true};
  // The desktop's advice to choose the file again; the line above said it.
  if (title == "Submission File Name Error") return {"", false};
  if (title == "Alert") return {StderrStyle(text), false};
  return {StderrStyle(text), true};
}

}  // namespace lintaro
