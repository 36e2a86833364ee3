// lintaro-cli report [--home DIR] [-f FORMAT] [-o FILE|-] [--employer EIN]
#include "cli/report_command.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "cli/cli_options.h"
#include "cli/cli_platform.h"
#include "cli/standard_output.h"
#include "cli/terminal_wording.h"
#include "core/error_limit.h"
#include "os/folder_lock.h"
#include "os/path.h"
#include "os/replacing_file.h"
#include "reports/html_report.h"
#include "reports/report_format.h"
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

// The open descriptor that a name of one leads to (/dev/stdout, /dev/stderr,
// /dev/fd/N, /proc/self/fd/N), or -1. It is written as it is: the file
// behind it (the shell's redirection) is not replaced, nor is the link.
int NamedDescriptor(const std::string& name) {
  if (name == "/dev/stdout") return STDOUT_FILENO;
  if (name == "/dev/stderr") return STDERR_FILENO;
  for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    if (!name.starts_with(prefix)) continue;
    const std::string_view digits = std::string_view(name).substr(prefix.size());
    if (digits.empty() || digits.size() > 9) return -1;
    int fd = 0;
    for (const char c : digits) {
      if (c < '0' || c > '9') return -1;
      fd = fd * 10 + (c - '0');
    }
    return fd;
  }
  return -1;
}

// The report as a terminal is given it: a control character from the
// submission (an escape sequence in a name, a bell, or one of the C1
// controls that the code page's unassigned bytes become) is shown as
// U+FFFD, so that it can neither move the cursor nor retitle the window.
// Tabs and line ends are the report's own and stay. A file or pipe gets
// the bytes as they are.
class TerminalFilter {
 public:
  // The next piece of the report; a character split between two pieces is
  // judged whole, with the next piece.
  std::string Pass(const std::string& piece) {
    std::string out;
    out.reserve(piece.size() + 1);
    for (const char c : piece) {
      const auto u = static_cast<unsigned char>(c);
      if (after_c2_) {
        after_c2_ = false;
        // U+0080 to U+009F: 0xC2 and a byte 0x80 to 0x9F.
        if (u >= 0x80 && u <= 0x9F) {
          out += kReplacement;
          continue;
        }
        out += '\xC2';
      }
      if (u == 0xC2)
        after_c2_ = true;
      else if ((u < 0x20 && c != '\t' && c != '\n' && c != '\r') || u == 0x7F)
        out += kReplacement;
      else
        out += c;
    }
    return out;
  }
  // What is still held at the report's end.
  std::string Rest() {
    const bool held = after_c2_;
    after_c2_ = false;
    return held ? "\xC2" : "";
  }

 private:
  static constexpr const char* kReplacement = "\xEF\xBF\xBD";
  bool after_c2_ = false;
};

