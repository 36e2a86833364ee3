#include "browse/result_grids.h"

#include <filesystem>

#include "core/error_limit.h"
#include "os/path.h"
#include "run/run_ending.h"
#include "store/results_db.h"

namespace lintaro {

std::string TestedGridCaption(int64_t tested) {
  return std::to_string(tested) + " Record(s) Tested";
}

std::string RecordsLabel(int64_t tested, int64_t with_errors) {
  return std::to_string(tested) + " Record(s) Tested, " + std::to_string(with_errors) +
         " Record(s) with Error(s)";
}

std::string ErrorsLabelOnOpen(int64_t rec_num) {
  return "Record Number " + std::to_string(rec_num) + " Error(s)";
}

std::string ErrorsLabelOnRowChange(int64_t rec_num) {
  return "Record Number " + std::to_string(rec_num);
}

std::string CritErrorText(const std::optional<ErrorRow>& last_finding) {
  if (!last_finding || last_finding->type != "C") return {};
  return "Execution of Testing was terminated due to the Critical Error in Record " +
         std::to_string(last_finding->rec_num) + ":  " + last_finding->error;
}

std::string FileNameOnly(const std::string& path) {
  const size_t cut = path.rfind('/');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string GridViewCaption(const std::string& tested_path) {
  return "Records With Errors - " + FileNameOnly(tested_path);
}

std::string NoErrorsFoundIn(const std::vector<std::string>& tested_paths) {
  return "No errors found in " + TestedFilesList(tested_paths);
}

std::string CannotReadResults(const std::string& results_path, const std::string& problem) {
  return "The results of the last test cannot be read from " + results_path + ".\r\n" + problem;
}

std::string GoToRecordPrompt(int64_t tested) {
  return "Record number (1 to " + std::to_string(tested) + "):";
}

std::string GoToRecordRefusal(int64_t rec_num, int64_t tested, bool errors_grid) {
  const std::string n = std::to_string(rec_num);
  if (errors_grid && rec_num >= 1 && rec_num <= tested)
    return "Record number " + n + " has no errors.";
  return "There is no record number " + n + ". The last test covered " + std::to_string(tested) +
         " record(s).";
}

std::string GoToRecordUnreadable(int64_t rec_num) {
  return "Record number " + std::to_string(rec_num) +
         " cannot be read from the results file, which may be damaged.";
}

LastResults InspectLastResults(const std::string& folder) {
  LastResults result;
  const std::string path = JoinPath(folder, kResultsFileName);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return result;
  try {
    auto db = ResultsDb::Open(path, /*read_only=*/true);
    for (const MiscRow& row : db->ReadMisc()) result.paths.push_back(row.path);
    if (const StoredRunEnding run = ReadStoredRunEnding(*db); !run.finished())
      result.notice = UnfinishedRunNotice(run.records_tested);
    if (db->LastRecNum() == 0) {  // from the key; counting reads every record
      result.kind = LastResults::kNoRecords;
    } else {
      result.kind = db->CountErrors() > 0 ? LastResults::kErrors : LastResults::kNoErrors;
    }
  } catch (const StoreError& e) {
    result.kind = LastResults::kCannotOpen;
    result.problem = e.what();
  }
  return result;
}

}  // namespace lintaro
