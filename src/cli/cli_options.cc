#include "cli/cli_options.h"

#include <algorithm>
#include <filesystem>

namespace lintaro {

namespace {

const char* kUsage =
    "Usage:\n"
    "  lintaro-cli check [--home DIR] [--max-errors N] FILE [FILE ...]\n"
    "      Tests a submission (several FILEs are the successive files of one submission)\n"
    "      and stores the results in DIR/ERRLOG2C.MDB.\n"
    "      Exit status: 0 no errors found, 1 errors found, 2 nothing could be tested.\n"
    "\n"
    "  lintaro-cli report [--home DIR] [--format text|html|json] [--output FILE]\n"
    "      Writes the error report of the last test run stored in DIR/ERRLOG2C.MDB\n"
    "      (text unless --format says otherwise) to FILE or standard output.\n"
    "      Exit status: 0 report written or no errors found, 2 no results to report.\n"
    "\n"
    "  lintaro-cli show [--home DIR] REC_NUM\n"
    "      Prints stored record REC_NUM field by field as the record viewer shows it;\n"
    "      fields in error are marked with \"*\".\n"
    "      Exit status: 0 shown, 2 no such record or no results.\n"
    "\n"
    "DIR is the program folder, by default the folder of lintaro-cli.\n";

}  // namespace

void PrintUsage(std::FILE* out) { std::fputs(kUsage, out); }

int Usage(const std::string& problem) {
  if (!problem.empty()) std::fprintf(stderr, "lintaro-cli: %s\n", problem.c_str());
  PrintUsage(stderr);
  return kExitNothingTested;
}

std::string ParseCliArgs(int argc, char** argv, int first, const std::vector<std::string>& names,
                         CliArgs& out) {
  for (int i = first; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--") {
      for (++i; i < argc; ++i) out.operands.push_back(argv[i]);
      break;
    }
    if (arg.size() < 2 || arg[0] != '-') {
      out.operands.push_back(arg);
      continue;
    }
    const size_t eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    if (std::find(names.begin(), names.end(), name) == names.end())
      return "unknown option " + name;
    if (eq != std::string::npos) {
      out.values[name] = arg.substr(eq + 1);
    } else {
      if (i + 1 >= argc) return name + " needs a value";
      out.values[name] = argv[++i];
    }
  }
  return {};
}

std::string ExecutableFolder() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return ".";
  return exe.parent_path().string();
}

}  // namespace lintaro
