// lintaro-cli show [--home DIR] REC_NUM
//
// Prints the rows of the record viewer for stored record REC_NUM, one line
// per field, from the same model that the desktop viewer draws.
#include "cli/show_command.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>

#include "browse/record_viewer.h"
#include "browse/viewer_text.h"
#include "cli/cli_options.h"
#include "cli/standard_output.h"
#include "cli/terminal_wording.h"
#include "core/error_limit.h"
#include "core/whole_number.h"
#include "os/folder_lock.h"
#include "os/path.h"
#include "run/run_ending.h"
#include "store/results_db.h"

namespace lintaro {
namespace {

constexpr int kExitShown = 0;
constexpr int kExitFailed = 2;

int Fail(const std::string& problem) {
  TellOnStderr(problem);
  return kExitFailed;
}

// When the check that wrote the results did not finish, says so (a record
// it did not reach is not stored for that reason) and gives its status;
// otherwise status.
int UnfinishedStatus(const StoredRunEnding& run, int status) {
  if (run.finished()) return status;
  TellOnStderr(UnfinishedRunNotice(run.records_tested));
  return kExitUnfinished;
}

}  // namespace

int ShowCommand(int argc, char** argv) {
  ParsedArgs args;
  if (auto done = ParseCommandArgs(argc, argv, "show", {{"home", 0, true}}, args)) return *done;
  if (args.operands.size() > 1) return UsageError("only one record number may be given");
  if (args.has("home") && args.values.at("home").empty())
    return UsageError("--home needs a folder");
  if (args.operands.empty()) return UsageError("no record number given");
  const std::string& number = args.operands[0];
  const std::optional<int64_t> rec_num =
      ParseWholeNumber(number, int64_t{1}, std::numeric_limits<int64_t>::max());
  if (!rec_num) return UsageError("the record number must be a whole number from 1: " + number);

  std::string home = CliProgramFolders(args.value_or("home", "")).data;
  while (home.size() > 1 && home.back() == '/') home.pop_back();
  FolderLock lock = FolderLock::ForReading(home, HoldsResults(home));
  if (lock.refused())
    return Fail(TerminalWording(FolderRefusalTitle(lock.state()),
                                FolderInUseMessage(lock.state(), home), "", "")
                    .text);
  const std::string path = JoinPath(home, kResultsFileName);
  std::error_code ec;
  if (!std::filesystem::exists(path, ec))
    return Fail(path + ": there are no test results to show: the file was not found");
  std::unique_ptr<ResultsDb> db;
  StoredRunEnding run;
  try {
    db = ResultsDb::Open(path, /*read_only=*/true);
    // Damaged results are refused before any of them is shown.
    run = ReadStoredRunEnding(*db);
  } catch (const StoreError& e) {
    return Fail(ResultsProblem(path, e.what()));
  }

  RecordViewer viewer(*db);
  switch (viewer.ViewFile(*rec_num)) {
    case ViewResult::kShown:
      break;
    case ViewResult::kNotStored: {
      std::string count;
      try {
        // The report's "Record(s) tested": from the key, as counting the
        // records reads every one of them.
        count = " (" + std::to_string(db->LastRecNum()) + " record(s) tested)";
      } catch (const StoreError&) {
      }
      Fail("record " + std::to_string(*rec_num) + " is not stored in the last test's results" +
           count);
      return UnfinishedStatus(run, kExitFailed);
    }
    case ViewResult::kUnreadable:
      return Fail("record " + std::to_string(*rec_num) + " cannot be shown: " + viewer.problem());
  }

  const std::vector<ViewerRow>& rows = viewer.rows();
  for (size_t i = 0; i < rows.size(); ++i) {
    const std::string line = ViewerRowLine(static_cast<int>(i), rows[i]) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  if (!FlushStandardOutput()) return kExitFailed;
  return UnfinishedStatus(run, kExitShown);
}

}  // namespace lintaro
