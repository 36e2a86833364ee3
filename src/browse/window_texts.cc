#include "browse/window_texts.h"

#include "core/version.h"

namespace lintaro {
namespace {

constexpr const char* kCrLf = "\r\n";

}  // namespace

std::string WelcomeText() {
  return std::string("Welcome To Lintaro ") + kTaxYearText.c_str() + kCrLf + " For Tax Year " +
         kTaxYearText.c_str() + kCrLf + " Korvel Submissions";
}

std::string DisclaimerText() {
  return std::string(kCrLf) + "DISCLAIMER STATEMENT" + kCrLf + kCrLf +
         "The Lintaro application identifies most of the common format errors in wage "
         "submissions. Using this application greatly reduces submission rejections. Please be "
         "aware that even if no errors are identified by Lintaro, your submission could be "
         "returned because of other errors.";
}

std::string_view CommandCaption(Command command) {
  switch (command) {
    case Command::cmdStart:
      return "&Start Testing";
    case Command::cmdView:
      return "View Teste&d Records";
    case Command::cmdGrid:
      return "View Records &With Errors";
    case Command::cmdErrors:
      return "View Error &Report";
    case Command::cmdPrint:
      return "&Print Error Report";
    case Command::cmdLast:
      return "View &Last Test Results";
    case Command::cmdExit:
      return "E&xit";
    case Command::mnuTStart:
      return "&Start New";
    case Command::mnuTOpenLast:
      return "Open &Last";
    case Command::mnuTPrint:
      return "&Print Report";
    case Command::mnuTSet:
      return "Set &Error(s)";
    case Command::mnuTExit:
      return "E&xit";
    case Command::mnuVReport:
      return "&Report";
    case Command::mnuRLast:
      return "&Last";
    case Command::mnuRCurrent:
      return "&Current";
    case Command::mnuVRecords:
      return "Recor&ds";
    case Command::mnuVRAll:
      return "All &Tested";
    case Command::mnuVRErrors:
      return "&With Errors";
    case Command::mnuHContents:
      return "&Contents";
    case Command::mnuHAbout:
      return "&About";
  }
  return "";
}

std::string ToolTipOf(Command command) {
  std::string tip;
  std::string_view caption = CommandCaption(command);
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      // "&&" is a literal ampersand; a single one marks the access key.
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        tip.push_back('&');
        ++i;
      }
      continue;
    }
    tip.push_back(caption[i]);
  }
  return tip;
}

std::string ErrorLimitDuringRunText(int limit) {
  return "The test under way now stops at " + std::to_string(limit) +
         " error(s), counting those already found, and later tests keep this limit.";
}

std::string InstanceLockProblem(const std::string& lock_path) {
  return lock_path +
         ": cannot be created; it keeps a second copy of this program from starting. Set "
         "XDG_RUNTIME_DIR or TMPDIR to a folder you can write to.";
}

std::string ProcessingRecordText(long long rec_ctr) {
  return "Processing Record Number: " + std::to_string(rec_ctr);
}

std::string AboutCaption() {
  return std::string("About Lintaro / Tax Year ") + kTaxYearText.c_str();
}

std::string AboutNameText() {
  return std::string("Product Name: ") + kCrLf + "Lintaro FOR TAX YEAR " + kTaxYearText.c_str();
}

std::string AboutVersionText() {
  return "Major version number:  " + std::to_string(kVersionMajor) + kCrLf +
         "Minor version number:  " + std::to_string(kVersionMinor);
}

std::string AboutRevisionText() { return "Revision number:  " + std::to_string(kVersionRevision); }

}  // namespace lintaro
