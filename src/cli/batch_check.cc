#include "cli/batch_check.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <set>

#include "cli/check_command.h"
#include "cli/cli_options.h"
#include "cli/cli_platform.h"
#include "cli/report_command.h"
#include "cli/standard_input.h"
#include "cli/terminal_wording.h"
#include "core/error_limit.h"
#include "core/run_state.h"
#include "core/submission_file.h"
#include "os/folder_lock.h"
#include "os/path.h"
#include "reports/report_content.h"
#include "reports/report_format.h"
#include "reports/report_scope.h"
#include "store/results_db.h"

namespace lintaro {
namespace {

namespace fs = std::filesystem;

std::string FullName(const fs::path& p) {
  std::error_code ec;
  fs::path full = fs::absolute(p, ec);
  return (ec ? p : full).lexically_normal().string();
}

// Keeps what a run would show in message boxes, worded for a terminal, and
// hands out its one file.
class BatchPrompts : public Prompts {
 public:
  explicit BatchPrompts(std::string file) : file_(std::move(file)) {}
  Answer Message(const std::string& title, const std::string& text, Icon,
                 Buttons buttons) override {
    TerminalLine line = TerminalWording(title, text, file_, "");
    if (!line.text.empty()) messages.push_back(std::move(line.text));
    return buttons == Buttons::kOk      ? Answer::kOk
           : buttons == Buttons::kYesNo ? Answer::kNo
                                        : Answer::kCancel;
  }
  std::optional<std::string> OpenFile(const std::string&, const std::string&) override {
    if (handed_out_) return std::nullopt;
    handed_out_ = true;
    return file_;
  }
  std::vector<std::string> messages;

 private:
  std::string file_;
  bool handed_out_ = false;
};

// Whether name is a report's temporary file (".report.txt.XXXXXX").
bool ReportTemporaryName(const std::string& name) {
  for (const char* report_name : {kBatchTextReport, kBatchJsonReport}) {
    const std::string temporary = "." + std::string(report_name) + ".";  // and six characters
    if (name.size() == temporary.size() + 6 && name.starts_with(temporary)) return true;
  }
  return false;
}

// Removes the reports of an earlier check of the same name as soon as the
// run holds the folder, before it replaces the results: a run that is
// killed or fails leaves no report beside results that are not its own.
// The part-written reports of a batch that was killed go too.
class BatchRunView : public RunView {
 public:
  explicit BatchRunView(std::string folder) : folder_(std::move(folder)) {}
  void FileOpened() override {
    opened_ = true;
    for (const char* name : {kBatchTextReport, kBatchJsonReport})
      ::unlink(JoinPath(folder_, name).c_str());
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
      if (ReportTemporaryName(it->path().filename().string())) ::unlink(it->path().c_str());
    }
  }
  // Whether the run opened its file, and so replaced the results.
  bool opened() const { return opened_; }

