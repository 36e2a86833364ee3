// Fuzz target: any bytes as a submission file, through framing and the
// whole test run into a results database held in memory. One database
// serves every input (the run empties it first), so an input costs no new
// file and no new schema.
//
// Whatever the bytes, the run must end as a run ends (never as a failure
// of the program itself), and what it stored must hang together: records
// numbered from 1 without gaps, every finding against a stored record, each
// record's Errors column its number of findings, a critical finding only as
// the last one, no record after the one that reached the error limit, and
// the run's ending recorded.
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/run_state.h"
#include "fuzz_support.h"
#include "run/check_run.h"
#include "store/results_db.h"
#include "support/fakes.h"

namespace {

// The error limit of an input: 1 to 40, from its length, when that is a
// multiple of 8, so that the fuzzer meets the limit after any record and
// finding; the program's default of 500 otherwise.
int ErrorLimitFor(size_t size) { return size % 8 == 0 ? 1 + static_cast<int>(size / 8 % 40) : 500; }

lintaro::ResultsDb& Store() {
  static const std::unique_ptr<lintaro::ResultsDb> store = lintaro::ResultsDb::CreateInMemory();
  return *store;
}

void Require(bool holds, const char* what) { lintaro::fuzz::Require(holds, "fuzz_run", what); }

// Checks what the run stored against itself and against the summary.
void CheckStore(lintaro::ResultsDb& db, const lintaro::RunSummary& summary, int max_errors) {
  const int64_t records = db.CountRecords();
  Require(db.LastRecNum() == records, "the records are not numbered 1 to N");
  std::map<int64_t, int64_t> findings_of;
  int64_t findings = 0;
  int64_t critical = 0;
  bool critical_last = true;
  db.ForEachReportRow([&](const lintaro::ReportRow& row) {
    ++findings_of[row.rec_num];
    ++findings;
    if (critical > 0) critical_last = false;
    if (row.type == "C") ++critical;
    return true;
  });
  Require(findings == db.CountErrors(), "a finding names no stored record");
  Require(critical <= 1 && critical_last, "a critical finding is not the last finding");
  for (int64_t rec = 1; rec <= records; ++rec) {
    const std::optional<lintaro::RecordRow> row = db.ReadRecord(rec);
    Require(row.has_value(), "a record number is missing");
    const auto found = findings_of.find(rec);
    Require(row->errors == (found == findings_of.end() ? 0 : found->second),
            "a record's Errors is not its number of findings");
    Require(!row->record.empty() && row->record.size() <= 1024, "a stored record's length");
  }
  Require(summary.errors == findings, "the summary's findings");
  Require(summary.records_tested == records, "the summary's records");
  Require(summary.records_with_errors == static_cast<int64_t>(findings_of.size()),
          "the summary's records with findings");
  // The error limit stops the run at the end of the first record that
  // brings the count of findings to the limit: no record follows one.
  int64_t before_last = 0;
  for (const auto& [rec, count] : findings_of)
    if (rec < records) before_last += count;
  Require(before_last < max_errors, "the run went on past the error limit");
  if (summary.error_limit_reached) {
    Require(summary.critical.has_value() && findings - 1 >= max_errors,
            "the error limit was reached below the limit or without its critical finding");
  }
  if (summary.outcome == lintaro::RunOutcome::kClean)
    Require(findings == 0 && records > 0, "a clean run with findings or without records");
  if (summary.outcome == lintaro::RunOutcome::kNoValidData)
    Require(findings == 0 && records == 0, "a run without valid data stored something");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const lintaro::testing::TempDir folder;
  const std::string file =
      folder.Write("submission.txt", std::string(reinterpret_cast<const char*>(data), size));
  lintaro::RunState state;
  lintaro::testing::ScriptedPrompts prompts;  // every question answered with its default
  prompts.files.push_back(file);
  lintaro::testing::FixedClock clock({2008, 1, 15});
  lintaro::RunView view;
  lintaro::CheckRunOptions options;
  options.program_folder = folder.str();
  options.max_errors = ErrorLimitFor(size);
  options.results_store = &Store();
  lintaro::CheckRun run(state, prompts, clock, view, options);
  const lintaro::RunSummary summary = run.ReadFile();
  // Only a fault of the program itself (an exception out of the checks) or
  // of the store shows this box for a readable file.
  bool failure_shown = false;
  for (const lintaro::testing::ShownMessage& m : prompts.messages) {
    if (m.title != "Submission File Error") continue;
    std::fprintf(stderr, "fuzz_run: the run failed: %s\n", m.text.c_str());
    failure_shown = true;
  }
  Require(!failure_shown && summary.outcome != lintaro::RunOutcome::kFailed,
          "the run ended in a failure");
  // A run that ended as a run ends says so, with its last rows.
  const std::optional<lintaro::RunRow> ran = Store().ReadRun();
  Require(ran && ran->finished(), "the run recorded no ending, or not how it ended");
  CheckStore(Store(), summary, options.max_errors);
  return 0;
}
