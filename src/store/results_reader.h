// What the record checks read back from the results while they run: the
// findings stored against a record and the records stored so far.
//
// In a test run the answers come from the run's own rows (RunResults); while
// the viewer re-checks a stored record they come from the database file
// (StoredResults). Either way a check sees exactly what the store holds.
#ifndef LINTARO_STORE_RESULTS_READER_H_
#define LINTARO_STORE_RESULTS_READER_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "store/rows.h"

namespace lintaro {

class ResultsDb;

class ResultsReader {
 public:
  virtual ~ResultsReader() = default;

  // Whether a finding with exactly this reference is stored against record
  // rec_num. The viewer asks it of a submitter record: the run stores the
  // PIN finding exactly when it sets PinOK false for that record, so the
  // answer is the PIN state of that very record, whichever file of the
  // submission held it and however many submitter records followed.
  virtual bool HasFinding(int64_t rec_num, std::string_view reference) = 0;

  // The findings stored against record rec_num, in the order they were
  // found.
  virtual std::vector<ErrorRow> ErrorsOf(int64_t rec_num) = 0;

  // Number of stored records whose identifier, as found, is id.
  virtual int64_t CountRecordsWithId(std::string_view id) = 0;
};

// Reads a results database file that no run is writing.
class StoredResults : public ResultsReader {
 public:
  explicit StoredResults(ResultsDb& db) : db_(db) {}
  bool HasFinding(int64_t rec_num, std::string_view reference) override;
  std::vector<ErrorRow> ErrorsOf(int64_t rec_num) override;
  int64_t CountRecordsWithId(std::string_view id) override;

 private:
  ResultsDb& db_;
};

}  // namespace lintaro

#endif  // LINTARO_STORE_RESULTS_READER_H_
