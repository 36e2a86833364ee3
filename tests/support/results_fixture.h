// A results database in its own temporary folder or a program folder,
// filled row by row: files, records and findings. It holds the results of
// a run that completed unless Unfinished says otherwise.
#ifndef LINTARO_TESTS_SUPPORT_RESULTS_FIXTURE_H_
#define LINTARO_TESTS_SUPPORT_RESULTS_FIXTURE_H_

#include <sqlite3.h>

#include <memory>
#include <optional>
#include <string>

#include "store/results_db.h"
#include "support/cli_runner.h"
#include "support/fakes.h"

namespace lintaro::testing {

class ResultsFixture {
 public:
  TempDir dir;

  // The database in `folder` (a program folder), else in dir.
  explicit ResultsFixture(const std::optional<std::filesystem::path>& folder = std::nullopt)
      : path_(((folder ? *folder : dir.path()) / kResultsFileName).string()),
        db_(ResultsDb::Create(path_)) {
    db_->MarkRunEnded(RunEnding::kCompleted);
  }

  ResultsDb& db() { return *db_; }
  const std::string& path() const { return path_; }

  // The run ended so, or (nothing) recorded no ending: it was killed.
  ResultsFixture& Ended(std::optional<RunEnding> ending) {
    ending_ = ending;
    if (ending) {
      db_->MarkRunEnded(*ending);
    } else {
      sqlite3_exec(db_->handle(), "UPDATE RUN SET Ending = NULL, Ended = NULL", nullptr, nullptr,
                   nullptr);
    }
    return *this;
  }
  // The results as a version that did not record how runs end wrote them.
  ResultsFixture& WithoutRunTable() {
    sqlite3_exec(db_->handle(), "DROP TABLE RUN", nullptr, nullptr, nullptr);
    db_.reset();
    db_ = ResultsDb::Open(path_, /*read_only=*/false);
    return *this;
  }

  ResultsFixture& File(const std::string& path_utf8, const std::string& date = "12/06/2026") {
    db_->InsertMisc(path_utf8, date);
    return *this;
  }
  // Adds a record (records in between are added as RCWs without a
  // reference); its text is MakeRecord(id) unless given.
  int64_t Record(int64_t rec_num, const std::string& id, const std::string& reference = "",
                 const std::string& text = "") {
    for (; next_ < rec_num; ++next_)
      db_->InsertRecord(RecordRow{next_, "RCW", 0, 0, MakeRecord("RCW"), ""});
    db_->InsertRecord(
        RecordRow{rec_num, id, 0, 0, text.empty() ? MakeRecord(id) : text, reference});
    next_ = rec_num + 1;
    return rec_num;
  }
  // Adds a finding to a record already added, counted in its Errors as a
  // run counts it; a critical one ends a completed run as a critical stop,
  // as the run it stops records. Returns its Err_Num.
  int64_t Error(int64_t rec_num, const std::string& reference, const std::string& user_entry,
                const std::string& message, const std::string& type = "") {
    if (type == "C" && ending_ == RunEnding::kCompleted) Ended(RunEnding::kCriticalStop);
    if (std::optional<RecordRow> record = db_->ReadRecord(rec_num)) {
      ++record->errors;
      db_->UpdateRecord(*record);
    }
    return db_->InsertError(ErrorRow{0, type, rec_num, reference, user_entry, message});
  }

 private:
  std::string path_;
  std::unique_ptr<ResultsDb> db_;
  int64_t next_ = 1;
  std::optional<RunEnding> ending_ = RunEnding::kCompleted;
};

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_RESULTS_FIXTURE_H_
