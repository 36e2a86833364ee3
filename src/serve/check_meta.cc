#include "serve/check_meta.h"

#include <fstream>
#include <nlohmann/json.hpp>

#include "core/error_limit.h"
#include "os/path.h"
#include "os/replacing_file.h"

namespace lintaro {
namespace {

constexpr const char* kMetaName = "check.json";

CheckState StateNamed(const std::string& name) {
  if (name == "done") return CheckState::kDone;
  if (name == "queued") return CheckState::kQueued;
  if (name == "running") return CheckState::kRunning;
  return CheckState::kFailed;
}

}  // namespace

const char* CheckStateName(CheckState state) {
  switch (state) {
    case CheckState::kQueued:
      return "queued";
    case CheckState::kRunning:
      return "running";
    case CheckState::kDone:
      return "done";
    case CheckState::kFailed:
      return "failed";
  }
  return "failed";
}

bool WriteCheckMeta(const CheckJob& job) {
  nlohmann::json files = nlohmann::json::array();
  for (const UploadedFile& f : job.files)
    files.push_back({{"name", f.name}, {"path", f.path}, {"size", f.size}});
  const nlohmann::json meta = {{"id", job.id},
                               {"files", files},
                               {"max_errors", job.max_errors},
                               {"created", job.created},
                               {"started", job.started},
                               {"ended", job.ended},
                               {"state", CheckStateName(job.state)},
                               {"records_tested", job.records_tested.load()},
                               {"summary", job.summary},
                               {"outcome", job.outcome},
                               {"problem", job.problem},
                               {"messages", job.messages},
                               {"has_results", job.has_results}};
  const std::string text = meta.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  // Replaced whole: a kill or a full disk leaves the state before.
  ReplacingFile file(JoinPath(job.folder, kMetaName));
  file.Write(text);
  return file.Commit();
}

bool ReadCheckMeta(const std::string& folder, CheckJob& job) {
  std::ifstream in(JoinPath(folder, kMetaName));
  if (!in) return false;
  const nlohmann::json meta = nlohmann::json::parse(in, nullptr, /*allow_exceptions=*/false);
  if (!meta.is_object()) return false;
  try {
    job.folder = folder;
    job.id = meta.at("id").get<std::string>();
    for (const auto& f : meta.at("files"))
      job.files.push_back(UploadedFile{f.at("name").get<std::string>(),
                                       f.at("path").get<std::string>(),
                                       f.at("size").get<int64_t>()});
    for (const UploadedFile& f : job.files) job.bytes_total += f.size;
    job.max_errors = meta.at("max_errors").get<int>();
    job.created = meta.at("created").get<int64_t>();
    job.started = meta.at("started").get<int64_t>();
    job.ended = meta.at("ended").get<int64_t>();
    job.state = StateNamed(meta.at("state").get<std::string>());
    job.summary = meta.at("summary").get<std::string>();
    job.outcome = meta.at("outcome").get<std::string>();
    job.problem = meta.at("problem").get<std::string>();
    // Kept since checks kept their run's alert; none before.
    job.messages = meta.value("messages", std::vector<std::string>{});
    job.has_results = meta.at("has_results").get<bool>();
    // Kept since it was written beside the summary; before, the summary's.
    const nlohmann::json summary = nlohmann::json::parse(job.summary, nullptr, false);
    const int64_t summarised =
        summary.is_object() ? summary.value("records_tested", int64_t{0}) : 0;
    job.records_tested.store(meta.value("records_tested", summarised));
  } catch (const nlohmann::json::exception&) {
    return false;
  }
  return true;
}

}  // namespace lintaro
