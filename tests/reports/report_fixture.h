// Builds results databases for the report tests by writing rows directly.
#ifndef LINTARO_TESTS_REPORTS_REPORT_FIXTURE_H_
#define LINTARO_TESTS_REPORTS_REPORT_FIXTURE_H_

#include <filesystem>
#include <memory>
#include <string>

#include "store/results_db.h"
#include "support/fakes.h"

namespace lintaro::testing {

class ResultsFixture {
 public:
  explicit ResultsFixture(const std::filesystem::path& folder)
      : path_((folder / kResultsFileName).string()), db_(ResultsDb::Create(path_)) {}

  ResultsDb& db() { return *db_; }
  const std::string& path() const { return path_; }

  ResultsFixture& File(const std::string& path_utf8, const std::string& date = "12/06/2026") {
    db_->InsertMisc(path_utf8, date);
    return *this;
  }

  // Adds a record with the given number (records in between are added as
  // RCW records without a reference).
  int64_t Record(int64_t rec_num, const std::string& id, const std::string& reference = "") {
    while (next_ < rec_num) Plain(next_);
    db_->InsertRecord(RecordRow{rec_num, id, 0, 0, MakeRecord(id), reference});
    next_ = rec_num + 1;
    return rec_num;
  }
  // Fills plain records up to and including rec_num.
  void RecordsUpTo(int64_t rec_num) {
    while (next_ <= rec_num) Plain(next_);
  }

  // Adds a finding to a record already added; returns its Err_Num.
  int64_t Error(int64_t rec_num, const std::string& reference, const std::string& user_entry,
                const std::string& message, const std::string& type = "") {
    return db_->InsertError(ErrorRow{0, type, rec_num, reference, user_entry, message});
  }

 private:
  void Plain(int64_t rec_num) {
    db_->InsertRecord(RecordRow{rec_num, "RCW", 0, 0, MakeRecord("RCW"), ""});
    next_ = rec_num + 1;
  }

  std::string path_;
  std::unique_ptr<ResultsDb> db_;
  int64_t next_ = 1;
};

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_REPORTS_REPORT_FIXTURE_H_
