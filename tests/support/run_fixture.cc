#include "support/run_fixture.h"

#include "run/check_run.h"
#include "store/results_db.h"

namespace lintaro::testing {

void ReadBack(ResultsDb& db, RunOutput& out) {
  const int64_t records = db.CountRecords();
  // Record numbers may have gaps (end-of-file filler is removed): read
  // until every stored row was found.
  for (int64_t n = 1; static_cast<int64_t>(out.records.size()) < records && n < records + 1000;
       ++n) {
    if (auto row = db.ReadRecord(n)) {
      out.records.push_back(*row);
      std::vector<ErrorRow> of = db.ReadErrorsOf(n);
      out.errors.insert(out.errors.end(), of.begin(), of.end());
    }
  }
  out.files = db.ReadMisc();
  for (TotalsTable t : {TotalsTable::kTRCT, TotalsTable::kTRCU}) {
    auto& rows = t == TotalsTable::kTRCT ? out.trct : out.trcu;
    const int64_t count = db.CountTotals(t);
    for (int64_t i = 1; i <= count; ++i)
      if (auto row = db.ReadTotals(t, i)) rows.push_back(*row);
  }
}

std::string RunOutput::db_path() const { return (dir->path() / kResultsFileName).string(); }

RunOutput RunRecords(const std::vector<std::string>& records, int max_errors) {
  return RunFiles({records}, max_errors);
}

RunOutput RunFiles(const std::vector<std::vector<std::string>>& files, int max_errors) {
  RunOutput out;
  out.dir = std::make_shared<TempDir>();
  TempDir& dir = *out.dir;
  ScriptedPrompts prompts;
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string name =
        i == 0 ? "submission.txt" : "submission-" + std::to_string(i + 1) + ".txt";
    prompts.files.push_back(dir.Write(name, JoinRecords(files[i])));
  }
  FixedClock clock;
  RecordingView view;
  CheckRunOptions options;
  options.program_folder = dir.str();
  options.max_errors = max_errors;
  CheckRun run(out.state, prompts, clock, view, options);
  out.summary = run.ReadFile();
  out.messages = prompts.messages;
  auto db = ResultsDb::Open((dir.path() / kResultsFileName).string(), true);
  ReadBack(*db, out);
  return out;
}

std::vector<ErrorRow> ErrorsOf(const std::vector<ErrorRow>& errors, int64_t rec_num) {
  std::vector<ErrorRow> found;
  for (const ErrorRow& e : errors)
    if (e.rec_num == rec_num) found.push_back(e);
  return found;
}

}  // namespace lintaro::testing
