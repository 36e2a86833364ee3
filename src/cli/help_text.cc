#include "cli/help_text.h"

#include <iterator>
#include <string>
#include <string_view>

#include "core/tax_year.h"
#include "core/version.h"
#include "reports/report_format.h"

namespace lintaro {
namespace {

struct CommandHelp {
  const char* name;
  const char* usage;        // what follows "lintaro-cli NAME"
  const char* description;  // for the command's own help
  const char* options;      // "Options of NAME:" and the option lines
};

constexpr CommandHelp kCommands[] = {
    {"check", "[OPTION]... FILE...",
     "Test a submission (several FILEs are the successive files of one submission)\n"
     "and keep the results in ERRLOG2C.MDB in the program folder. A FILE of '-' is\n"
     "standard input, named \"(standard input)\" in the results.\n",
     "Options of check:\n"
     "      --home=DIR         the program folder (see below)\n"
     "      --max-errors=N     stop after N errors (1 to 25000), for this check only\n"
     "      --format=FORMAT    text (default): the counts and the results file; json:\n"
     "                         one object\n"
     "  -q, --quiet            print nothing but problems (on standard error)\n"},
    {"report", "[OPTION]...", "Write the error report of the last check.\n",
     "Options of report:\n"
     "      --home=DIR         the program folder (see below)\n"
     "  -f, --format=FORMAT    @REPORT_FORMATS@\n"
     "  -o, --output=FILE      write the report to FILE ('-' is standard output)\n"
     "      --employer=EIN     only the findings of that employer's records\n"},
    {"show", "[OPTION]... REC_NUM",
     "Print record REC_NUM of the last check field by field, as the record viewer\n"
     "shows it; '*' marks a field in error.\n",
     "Options of show:\n"
     "      --home=DIR         the program folder (see below)\n"},
    {"batch", "[OPTION]... PATH...",
     "Check many submissions at once. Each PATH is a submission file, a folder\n"
     "whose files are each a submission, or '-' for standard input. Each is checked\n"
     "into DIR/NAME/ (its ERRLOG2C.MDB, and report.txt and report.json when it has\n"
     "findings); DIR/batch.json keeps the batch's options, times and lines.\n",
     "Options of batch:\n"
     "  -j, --jobs=N           check up to N submissions at once (default: one per\n"
     "                         processor)\n"
     "      --results=DIR      where the folders go (default: ./lintaro-results)\n"
     "      --max-errors=N     stop each check after N errors (1 to 25000; default 500)\n"
     "      --format=FORMAT    text (default): a line per submission; json: an object\n"
     "                         per line\n"},
    {"serve", "[OPTION]...",
     "Serve checks over HTTP to a whole office: submissions are uploaded to the\n"
     "API under /api/v1 (described at /api/v1/openapi.json), each checked into a\n"
     "folder of its own under DIR, deleted --keep-hours after the check ended.\n"
     "SIGINT or SIGTERM stops it (exit status 0) once the running checks ended.\n",
     "Options of serve:\n"
     "      --listen=ADDR:PORT where to listen (default 127.0.0.1:7007); an address\n"
     "                         that is not loopback needs --token-file\n"
     "      --data=DIR         the checks' folders (default: serve/ in\n"
     "                         $XDG_DATA_HOME/Lintaro)\n"
     "  -j, --jobs=N           checks run at once (default: one per processor)\n"
     "      --max-upload-mb=N  the largest submission taken, in MB (default 2048)\n"
     "      --keep-hours=N     hours a check is kept after it ended (default 24)\n"
     "      --token-file=FILE  every request must carry 'Authorization: Bearer\n"
     "                         TOKEN', TOKEN being FILE's first line\n"
     "  -q, --quiet            no line per request on standard error\n"},
};

constexpr auto kIntroText =
    "Check files of corrected annual wage and tax statements (tax year " + kTaxYearText +
    ", Korvel\n"
    "format) before they are sent to the filing agency.\n"
    "\n"
    "Commands:\n"
    "  check    test a submission and keep the results in the program folder\n"
    "  report   write the error report of the last check\n"
    "  show     print one tested record field by field\n"
    "  batch    check many submissions at once, each into a folder of its own\n"
    "  serve    check submissions uploaded over HTTP, for a whole office\n"
    "'lintaro-cli COMMAND --help' shows the help of one command.\n";

constexpr const char* kHelpOption = "  -h, --help             display this help and exit\n";
constexpr const char* kVersionOption =
    "      --version          output version information and exit\n";

constexpr const char* kFolder =
    "The program folder is DIR of --home, else $LINTARO_HOME, else the folder of\n"
    "lintaro-cli; an installed copy, or one whose folder cannot be written, uses\n"
    "$XDG_DATA_HOME/Lintaro (by default ~/.local/share/Lintaro). One check at a\n"
    "time may use a program folder.\n";

constexpr const char* kExit =
    "Exit status:\n"
    "  0    tested, no errors found (report, show: done)\n"
    "  1    errors found (the results hold them)\n"
    "  2    nothing usable: a wrong command, a missing or unreadable file, a\n"
    "       folder in use or that cannot be locked, a named file that was not read,\n"
    "       a submission not tested, results that cannot be read, standard output\n"
    "       or a report not written\n"
    "  3    report, show: the last check did not finish (it was interrupted, killed\n"
    "       or failed); its results, given all the same, cover only what it tested\n"
    "  129  ended by SIGHUP (the terminal closed)\n"
    "  130  interrupted by Ctrl+C (SIGINT)\n"
    "  143  ended by SIGTERM\n";

// The command's option lines, the report formats (report_format.h) in place
// of @REPORT_FORMATS@.
std::string OptionsOf(const CommandHelp& command) {
  constexpr std::string_view kMark = "@REPORT_FORMATS@";
  std::string options = command.options;
  if (const size_t at = options.find(kMark); at != std::string::npos)
    options.replace(at, kMark.size(), ReportFormatList(" (default)"));
  return options;
}

}  // namespace

void PrintHelp(std::FILE* out) {
  for (size_t i = 0; i < std::size(kCommands); ++i)
    std::fprintf(out, "%s lintaro-cli %s %s\n", i == 0 ? "Usage:" : "  or: ", kCommands[i].name,
                 kCommands[i].usage);
  std::fprintf(out, "  or:  lintaro-cli --help | --version\n%s", kIntroText.c_str());
  for (const CommandHelp& c : kCommands) std::fprintf(out, "\n%s", OptionsOf(c).c_str());
  std::fprintf(out, "\nOther options:\n%s%s\n%s\n%s", kHelpOption, kVersionOption, kFolder, kExit);
}

bool PrintCommandHelp(std::FILE* out, const std::string& command) {
  for (const CommandHelp& c : kCommands) {
    if (command != c.name) continue;
    // batch and serve give each submission a program folder of its own.
    const bool has_folder = command != "batch" && command != "serve";
    std::fprintf(out, "Usage: lintaro-cli %s %s\n%s\n%s%s\n%s%s%s", c.name, c.usage, c.description,
                 OptionsOf(c).c_str(), kHelpOption, has_folder ? kFolder : "",
                 has_folder ? "\n" : "", kExit);
    return true;
  }
  return false;
}

void PrintVersion(std::FILE* out) { std::fprintf(out, "lintaro-cli %s\n", kLintaroVersion); }

}  // namespace lintaro
