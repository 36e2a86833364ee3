// Fixtures that give the record checks what a test run or the viewer gives
// them: a CheckContext over a real results database, a viewing context over
// fake rows, and whole runs of a submission through TestRun.
#ifndef LINTARO_TESTS_SUPPORT_RUN_FIXTURE_H_
#define LINTARO_TESTS_SUPPORT_RUN_FIXTURE_H_

#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/check_context.h"
#include "core/error_recorder.h"
#include "core/run_state.h"
#include "core/yielder.h"
#include "store/results_db.h"
#include "store/results_reader.h"
#include "store/rows.h"
#include "store/run_results.h"
#include "support/fakes.h"

namespace lintaro::testing {

// A test run's context without the run: a fresh results database in a
// temporary folder, the run's rows and recorder. Append makes a record the
// current one, as the run does before checking it.
class RunFixture {
 public:
  RunFixture();

  // Appends a Records row (the next number) and makes it current.
  int64_t Append(const std::string& record);
  // Every finding stored so far, in order.
  std::vector<ErrorRow> Errors();
  // The stored Records row.
  std::optional<RecordRow> Record(int64_t rec_num);

  TempDir dir;
  RunState state;
  std::unique_ptr<RunResults> run;
  ErrorRecorder recorder;
  Yielder yielder;
  CheckContext ctx;

 private:
  int64_t next_ = 1;
};

// Answers of the stored results for the viewer's re-check.
class FakeResults : public ResultsReader {
 public:
  // Whether the run stored each finding the re-check makes (a PIN that
  // failed in the run stays marked).
  bool findings_stored = true;
  std::map<int64_t, TotalsRow> trct, trcu;  // employer rows by record number
  std::map<std::string, int64_t> ids;       // stored records per identifier

  bool HasFinding(int64_t, std::string_view) override { return findings_stored; }
  std::optional<TotalsRow> EmployerRow(TotalsTable table, int64_t rec_num) override;
  std::optional<ErrorRow> LastErrorOf(int64_t) override { return std::nullopt; }
  int64_t CountRecordsWithId(std::string_view id) override;
};

// The viewer's context: findings mark rows of `rows`, nothing is written.
class ViewFixture {
 public:
  ViewFixture();

  RunState state;
  FakeRows rows;
  FakeResults results;
  ErrorRecorder recorder;
  Yielder yielder;
  CheckContext ctx;
};

// What a whole run of a submission left behind.
struct RunOutput {
  RunSummary summary;
  std::vector<ErrorRow> errors;
  std::vector<RecordRow> records;
  std::vector<MiscRow> files;
  std::vector<TotalsRow> trct, trcu;
  std::vector<ShownMessage> messages;
  RunState state;
  // The program folder of the run, kept while the output lives.
  std::shared_ptr<TempDir> dir;
  std::string db_path() const;
};

// Runs TestRun over the records (joined with CR LF, in one file) in a fresh
// program folder and reads back everything stored.
RunOutput RunRecords(const std::vector<std::string>& records, int max_errors = 500);
// The same over a submission in several files, handed out in turn when the
// run asks for the next file.
RunOutput RunFiles(const std::vector<std::vector<std::string>>& files, int max_errors = 500);

// Reads every row of a results database.
void ReadBack(ResultsDb& db, RunOutput& out);

// A finding as the user reads it: reference, user entry and message.
struct Finding {
  std::string reference;
  std::string user_entry;
  std::string error;
  friend bool operator==(const Finding&, const Finding&) = default;
};
void PrintTo(const Finding& f, std::ostream* os);

// The findings of record rec_num, in order (non-critical and critical).
std::vector<Finding> FindingsOf(const std::vector<ErrorRow>& errors, int64_t rec_num);

// Appends record to the run, checks it and returns its findings.
using RecordChecker = void (*)(const std::string&, CheckContext&);
std::vector<Finding> CheckIn(RunFixture& f, RecordChecker check, const std::string& record);

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_RUN_FIXTURE_H_