// Where the report goes: standard output; a device or pipe named, or an
// open descriptor (written as it is); or a file, written whole under a
// temporary name and renamed over its name only when the report is
// complete, so that a report that fails leaves the file as it was.
class ReportOutput {
 public:
  explicit ReportOutput(const std::string& name) : name_(name) {
    if (ToStandardOutput(name)) {
      terminal_ = ::isatty(STDOUT_FILENO) == 1;
      return;
    }
    if (const int named = NamedDescriptor(name); named >= 0) {
      fd_ = ::fcntl(named, F_DUPFD_CLOEXEC, 0);
      if (fd_ < 0)
        problem_ = "cannot write " + name + ": " + std::generic_category().message(errno);
      terminal_ = fd_ >= 0 && ::isatty(fd_) == 1;
      return;
    }
    struct stat info {};
    if (::stat(name.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
      fd_ = TEMP_FAILURE_RETRY(::open(name.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
      if (fd_ < 0)
        problem_ = "cannot write " + name + ": " + std::generic_category().message(errno);
      terminal_ = fd_ >= 0 && ::isatty(fd_) == 1;
      return;
    }
    file_ = std::make_unique<ReplacingFile>(name);
    if (!file_->ok()) problem_ = "cannot write " + name + ": " + file_->problem();
  }
  ~ReportOutput() {
    if (fd_ >= 0) ::close(fd_);
  }
  ReportOutput(const ReportOutput&) = delete;
  ReportOutput& operator=(const ReportOutput&) = delete;

  // Why it cannot be written, or empty.
  const std::string& problem() const { return problem_; }
  // Whether every write so far went through.
  bool ok() const { return err_ == 0; }

  bool Write(const std::string& bytes) {
    return terminal_ ? WriteOut(terminal_filter_.Pass(bytes)) : WriteOut(bytes);
  }

  // The report is complete: the problem in putting it in its place, or
  // nothing.
  std::optional<std::string> Finish() {
    if (terminal_) WriteOut(terminal_filter_.Rest());
    if (file_) {
      if (err_ == 0 && file_->Commit()) return std::nullopt;
      return name_ + ": cannot write the report: " + file_->problem();
    }
    if (fd_ < 0) {
      // Standard output's failure is told as every command's is.
      if (err_ == 0 && FlushStandardOutput()) return std::nullopt;
      if (err_ != 0) StandardOutputFailed(err_);
      return std::string();
    }
    if (err_ == 0 && ::close(fd_) != 0) err_ = errno;
    fd_ = -1;
    if (err_ == 0) return std::nullopt;
    return name_ + ": cannot write the report: " + std::generic_category().message(err_);
  }

 private:
  bool WriteOut(const std::string& bytes) {
    if (err_ != 0) return false;
    if (file_) {
      if (!file_->Write(bytes)) err_ = -1;
    } else if (fd_ < 0) {
      if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) err_ = errno;
    } else {
      WriteToDevice(bytes);
    }
    return err_ == 0;
  }

  void WriteToDevice(const std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
      const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        err_ = n < 0 ? errno : ENOSPC;
        return;
      }
      done += static_cast<size_t>(n);
    }
  }

  std::string name_;
  std::unique_ptr<ReplacingFile> file_;
  int fd_ = -1;
  bool terminal_ = false;  // the report goes to a terminal, through terminal_filter_
  TerminalFilter terminal_filter_;
  int err_ = 0;  // the first failure (-1: the file's, in its problem())
  std::string problem_;
};

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The file of the program folder that the output would replace (the
// results, their journal, the lock, the error-limit setting, the browser's
// copy of the report), whatever the name it is given by; for an output not
// there yet, the one it would become in the folder. Empty when none.
std::string OwnFileNamedBy(const std::string& output, const std::string& folder) {
  if (ToStandardOutput(output)) return {};
  const std::string results = kResultsFileName;
  const std::string names[] = {results, results + "-journal", kFolderLockFileName,
                               kErrorLimitFileName, kHtmlFileName};
  struct stat out {};
  if (::stat(output.c_str(), &out) == 0) {
    for (const std::string& name : names) {
      const std::string path = JoinPath(folder, name);
      struct stat own {};
      if (::stat(path.c_str(), &own) == 0 && SameFile(out, own)) return path;
    }
    return {};
  }
  const std::filesystem::path named(output);
  const std::string parent = named.has_parent_path() ? named.parent_path().string() : ".";
  struct stat in {};
  struct stat program {};
  if (::stat(parent.c_str(), &in) != 0 || ::stat(folder.c_str(), &program) != 0 ||
      !SameFile(in, program))
    return {};
  for (const std::string& name : names)
    if (named.filename() == name) return JoinPath(folder, name);
  return {};
}

struct ReportOptions {
  std::string home;
  const ReportFormat* format = &DefaultReportFormat();
  std::string output;
  ReportFilter filter;
};

std::optional<std::string> ParseReportOptions(const ParsedArgs& args, ReportOptions& out) {
  if (!args.operands.empty()) return "report takes no file names (use --output FILE)";
  out.home = args.value_or("home", "");
  if (args.has("home") && out.home.empty()) return "--home needs a folder";
  if (args.has("format")) {
    out.format = FindReportFormat(args.values.at("format"));
    if (out.format == nullptr) return "--format must be " + ReportFormatList();
  }
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
    return Refuse(db_path + ": there are no test results to report: the file was not found " +
                  "(run lintaro-cli check first)");
  // Anything but a file is refused as the store opens none of it.
  if (S_ISREG(info.st_mode) && info.st_size == 0)
    return Refuse(db_path + ": there are no test results to report: the file is empty");
  const std::string own = OwnFileNamedBy(options.output, folder);
  if (own == db_path)
    return Refuse(db_path + ": the report cannot be written over the test results it reports");
  if (!own.empty())
    return Refuse(own + ": the report cannot be written over a file of the program folder");
  try {
    std::unique_ptr<ResultsDb> db = ResultsDb::Open(db_path, /*read_only=*/true);
    const StoredRunEnding run = ReadStoredRunEnding(*db);
    if (run.finished() && db->CountErrors() == 0 && db->CountRecords() == 0 &&
        db->ReadMisc().empty())
      return Refuse(db_path + ": there are no test results to report: the file holds no test run");
    if (!options.filter.keeps_all() && EmployerRecordCount(*db, options.filter.employer_ein) == 0)
      return Refuse("the last test's results hold no employer record with EIN " +
                    options.filter.employer_ein);
    const bool on_screen =
        ToStandardOutput(options.output) && options.format->clean_run == CleanRunShows::kSentence;
    // A report file stopped by Ctrl+C, a closed terminal or SIGTERM leaves
    // no part-written temporary file (it holds SSNs) behind.
    const bool to_file = !ToStandardOutput(options.output);
    if (to_file) InstallInterruptHandlers();
    if (auto problem = WriteReport(*db, *options.format, options.filter, options.output, to_file)) {
      if (InterruptSignal() != 0) {
        TellOnStderr(*problem);
        return InterruptedExitStatus();
      }
      return problem->empty() ? kExitNothingTested : Refuse(*problem);
    }
    if (run.finished()) return kExitClean;
    // A report read by people begins with it; on the screen it is said once.
    if (!on_screen) TellOnStderr(UnfinishedRunNotice(run.records_tested));
    return kExitUnfinished;
  } catch (const StoreError& e) {
    return Refuse(ResultsProblem(db_path, e.what()));
  }
}

}  // namespace

