#include "serve/api_json.h"

#include <nlohmann/json.hpp>

#include "core/version.h"

namespace lintaro {
namespace {

using Json = nlohmann::ordered_json;

std::string Dump(const Json& j) { return j.dump(-1, ' ', false, Json::error_handler_t::replace); }

Json TimeOrNull(int64_t seconds) { return seconds > 0 ? Json(IsoTime(seconds)) : Json(nullptr); }

Json TextOrNull(const std::string& text) { return text.empty() ? Json(nullptr) : Json(text); }

Json FileNames(const CheckStatus& s) {
  Json names = Json::array();
  for (const UploadedFile& f : s.files) names.push_back(f.name);
  return names;
}

}  // namespace

std::string StatusJson(const CheckStatus& s) {
  const bool waiting = s.state == CheckState::kQueued;
  Json j = {{"id", s.id},
            {"state", CheckStateName(s.state)},
            {"queue_position", waiting ? Json(s.queue_position) : Json(nullptr)},
            {"records_tested", s.records_tested},
            {"bytes_read", s.bytes_read},
            {"bytes_total", s.bytes_total},
            {"files", FileNames(s)},
            {"created", TimeOrNull(s.created)},
            {"started", TimeOrNull(s.started)},
            {"ended", TimeOrNull(s.ended)},
            {"outcome", TextOrNull(s.outcome)},
            {"problem", TextOrNull(s.problem)},
            {"messages", s.messages}};
  std::string text = Dump(j);
  // The summary goes in as the check printed it, byte for byte.
  std::string summary = s.summary;
  while (!summary.empty() && summary.back() == '\n') summary.pop_back();
  text.pop_back();
  text += ",\"summary\":" + (summary.empty() ? std::string("null") : summary) + "}";
  return text;
}

std::string ListJson(const std::vector<CheckStatus>& checks) {
  Json list = Json::array();
  for (const CheckStatus& s : checks) {
    list.push_back({{"id", s.id},
                    {"files", FileNames(s)},
                    {"state", CheckStateName(s.state)},
                    {"created", TimeOrNull(s.created)},
                    {"started", TimeOrNull(s.started)},
                    {"ended", TimeOrNull(s.ended)},
                    {"outcome", TextOrNull(s.outcome)},
                    {"messages", s.messages}});
  }
  return Dump(Json{{"checks", list}});
}

std::string HealthJson(int64_t queue, int64_t running) {
  return Dump(
      Json{{"status", "ok"}, {"version", kLintaroVersion}, {"queue", queue}, {"running", running}});
}

std::string ErrorJson(const std::string& code, const std::string& message) {
  return Dump(Json{{"error", {{"code", code}, {"message", message}}}});
}

std::string CreatedJson(const std::string& id) {
  return Dump(Json{{"id", id}, {"status_url", "/api/v1/checks/" + id}});
}

}  // namespace lintaro
