#include "cli/cli_options.h"

#include <getopt.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/error_limit.h"
#include "store/results_db.h"

namespace lintaro {
namespace {

constexpr int kLongOnlyBase = 256;  // getopt_long values of options without a short form

std::string Dashed(const OptionDef& def) { return std::string("--") + def.name; }

}  // namespace

std::string ParsedArgs::value_or(const std::string& name, const std::string& fallback) const {
  auto it = values.find(name);
  return it == values.end() ? fallback : it->second;
}

std::optional<std::string> ParseArgs(int argc, char** argv, const std::vector<OptionDef>& defs,
                                     ParsedArgs& out) {
  std::vector<OptionDef> all = defs;
  all.push_back({"help", 'h', false});
  std::vector<option> longs;
  std::string shorts = ":";  // ':' tells a missing value from an unknown option
  for (size_t i = 0; i < all.size(); ++i) {
    const int val = all[i].short_name ? all[i].short_name : kLongOnlyBase + static_cast<int>(i);
    longs.push_back(
        {all[i].name, all[i].takes_value ? required_argument : no_argument, nullptr, val});
    if (all[i].short_name) {
      shorts += all[i].short_name;
      if (all[i].takes_value) shorts += ':';
    }
  }
  longs.push_back({nullptr, 0, nullptr, 0});
  auto def_of = [&](int val) -> const OptionDef* {
    for (size_t i = 0; i < all.size(); ++i)
      if ((all[i].short_name ? all[i].short_name : kLongOnlyBase + static_cast<int>(i)) == val)
        return &all[i];
    return nullptr;
  };

  optind = 0;  // a full new scan (glibc)
  opterr = 0;
  int c;
  while ((c = getopt_long(argc, argv, shorts.c_str(), longs.data(), nullptr)) != -1) {
    if (c == ':') {
      const OptionDef* def = def_of(optopt);
      return "option " + (def ? Dashed(*def) : std::string(argv[optind - 1])) + " needs a value";
    }
    if (c == '?') {
      const OptionDef* def = optopt != 0 ? def_of(optopt) : nullptr;
      if (def != nullptr) return "option " + Dashed(*def) + " takes no value";
      std::string given = optopt != 0 ? std::string("-") + static_cast<char>(optopt)
                                      : std::string(argv[optind - 1]);
      given = given.substr(0, given.find('='));
      return "unknown option " + given;
    }
    const OptionDef* def = def_of(c);
    if (def == nullptr) return "unknown option";
    if (std::string(def->name) == "help") {
      out.help = true;
    } else {
      out.values[def->name] = def->takes_value ? optarg : "";
    }
  }
  for (int i = optind; i < argc; ++i) out.operands.push_back(argv[i]);
  return std::nullopt;
}

int UsageError(const std::string& problem) {
  std::fprintf(stderr, "lintaro-cli: %s\nTry 'lintaro-cli --help'.\n", problem.c_str());
  return kExitNothingTested;
}

int Refuse(const std::string& problem) {
  std::fprintf(stderr, "lintaro-cli: %s\n", problem.c_str());
  return kExitNothingTested;
}

std::optional<int> ParseWholeNumber(const std::string& text, int min, int max) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < min || value > max) return std::nullopt;
  return value;
}

std::string ExecutableFolder() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return ".";
  return exe.parent_path().string();
}

ProgramFolders CliProgramFolders(const std::string& home_option) {
  const char* env = std::getenv("LINTARO_HOME");
  return ResolveProgramFolders(ExecutableFolder(), home_option, env != nullptr ? env : "",
                               PerUserDataFolder());
}

bool HoldsResults(const std::string& folder) {
  std::error_code ec;
  return std::filesystem::exists(JoinPath(folder, kResultsFileName), ec);
}

}  // namespace lintaro
