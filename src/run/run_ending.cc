#include "run/run_ending.h"

#include "store/results_db.h"

namespace lintaro {

StoredRunEnding ReadStoredRunEnding(ResultsDb& db) {
  StoredRunEnding stored;
  stored.run = db.ReadRun();
  stored.records_tested = db.LastRecNum();
  // The counts of a report take in every finding, its list only those of
  // stored records: results that hold others have no verdict to give.
  if (const int64_t stray = db.CountFindingsWithoutRecord(); stray > 0)
    throw StoreError(-1, "The results file is damaged: " + std::to_string(stray) +
                             " finding(s) belong to records it does not hold (" + db.path() + ")");
  // A run names each file it tests before the file's first record: records
  // without one would be reported as a verdict on no submission.
  if (stored.records_tested > 0 && db.ReadMisc().empty())
    throw StoreError(
        -1, "The results file is damaged: it holds " + std::to_string(stored.records_tested) +
                " records tested and names no file they came from (" + db.path() + ")");
  // A record missing from between the first and the last would be counted
  // as tested; findings missing while their records still count them would
  // read as fewer errors, or none. The count of findings the run recorded
  // with its ending spares adding up every record's Errors.
  const std::optional<int64_t> recorded = db.RecordedErrorCount();
  const ResultsDb::RecordTally tally =
      recorded ? ResultsDb::RecordTally{db.CountRecords(), *recorded} : db.TallyRecords();
  if (tally.records != stored.records_tested)
    throw StoreError(-1, "The results file is damaged: it holds " + std::to_string(tally.records) +
                             " of the " + std::to_string(stored.records_tested) +
                             " records tested (" + db.path() + ")");
  // The last records lost since, or a finished run's whole records cut off
  // after a record, read as a run that tested fewer: the run recorded how
  // many it tested.
  if (const std::optional<int64_t> tested = db.RecordedRecordCount();
      tested && *tested != stored.records_tested)
    throw StoreError(-1, "The results file is damaged: it holds " +
                             std::to_string(stored.records_tested) + " of the " +
                             std::to_string(*tested) + " records tested (" + db.path() + ")");
  if (const int64_t findings = db.CountErrors(); tally.counted_errors != findings)
    throw StoreError(-1, "The results file is damaged: it counts " +
                             std::to_string(tally.counted_errors) + " error(s), and it holds " +
                             std::to_string(findings) + " finding(s) (" + db.path() + ")");
  // A run stops at its first critical finding, and records so: the
  // findings' verdict (the last one critical or not) is the ending's.
  if (stored.finished() && stored.run) {
    const std::optional<ErrorRow> last = db.ReadLastError();
    const bool stopped_by_finding = last && last->type == "C";
    if (stopped_by_finding != (stored.run->ending != RunEnding::kCompleted))
      throw StoreError(-1, std::string("The results file is damaged: it records that testing ") +
                               (stopped_by_finding ? "ended with the submission"
                                                   : "was stopped by a critical error") +
                               ", and its findings say otherwise (" + db.path() + ")");
  }
  return stored;
}

std::string OneLineName(std::string_view name) {
  std::string line;
  line.reserve(name.size());
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F)
      line += "\xEF\xBF\xBD";
    else
      line += c;
  }
  return line;
}

std::string TestedFilesList(const std::vector<std::string>& paths) {
  std::string list;
  for (size_t i = 0; i < paths.size(); ++i) {
    if (i > 0) list += "; ";
    list += OneLineName(paths[i]);
  }
  return list;
}

std::string UnfinishedRunNotice(int64_t records_tested) {
  const std::string start = "Testing did not finish: ";
  if (records_tested <= 0) return start + "no record of the submission was tested.";
  if (records_tested == 1) return start + "these results cover only record 1 of the submission.";
  return start + "these results cover only records 1 to " + std::to_string(records_tested) +
         " of the submission.";
}

}  // namespace lintaro
