#include "cli/report_command.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "cli/cli_options.h"
#include "reports/html_report.h"
#include "reports/json_report.h"
#include "reports/text_report.h"
#include "store/results_db.h"

namespace lintaro {

namespace {

// Pieces of this size are written out while the report is built, so a
// large report is never held whole.
constexpr size_t kWriteChunk = 1 << 20;

int Fail(const std::string& problem) {
  std::fprintf(stderr, "lintaro-cli: %s\n", problem.c_str());
  return kExitNothingTested;
}

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f != nullptr && f != stdout) std::fclose(f);
  }
};
using OutputFile = std::unique_ptr<std::FILE, FileCloser>;

// The output: standard output, or the file (created for its owner only).
OutputFile OpenOutput(const std::string& name, std::string& problem) {
  if (name.empty()) return OutputFile(stdout);
  int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) {
    problem = "cannot write " + name + ": " + std::strerror(errno);
    return nullptr;
  }
  std::FILE* f = ::fdopen(fd, "wb");
  if (f == nullptr) {
    problem = "cannot write " + name + ": " + std::strerror(errno);
    ::close(fd);
  }
  return OutputFile(f);
}

}  // namespace

int ReportCommand(int argc, char** argv) {
  CliArgs args;
  if (std::string problem = ParseCliArgs(argc, argv, 2, {"--home", "--format", "--output"}, args);
      !problem.empty())
    return Usage(problem);
  if (!args.operands.empty()) return Usage("report takes no file names (use --output FILE)");
  std::string home = ExecutableFolder();
  if (auto it = args.values.find("--home"); it != args.values.end()) {
    if (it->second.empty()) return Usage("--home needs a folder");
    home = it->second;
  }
  std::string format = "text";
  if (auto it = args.values.find("--format"); it != args.values.end()) format = it->second;
  if (format != "text" && format != "html" && format != "json")
    return Usage("--format must be text, html or json");
  std::string output;
  if (auto it = args.values.find("--output"); it != args.values.end()) {
    if (it->second.empty()) return Usage("--output needs a file name");
    output = it->second;
  }

  const std::string db_path = (std::filesystem::path(home) / kResultsFileName).string();
  struct stat info {};
  if (::stat(db_path.c_str(), &info) != 0)
    return Fail("there are no test results to report: " + db_path +
                " was not found (run lintaro-cli check first)");
  if (info.st_size == 0)
    return Fail("there are no test results to report: " + db_path + " is empty");
  std::unique_ptr<ResultsDb> db;
  try {
    db = ResultsDb::Open(db_path, /*read_only=*/true);
  } catch (const StoreError& e) {
    return Fail(std::string("cannot read the test results: ") + e.what());
  }

  try {
    if (db->CountErrors() == 0) {
      if (db->CountRecords() == 0 && db->ReadMisc().empty())
        return Fail("there are no test results to report: " + db_path + " holds no test run");
      if (format != "json") {
        std::puts("No errors found in the submission!");
        return kExitClean;
      }
    }

    std::string problem;
    OutputFile out = OpenOutput(output, problem);
    if (!out) return Fail(problem);
    bool write_ok = true;
    auto write = [&](const std::string& bytes) {
      if (write_ok && std::fwrite(bytes.data(), 1, bytes.size(), out.get()) != bytes.size())
        write_ok = false;
    };
    auto flush_large = [&](ReportBuffer& b) {
      if (b.text.size() >= kWriteChunk) {
        write(b.text);
        b.Clear();
      }
      return write_ok;
    };
    ReportBuffer report;
    if (format == "text") {
      BuildTextReport(*db, report, flush_large);
    } else if (format == "html") {
      BuildHtmlReport(*db, report, PreTextWidth(kDefaultScreenWidthPixels), flush_large);
      report.Append(kCrLf);
    } else {
      BuildJsonReport(*db, report, flush_large);
    }
    write(report.text);
    if (std::fflush(out.get()) != 0) write_ok = false;
    if (!write_ok)
      return Fail("cannot write the report" + (output.empty() ? std::string() : " to " + output) +
                  ": " + std::strerror(errno));
    if (out.get() != stdout && std::fclose(out.release()) != 0)
      return Fail("cannot write the report to " + output + ": " + std::strerror(errno));
  } catch (const StoreError& e) {
    return Fail(std::string("cannot read the test results: ") + e.what());
  }
  return kExitClean;
}

}  // namespace lintaro
