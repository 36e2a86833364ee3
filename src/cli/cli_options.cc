#include "cli/cli_options.h"

#include <getopt.h>
#include <pwd.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "cli/help_text.h"
#include "core/error_limit.h"
#include "os/path.h"
#include "run/run_ending.h"
#include "store/results_db.h"

namespace lintaro {
namespace {

constexpr int kLongOnlyBase = 256;  // getopt_long values of options without a short form

std::string Dashed(const OptionDef& def) { return std::string("--") + def.name; }

// The getopt_long tables of a command's options, --help added.
class OptionTable {
 public:
  explicit OptionTable(const std::vector<OptionDef>& defs) : all_(defs) {
    all_.push_back({"help", 'h', false});
    for (size_t i = 0; i < all_.size(); ++i) {
      const OptionDef& def = all_[i];
      longs_.push_back(
          {def.name, def.takes_value ? required_argument : no_argument, nullptr, ValueOf(i)});
      if (def.short_name) {
        shorts_ += def.short_name;
        if (def.takes_value) shorts_ += ':';
      }
    }
    longs_.push_back({nullptr, 0, nullptr, 0});
  }

  const char* shorts() const { return shorts_.c_str(); }
  const option* longs() const { return longs_.data(); }
  // The option getopt_long answered val for, or null.
  const OptionDef* Find(int val) const {
    for (size_t i = 0; i < all_.size(); ++i)
      if (ValueOf(i) == val) return &all_[i];
    return nullptr;
  }

 private:
  // getopt_long's value of option i: its short name, else one of its own.
  int ValueOf(size_t i) const {
    return all_[i].short_name ? all_[i].short_name : kLongOnlyBase + static_cast<int>(i);
  }

  std::vector<OptionDef> all_;
  std::vector<option> longs_;
  std::string shorts_ = ":";  // ':' tells a missing value from an unknown option
};

// What getopt_long's ':' (a value missing) or '?' (an unknown option, or a
// value given to an option that takes none) means, for the user.
std::string UsageProblem(int answer, const OptionTable& table, char** argv) {
  if (answer == ':') {
    const OptionDef* def = table.Find(optopt);
    return "option " + (def ? Dashed(*def) : std::string(argv[optind - 1])) + " needs a value";
  }
  const OptionDef* def = optopt != 0 ? table.Find(optopt) : nullptr;
  if (def != nullptr) return "option " + Dashed(*def) + " takes no value";
  std::string given =
      optopt != 0 ? std::string("-") + static_cast<char>(optopt) : std::string(argv[optind - 1]);
  return "unknown option " + given.substr(0, given.find('='));
}

}  // namespace

std::string ParsedArgs::value_or(const std::string& name, const std::string& fallback) const {
  auto it = values.find(name);
  return it == values.end() ? fallback : it->second;
}

std::optional<std::string> ParseArgs(int argc, char** argv, const std::vector<OptionDef>& defs,
                                     ParsedArgs& out) {
  const OptionTable table(defs);
  optind = 0;  // a full new scan (glibc)
  opterr = 0;
  int c;
  while ((c = getopt_long(argc, argv, table.shorts(), table.longs(), nullptr)) != -1) {
    if (c == ':' || c == '?') return UsageProblem(c, table, argv);
    const OptionDef* def = table.Find(c);
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

std::optional<int> ParseCommandArgs(int argc, char** argv, const char* command,
                                    const std::vector<OptionDef>& defs, ParsedArgs& args) {
  if (auto problem = ParseArgs(argc, argv, defs, args)) return UsageError(*problem);
  if (args.help) {
    PrintCommandHelp(stdout, command);
    return kExitClean;
  }
  return std::nullopt;
}

int UsageError(const std::string& problem) {
  std::fprintf(stderr, "lintaro-cli: %s\nTry 'lintaro-cli --help'.\n",
               OneLineName(StderrStyle(problem)).c_str());
  return kExitNothingTested;
}

int Refuse(const std::string& problem) {
  TellOnStderr(problem);
  return kExitNothingTested;
}

std::string StderrStyle(std::string text) {
  for (size_t at; (at = text.find('\r')) != std::string::npos;) text.erase(at, 1);
  for (size_t at; (at = text.find('\n')) != std::string::npos;) {
    // A line that ends a sentence loses its full stop where the lines join.
    const size_t end = at > 0 && text[at - 1] == '.' ? at - 1 : at;
    text.replace(end, at + 1 - end, "; ");
  }
  // A sentence's full stop, not one of a value quoted at the end ("1.").
  if (text.size() > 1 && text.back() == '.' &&
      std::isalpha(static_cast<unsigned char>(text[text.size() - 2])))
    text.pop_back();
  // "The program ..." but not "RCF record ..." nor a name.
  if (text.size() > 1 && text[0] >= 'A' && text[0] <= 'Z' && text[1] >= 'a' && text[1] <= 'z')
    text[0] = static_cast<char>(text[0] - 'A' + 'a');
  return text;
}

void TellOnStderr(const std::string& text) {
  std::fprintf(stderr, "lintaro-cli: %s\n", OneLineName(StderrStyle(text)).c_str());
}

std::string ExecutableFolder() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return ".";
  return exe.parent_path().string();
}

ProgramFolders CliProgramFolders(const std::string& home_option) {
  const char* env = std::getenv("LINTARO_HOME");
  ProgramFolders folders = ResolveProgramFolders(ExecutableFolder(), home_option,
                                                 env != nullptr ? env : "", PerUserDataFolder());
  // The desktop's sentence names the folder inside it; here it comes first.
  std::string named = folders.data;
  if (named.size() > 1 && named.back() == '/') named.pop_back();
  for (const char* kind : {"The program folder ", "The per-user data folder "}) {
    const std::string start = kind + named + " ";
    if (folders.problem.rfind(start, 0) == 0) {
      std::string what(kind);
      what[0] = 't';
      what.pop_back();
      folders.problem = named + ": " + what + folders.problem.substr(start.size() - 1);
    }
  }
  return folders;
}

std::string ResultsProblem(const std::string& path, std::string what) {
  const std::string named = " (" + path + ")";
  if (what.size() > named.size() && what.ends_with(named)) what.resize(what.size() - named.size());
  return path + ": cannot read the test results: " + what;
}

bool HoldsResults(const std::string& folder) {
  std::error_code ec;
  // A results file that cannot be looked at (EIO) is not known to be absent.
  return std::filesystem::exists(JoinPath(folder, kResultsFileName), ec) || ec;
}

}  // namespace lintaro
