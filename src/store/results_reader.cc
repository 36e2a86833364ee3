#include "store/results_reader.h"

#include "store/results_db.h"

namespace lintaro {

bool StoredResults::HasFinding(int64_t rec_num, std::string_view reference) {
  for (const ErrorRow& row : db_.ReadErrorsOf(rec_num))
    if (row.reference == reference) return true;
  return false;
}

std::vector<ErrorRow> StoredResults::ErrorsOf(int64_t rec_num) { return db_.ReadErrorsOf(rec_num); }

int64_t StoredResults::CountRecordsWithId(std::string_view id) {
  return db_.CountRecordsWithId(id);
}

}  // namespace lintaro