std::optional<std::string> WriteReport(ResultsDb& db, const ReportFormat& format,
                                       const ReportFilter& filter, const std::string& output,
                                       bool interruptible) {
  ReportOutput out(output);
  if (!out.problem().empty()) return out.problem();
  auto interrupted = [&] { return interruptible && InterruptSignal() != 0; };
  auto flush_large = [&](ReportBuffer& b) {
    if (interrupted()) return false;
    if (b.text.size() >= kWriteChunk) {
      out.Write(b.text);
      b.Clear();
    }
    return out.ok();
  };
  ReportBuffer report;
  // On the screen a clean check's text or HTML report is one sentence.
  if (ToStandardOutput(output)) {
    BuildShownReport(db, format, filter, report, flush_large);
  } else {
    BuildReportForm(db, format, filter, report, flush_large);
  }
  // Its temporary file goes with out: the file named is left as it was.
  if (interrupted()) return output + ": not written: interrupted";
  out.Write(report.text);
  return out.Finish();
}

int ReportCommand(int argc, char** argv) {
  ParsedArgs args;
  if (auto done = ParseCommandArgs(
          argc, argv, "report",
          {{"home", 0, true}, {"format", 'f', true}, {"output", 'o', true}, {"employer", 0, true}},
          args))
    return *done;
  ReportOptions options;
  if (auto problem = ParseReportOptions(args, options)) return UsageError(*problem);
  const ProgramFolders folders = CliProgramFolders(options.home);
  // While a test run writes the folder, its results are not read.
  FolderLock lock = FolderLock::ForReading(folders.data, HoldsResults(folders.data));
  if (lock.refused())
    return Refuse(TerminalWording(FolderRefusalTitle(lock.state()),
                                  FolderInUseMessage(lock.state(), folders.data), "", "")
                      .text);
  return ReportFrom(folders.data, options);
}

}  // namespace lintaro
