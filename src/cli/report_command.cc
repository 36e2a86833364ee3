// lintaro-cli report [--home DIR] [-f text|html|json|csv] [-o FILE|-] [--employer EIN]
#include "cli/report_command.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <system_error>

#include "cli/cli_options.h"
#include "cli/help_text.h"
#include "core/error_limit.h"
#include "core/folder_lock.h"
#include "reports/report_forms.h"
#include "reports/report_scope.h"
#include "run/run_ending.h"
#include "store/results_db.h"

namespace lintaro {
namespace {

// Pieces of this size are written out while the report is built, so a
// large report is never held whole.
constexpr size_t kWriteChunk = 1 << 20;

bool ToStandardOutput(const std::string& output) { return output.empty() || output == "-"; }

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f != nullptr && f != stdout) std::fclose(f);
  }
};
using OutputFile = std::unique_ptr<std::FILE, FileCloser>;

// The output: standard output, or the file (created for its owner only).
OutputFile OpenOutput(const std::string& name, std::string& problem) {
  if (ToStandardOutput(name)) return OutputFile(stdout);
  int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  std::FILE* f = fd < 0 ? nullptr : ::fdopen(fd, "wb");
  if (f == nullptr) {
    problem = "cannot write " + name + ": " + std::generic_category().message(errno);
    if (fd >= 0) ::close(fd);
  }
  return OutputFile(f);
}

struct ReportOptions {
  std::string home;
  std::string format = "text";
  std::string output;
  ReportFilter filter;
};

std::optional<std::string> ParseReportOptions(const ParsedArgs& args, ReportOptions& out) {
  if (!args.operands.empty()) return "report takes no file names (use --output FILE)";
  out.home = args.value_or("home", "");
  if (args.has("home") && out.home.empty()) return "--home needs a folder";
  out.format = args.value_or("format", "text");
  if (!IsReportFormat(out.format)) return "--format must be text, html, json or csv";
  out.output = args.value_or("output", "");
  if (args.has("output") && out.output.empty()) return "--output needs a file name";
  if (args.has("employer")) {
    std::optional<std::string> ein = ParseEin(args.values.at("employer"));
    if (!ein) return "--employer must be an EIN of nine digits";
    out.filter.employer_ein = *ein;
  }
  return std::nullopt;
}

// Reports the results in the folder; they can be read.
int ReportFrom(const std::string& folder, const ReportOptions& options) {
  const std::string db_path = JoinPath(folder, kResultsFileName);
  struct stat info {};
  if (::stat(db_path.c_str(), &info) != 0)
    return Refuse("there are no test results to report: " + db_path +
                  " was not found (run lintaro-cli check first)");
  if (info.st_size == 0)
    return Refuse("there are no test results to report: " + db_path + " is empty");
  try {
    std::unique_ptr<ResultsDb> db = ResultsDb::Open(db_path, /*read_only=*/true);
    const StoredRunEnding run = ReadStoredRunEnding(*db);
    if (run.finished() && db->CountErrors() == 0 && db->CountRecords() == 0 &&
        db->ReadMisc().empty())
      return Refuse("there are no test results to report: " + db_path + " holds no test run");
    if (!options.filter.keeps_all() && EmployerRecordCount(*db, options.filter.employer_ein) == 0)
      return Refuse("the last test's results hold no employer record with EIN " +
                    options.filter.employer_ein);
    const bool on_screen =
        ToStandardOutput(options.output) && (options.format == "text" || options.format == "html");
    if (auto problem = WriteReport(*db, options.format, options.filter, options.output))
      return Refuse(*problem);
    if (run.finished()) return kExitClean;
    // The text and HTML reports begin with it; on the screen it is said once.
    if (!on_screen)
      std::fprintf(stderr, "lintaro-cli: %s\n", UnfinishedRunNotice(run.records_tested).c_str());
    return kExitUnfinished;
  } catch (const StoreError& e) {
    return Refuse(std::string("cannot read the test results: ") + e.what());
  }
}

}  // namespace

std::optional<std::string> WriteReport(ResultsDb& db, const std::string& format,
                                       const ReportFilter& filter, const std::string& output) {
  std::string problem;
  OutputFile out = OpenOutput(output, problem);
  if (!out) return problem;
  bool write_ok = true;
  int write_errno = 0;
  auto write = [&](const std::string& bytes) {
    if (write_ok && std::fwrite(bytes.data(), 1, bytes.size(), out.get()) != bytes.size()) {
      write_ok = false;
      write_errno = errno;
    }
  };
  auto flush_large = [&](ReportBuffer& b) {
    if (b.text.size() >= kWriteChunk) {
      write(b.text);
      b.Clear();
    }
    return write_ok;
  };
  ReportBuffer report;
  // On the screen a clean check's text or HTML report is one sentence.
  if (ToStandardOutput(output)) {
    BuildShownReport(db, format, filter, report, flush_large);
  } else {
    BuildReportForm(db, format, filter, report, flush_large);
  }
  write(report.text);
  if (write_ok && std::fflush(out.get()) != 0) {
    write_ok = false;
    write_errno = errno;
  }
  if (write_ok && out.get() != stdout && std::fclose(out.release()) != 0) {
    write_ok = false;
    write_errno = errno;
  }
  if (!write_ok) {
    return "cannot write the report" +
           (ToStandardOutput(output) ? std::string() : " to " + output) + ": " +
           std::generic_category().message(write_errno);
  }
  return std::nullopt;
}

int ReportCommand(int argc, char** argv) {
  ParsedArgs args;
  if (auto problem = ParseArgs(
          argc, argv,
          {{"home", 0, true}, {"format", 'f', true}, {"output", 'o', true}, {"employer", 0, true}},
          args))
    return UsageError(*problem);
  if (args.help) {
    PrintCommandHelp(stdout, "report");
    return kExitClean;
  }
  ReportOptions options;
  if (auto problem = ParseReportOptions(args, options)) return UsageError(*problem);
  const ProgramFolders folders = CliProgramFolders(options.home);
  // While a test run writes the folder, its results are not read.
  FolderLock lock = FolderLock::ForReading(folders.data, HoldsResults(folders.data));
  if (lock.refused()) return Refuse(FolderInUseMessage(lock.state(), folders.data));
  return ReportFrom(folders.data, options);
}

}  // namespace lintaro