 private:
  std::string folder_;
  bool opened_ = false;
};

// The text and JSON reports of the findings in folder.
void WriteReports(const std::string& folder, BatchResult& result) {
  auto failed = [&result](std::string problem) {
    result.messages.push_back(problem);
    result.report_problems.push_back(std::move(problem));
  };
  FolderLock lock = FolderLock::ForReading(folder);
  if (lock.refused()) {
    failed(FolderInUseMessage(lock.state(), folder));
    return;
  }
  const std::string path = JoinPath(folder, kResultsFileName);
  try {
    auto db = ResultsDb::Open(path, /*read_only=*/true);
    const std::pair<const char*, const ReportFormat&> reports[] = {
        {kBatchTextReport, TextReportFormat()}, {kBatchJsonReport, JsonReportFormat()}};
    for (const auto& [name, format] : reports) {
      if (auto problem = WriteReport(*db, format, ReportFilter{}, JoinPath(folder, name)))
        failed(*problem);
    }
  } catch (const StoreError& e) {
    failed(ResultsProblem(path, e.what()));
  }
}

// Whether name is one a batch's check gives a file in its folder; also a
// report's temporary file that a killed batch left.
bool BatchFileName(const std::string& name) {
  const std::string results = kResultsFileName;
  if (name == results || name == results + "-journal" || name == kFolderLockFileName) return true;
  for (const char* report_name : {kBatchTextReport, kBatchJsonReport})
    if (name == report_name) return true;
  return ReportTemporaryName(name);
}

// name cut short (never inside a character) so that `room` more bytes
// still make a name a folder may have.
std::string CutForFolder(const std::string& name, size_t room) {
  size_t keep = std::min(name.size(), static_cast<size_t>(NAME_MAX) - room);
  while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
    --keep;
  return name.substr(0, keep);
}

// name with -n after it, as a folder may be named: a name already as long
// as a folder's name may be loses its end to make room.
std::string NumberedName(const std::string& name, int n) {
  const std::string suffix = "-" + std::to_string(n);
  return CutForFolder(name, suffix.size()) + suffix;
}

// Whether what info describes is its user's alone: theirs, and writable by
// nobody else (another user could otherwise have made, or could replace,
// the folders and locks a check writes Social Security numbers through).
bool OwnAlone(const struct stat& info) {
  return info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

std::optional<std::string> SharedResultsFolderProblem(const std::string& folder) {
  struct stat info {};
  // Missing, it is made for its owner alone; what cannot be looked at
  // cannot be made either, and making it says why. A folder its group may
  // write in is shared as a program folder may be: its members are trusted.
  if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
  if ((info.st_mode & S_IWOTH) != 0)
    return folder + ": others may write in the results folder; choose a folder only you may " +
           "write in";
  return std::nullopt;
}

bool CreateOwnFolders(const std::string& folder, std::error_code& ec,
                      std::vector<std::string>* made) {
  ec.clear();
  std::vector<fs::path> missing;
  for (fs::path p = fs::path(folder).lexically_normal(); !p.empty();) {
    struct stat info {};
    if (::stat(p.c_str(), &info) == 0) break;
    missing.push_back(p);
    fs::path parent = p.parent_path();
    if (parent == p) break;
    p = parent;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    // One that appeared meanwhile is someone else's: it is not changed.
    if (!fs::create_directory(*it, ec)) {
      if (ec) return false;
      continue;
    }
    if (made != nullptr) made->push_back(it->string());
    fs::permissions(*it, fs::perms::owner_all, fs::perm_options::replace, ec);
    if (ec) return false;
  }
  if (!fs::is_directory(folder, ec)) {
    if (!ec) ec = std::make_error_code(std::errc::not_a_directory);
    return false;
  }
  return true;
}

bool BatchMayUseFolder(const std::string& folder) {
  struct stat info {};
  // What cannot be looked at cannot be created either: the check says why.
  if (::lstat(folder.c_str(), &info) != 0) return true;
  if (!S_ISDIR(info.st_mode) || !OwnAlone(info)) return false;
  std::error_code ec;
  bool empty = true, locked = false;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code type_ec;
    const std::string name = it->path().filename().string();
    if (it->symlink_status(type_ec).type() != fs::file_type::regular || !BatchFileName(name))
      return false;
    empty = false;
    if (name == kFolderLockFileName) {
      struct stat lock {};
      if (::lstat(it->path().c_str(), &lock) != 0 || !OwnAlone(lock)) return false;
      locked = true;
    }
  }
  // Every check locks its folder before it writes anything else there.
  return !ec && (empty || locked);
}

std::vector<BatchSubmission> CollectSubmissions(const std::vector<std::string>& paths,
                                                const std::string& results_folder) {
  std::vector<BatchSubmission> found;
  for (const std::string& path : paths) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
      std::vector<fs::path> files;
      // Every entry but a folder is a submission: one that cannot be tested
      // (a link to nowhere, a pipe) is reported with the others, never left
      // out unseen. Its type's failure is not the listing's.
      for (const fs::directory_entry& entry : fs::directory_iterator(path, ec)) {
        std::error_code type_ec;
        if (!entry.is_directory(type_ec)) files.push_back(entry.path());
      }
      if (ec)
        found.push_back({fs::path(path).filename().string(), FullName(path),
                         path + " cannot be listed: " + ec.message()});
      std::sort(files.begin(), files.end());
      for (const fs::path& f : files) {
        std::optional<std::string> problem = UnreadableFileProblem(f.string());
        found.push_back({f.filename().string(), FullName(f), problem.value_or("")});
      }
      continue;
    }
    if (path == kStandardInputOperand) {
      found.push_back({kBatchStandardInputName, kStandardInputName, ""});
      continue;
    }
    std::optional<std::string> problem = UnreadableFileProblem(path);
    found.push_back({fs::path(path).filename().string(), FullName(path), problem.value_or("")});
  }
  // Results folders are named after the files; a name met again, the
  // summary's, or one the results folder holds for something else gets
  // -2, -3, ...
  std::set<std::string> used = {kBatchSummaryFile};
  auto taken = [&](const std::string& name) {
    return used.count(name) != 0 || !BatchMayUseFolder(JoinPath(results_folder, name));
  };
  for (BatchSubmission& s : found) {
    // Named as the lines and the JSON show it: a byte of a name that is not
    // UTF-8 is U+FFFD in the folder's name too, so that "results" names the
    // folder that is there (the name may grow past a folder's longest).
    s.name = CutForFolder(ValidUtf8(s.name), 0);
    if (s.name.empty() || s.name == "." || s.name == "..") s.name = "submission";
    std::string name = s.name;
    for (int n = 2; taken(name); ++n) name = NumberedName(s.name, n);
    used.insert(name);
    s.name = name;
  }
  return found;
}

