#include "browse/grid_results.h"

#include <filesystem>
#include <system_error>

#include "browse/result_grids.h"
#include "browse/viewer_text.h"
#include "run/run_ending.h"
#include "store/cp1252.h"
#include "store/results_db.h"

namespace lintaro {

std::unique_ptr<GridResults> GridResults::Open(const std::string& path) {
  RecoverInterruptedResults(path);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return nullptr;
  std::unique_ptr<ResultsDb> db;
  std::string problem;
  try {
    db = ResultsDb::Open(path, /*read_only=*/true);
  } catch (const StoreError& e) {
    // Read as results without rows, as an empty file would be.
    problem = e.what();
  }
  auto results = std::unique_ptr<GridResults>(new GridResults(std::move(db)));
  results->problem_ = std::move(problem);
  return results;
}

GridResults::GridResults(std::unique_ptr<ResultsDb> db) : db_(std::move(db)) {}

GridResults::~GridResults() = default;

bool GridResults::Replaced() const { return db_ != nullptr && db_->Replaced(); }

int64_t GridResults::CountErrors() {
  try {
    return db_ ? db_->CountErrors() : 0;
  } catch (const StoreError& e) {
    problem_ = e.what();
    return 0;
  }
}

int64_t GridResults::CountTested() {
  try {
    return db_ ? db_->LastRecNum() : 0;
  } catch (const StoreError&) {
    return 0;
  }
}

std::string GridResults::LastTestedPath() {
  try {
    if (!db_) return {};
    const std::vector<MiscRow> files = db_->ReadMisc();
    return files.empty() ? std::string() : files.back().path;
  } catch (const StoreError&) {
    return {};
  }
}

std::string GridResults::CritErrorText() {
  try {
    if (!db_) return {};
    std::string text = Cp1252ToUtf8(lintaro::CritErrorText(db_->ReadLastError()));
    if (const StoredRunEnding run = ReadStoredRunEnding(*db_); !run.finished())
      text = UnfinishedRunNotice(run.records_tested) + (text.empty() ? "" : "\r\n") + text;
    return text;
  } catch (const StoreError& e) {
    problem_ = e.what();
    return {};
  }
}

std::vector<FindingCells> GridResults::FindingsOf(int64_t rec_num) {
  std::vector<FindingCells> cells;
  try {
    if (!db_) return cells;
    for (const ErrorRow& row : db_->ReadErrorsOf(rec_num)) {
      // The entry as the viewer shows it: a control character in it is
      // seen, not taken for a space.
      cells.push_back(FindingCells{Cp1252ToUtf8(row.reference), PrintableUtf8(row.user_entry),
                                   Cp1252ToUtf8(row.error)});
    }
  } catch (const StoreError&) {
    cells.clear();
  }
  return cells;
}

}  // namespace lintaro
