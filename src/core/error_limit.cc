#include "core/error_limit.h"

#include <fstream>

namespace lintaro {
namespace {

constexpr const char* kLinePrefix = "[Maximum Error Count]:";

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::optional<int> ParseErrorLimitEntry(std::string_view entry) {
  entry = Trim(entry);
  if (entry.empty() || entry.size() > 9) return std::nullopt;
  int value = 0;
  for (char c : entry) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value == 0 || value > kMaxErrorLimit) return std::nullopt;
  return value;
}

int LoadErrorLimit(const std::string& folder) {
  const std::string path = JoinPath(folder, kErrorLimitFileName);
  {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    if (in && std::getline(in, line)) {
      const size_t colon = line.find(':');
      if (colon != std::string::npos) {
        if (auto limit = ParseErrorLimitEntry(std::string_view(line).substr(colon + 1)))
          return *limit;
      }
    }
  }
  // Missing, unreadable or unusable: the default, written back when we can.
  SaveErrorLimit(folder, kDefaultErrorLimit);
  return kDefaultErrorLimit;
}

bool SaveErrorLimit(const std::string& folder, int limit) {
  std::ofstream out(JoinPath(folder, kErrorLimitFileName), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out << kLinePrefix << limit << "\r\n";
  out.flush();
  return static_cast<bool>(out);
}

std::string ErrorLimitReference(int limit) {
  return std::to_string(limit) + " or more Errors in submission";
}

std::string ErrorLimitUserEntry(int limit) { return std::to_string(limit) + " Errors"; }

std::string ErrorLimitMessage(int limit) {
  return std::to_string(limit) +
         " or more errors were encountered. Please correct the errors "
         "identified in the submission and rerun Lintaro. Please note that the number of errors "
         "allowed before Lintaro stops testing can be set by the user to a number between 1 and "
         "25,000. For information on how to set the error limitation, please look in the Help "
         "section located on the Lintaro Welcome Screen.";
}

}  // namespace lintaro
