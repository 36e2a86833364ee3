// What the main window's grid view reads from the results database besides
// the record grids' rows: the counts behind its labels, the tested file's
// name for its caption, the finding that stopped the run, and the findings
// of one record (the findings grid, DBGrid2).
#ifndef LINTARO_BROWSE_GRID_RESULTS_H_
#define LINTARO_BROWSE_GRID_RESULTS_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lintaro {

class ResultsDb;

// One row of the findings grid: "Error Reference", "User Entry" and "Error
// Description", UTF-8 as stored.
struct FindingCells {
  std::string reference;
  std::string user_entry;
  std::string error;

  friend bool operator==(const FindingCells&, const FindingCells&) = default;
};

// The results database, opened read-only for as long as the grid view may
// read it. Every read gives 0, an empty text or no rows when the results
// cannot be read; none throws.
class GridResults {
 public:
  // Opens the results database at path, after rolling back a batch that a
  // killed check left unfinished. Null when there is no file at path. A
  // file that is there but is no results database opens as results without
  // records or findings, and says why in problem().
  static std::unique_ptr<GridResults> Open(const std::string& path);
  ~GridResults();

  // Why the results could not be opened, counted or told (CritErrorText);
  // empty while they could.
  // A view must not read "no findings" into results with a problem.
  const std::string& problem() const { return problem_; }

  int64_t CountErrors();
  // The number of records tested: the last record number, read from the
  // key (records are numbered from 1 without gaps), so that no grid reads
  // all its rows to be labelled.
  int64_t CountTested();
  // The last tested file's name (UTF-8); empty when none.
  std::string LastTestedPath();
  // The sentence shown under "Lintaro Testing Stopped" (UTF-8): that the
  // run did not finish, when it did not (its results cover only the records
  // it reached), and the critical finding, when the last finding is one;
  // empty otherwise.
  std::string CritErrorText();
  // The findings of record rec_num, in the order they were found.
  std::vector<FindingCells> FindingsOf(int64_t rec_num);
  // Whether a later test has replaced (or someone removed) the file these
  // results were opened from: they are no longer the last test's.
  bool Replaced() const;

 private:
  explicit GridResults(std::unique_ptr<ResultsDb> db);

  std::unique_ptr<ResultsDb> db_;  // null: the file is no results database
  std::string problem_;
};

}  // namespace lintaro

#endif  // LINTARO_BROWSE_GRID_RESULTS_H_
