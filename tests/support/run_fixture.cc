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

std::string StoredRows(const RunOutput& out) {
  std::string rows;
  for (const MiscRow& m : out.files) rows += "misc " + m.rpt_date + std::to_string(m.pin_ok) + "\n";
  for (const RecordRow& r : out.records)
    rows += "record " + std::to_string(r.rec_num) + r.id + std::to_string(r.rce_indx) + " " +
            std::to_string(r.errors) + r.rec_reference + r.record + "\n";
  for (const ErrorRow& e : out.errors)
    rows += "error " + std::to_string(e.err_num) + e.type + std::to_string(e.rec_num) +
            e.reference + "|" + e.user_entry + "|" + e.error + "\n";
  for (const auto* table : {&out.trct, &out.trcu}) {
    for (const TotalsRow& t : *table) {
      rows += "totals " + std::to_string(t.indx) + t.rce_ein + std::to_string(t.count);
      for (const TotalsRow::Pair& p : t.pairs)
        rows += " " + std::to_string(p.correct) + std::to_string(p.correct_blank) +
                std::to_string(p.orig) + std::to_string(p.orig_blank) + p.err_ref;
      rows += "\n";
    }
  }
  return rows;
}

RunOutput RunRecords(const std::vector<std::string>& records, int max_errors) {
  ScriptedPrompts prompts;
  return RunFiles({JoinRecords(records)}, max_errors, prompts);
}

RunOutput RunFiles(const std::vector<std::string>& files, int max_errors, ScriptedPrompts& prompts,
                   Date today) {
  RunOutput out;
  out.dir = std::make_shared<TempDir>();
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string name =
        files.size() == 1 ? "submission.txt" : "part" + std::to_string(i + 1) + ".txt";
    prompts.files.push_back(out.dir->Write(name, files[i]));
  }
  FixedClock clock(today);
  RecordingView view;
  CheckRunOptions options;
  options.program_folder = out.dir->str();
  options.max_errors = max_errors;
  out.summary = CheckRun(out.state, prompts, clock, view, options).ReadFile();
  ReadBack(*ResultsDb::Open(out.db_path(), true), out);
  return out;
}

}  // namespace lintaro::testing