BatchResult CheckIntoFolder(const BatchSubmission& submission, const std::string& results_folder,
                            int max_errors, const std::string& standard_input_copy) {
  BatchResult result;
  result.folder = FullName(fs::path(results_folder) / submission.name);
  if (!submission.problem.empty()) {
    result.messages.push_back(submission.problem);
    return result;
  }
  std::error_code ec;
  const bool new_folder = !fs::exists(result.folder, ec);
  if (!CreateOwnFolders(result.folder, ec)) {
    result.messages.push_back("cannot create " + result.folder + ": " + ec.message());
    return result;
  }
  try {
    BatchPrompts prompts(submission.file);
    SystemClock clock;
    BatchRunView view(result.folder);
    CliEventPump pump;
    RunState state;
    CheckRunOptions options;
    options.program_folder = result.folder;
    options.max_errors = max_errors;
    options.pump = &pump;
    options.standard_input_copy = standard_input_copy;
    CheckRun run(state, prompts, clock, view, options);
    pump.set_run(&run);
    result.summary = run.ReadFile();
    result.outcome = OutcomeOfRun(result.summary);
    result.messages = std::move(prompts.messages);
    if (result.summary.outcome == RunOutcome::kFolderInUse) return result;
    result.results_written = view.opened() && HoldsResults(result.folder);
    if (result.summary.errors > 0) WriteReports(result.folder, result);
  } catch (const std::exception& e) {
    result.outcome = ReportedOutcome::kFailed;
    result.messages.push_back(e.what());
  }
  if (new_folder && !result.results_written) {
    // A file that could not be opened after all leaves no empty folder.
    fs::remove(fs::path(result.folder) / kFolderLockFileName, ec);
    fs::remove(result.folder, ec);
  }
  return result;
}

bool NotTested(ReportedOutcome outcome) {
  return outcome == ReportedOutcome::kNoValidData || outcome == ReportedOutcome::kFailed ||
         outcome == ReportedOutcome::kIncomplete;
}

bool HasFindings(ReportedOutcome outcome) {
  return outcome == ReportedOutcome::kFindings || outcome == ReportedOutcome::kErrorLimit ||
         outcome == ReportedOutcome::kCriticalStop;
}

}  // namespace lintaro
