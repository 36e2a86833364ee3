// Fuzz target: any bytes as a submission file, through framing and the
// whole test run into a results database.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <utility>
#include <string>

#include "core/run_state.h"
#include "run/check_run.h"
#include "store/results_db.h"

namespace {

class QuietPrompts : public lintaro::Prompts {
 public:
  std::string file;
  lintaro::Answer Message(const std::string&, const std::string&, lintaro::Icon,
                          lintaro::Buttons buttons) override {
    return buttons == lintaro::Buttons::kYesNo ? lintaro::Answer::kNo : lintaro::Answer::kOk;
  }
  std::optional<std::string> OpenFile(const std::string&, const std::string&) override {
    if (file.empty()) return std::nullopt;
    return std::exchange(file, std::string());
  }
};

class FixedClock : public lintaro::Clock {
 public:
  lintaro::Date Today() override { return {2008, 1, 15}; }
};

const std::string& Home() {
  static const std::string home = [] {
    std::string pattern = "/tmp/lintaro-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    return pattern;
  }();
  return home;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string file = Home() + "/submission.txt";
  if (std::FILE* f = std::fopen(file.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  lintaro::RunState state;
  QuietPrompts prompts;
  prompts.file = file;
  FixedClock clock;
  lintaro::RunView view;
  lintaro::CheckRunOptions options;
  options.program_folder = Home();
  options.max_errors = 200;
  lintaro::CheckRun run(state, prompts, clock, view, options);
  lintaro::RunSummary summary = run.ReadFile();
  // Whatever the bytes, the results file opens and agrees with the summary.
  if (summary.outcome != lintaro::RunOutcome::kFailed &&
      summary.outcome != lintaro::RunOutcome::kCancelled) {
    auto db = lintaro::ResultsDb::Open(Home() + "/ERRLOG2C.MDB", true);
    if (db->CountErrors() != summary.errors) std::abort();
  }
  return 0;
}
