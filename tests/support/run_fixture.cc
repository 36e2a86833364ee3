#include "support/run_fixture.h"

#include "core/test_run.h"

namespace lintaro::testing {

RunFixture::RunFixture()
    : run(std::make_unique<RunResults>(
          ResultsDb::Create((dir.path() / kResultsFileName).string()))),
      recorder(state, run.get(), nullptr),
      ctx{state, recorder, *run, run.get(), nullptr, yielder} {
  state.ResetForRun();
  run->AddFile("submission.txt", "12/06/2026");
}

int64_t RunFixture::Append(const std::string& record) {
  const int64_t n = next_++;
  state.RecCtr = static_cast<int32_t>(n);
  state.RecId = record.substr(0, 3);
  run->AppendRecord(n, record.substr(0, 3), record);
  return n;
}

std::vector<ErrorRow> RunFixture::Errors() {
  run->Flush();
  std::vector<ErrorRow> all;
  for (int64_t n = 1; n < next_; ++n) {
    std::vector<ErrorRow> of = run->db().ReadErrorsOf(n);
    all.insert(all.end(), of.begin(), of.end());
  }
  return all;
}

std::optional<RecordRow> RunFixture::Record(int64_t rec_num) {
  run->Flush();
  return run->db().ReadRecord(rec_num);
}

std::optional<TotalsRow> FakeResults::EmployerRow(TotalsTable table, int64_t rec_num) {
  auto& rows = table == TotalsTable::kTRCT ? trct : trcu;
  auto it = rows.find(rec_num);
  if (it == rows.end()) return std::nullopt;
  return it->second;
}

int64_t FakeResults::CountRecordsWithId(std::string_view id) {
  auto it = ids.find(std::string(id));
  return it == ids.end() ? 0 : it->second;
}

ViewFixture::ViewFixture()
    : recorder(state, nullptr, &rows), ctx{state, recorder, results, nullptr, &rows, yielder} {
  state.Viewing = true;
}

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
  TestRunOptions options;
  options.program_folder = dir.str();
  options.max_errors = max_errors;
  TestRun run(out.state, prompts, clock, view, options);
  out.summary = run.ReadFile();
  out.messages = prompts.messages;
  auto db = ResultsDb::Open((dir.path() / kResultsFileName).string(), true);
  ReadBack(*db, out);
  return out;
}

void PrintTo(const Finding& f, std::ostream* os) {
  *os << "\n  {" << f.reference << " | " << f.user_entry << " | " << f.error << "}";
}

std::vector<Finding> FindingsOf(const std::vector<ErrorRow>& errors, int64_t rec_num) {
  std::vector<Finding> found;
  for (const ErrorRow& e : errors)
    if (e.rec_num == rec_num) found.push_back({e.reference, e.user_entry, e.error});
  return found;
}

std::vector<Finding> CheckIn(RunFixture& f, RecordChecker check, const std::string& record) {
  const int64_t n = f.Append(record);
  check(record, f.ctx);
  return FindingsOf(f.Errors(), n);
}

}  // namespace lintaro::testing
