#include "serve/api_handlers.h"

#include <chrono>

#include "reports/report_forms.h"
#include "serve/api_json.h"
#include "serve/check_id.h"
#include "serve/check_reads.h"

namespace lintaro {
namespace {

constexpr const char* kJson = "application/json";
// Room for the multipart boundaries and part headers around the files.
constexpr int64_t kMultipartSlack = int64_t{64} * 1024;
constexpr int kDefaultMaxErrors = 500;
constexpr int64_t kDefaultLimit = 100;
constexpr int64_t kMaxLimit = 1000;
constexpr auto kEventInterval = std::chrono::milliseconds(200);

// A whole number from min to max, digits only.
std::optional<int64_t> ParseNumber(const std::string& text, int64_t min, int64_t max) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  int64_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  if (n < min || n > max) return std::nullopt;
  return n;
}

bool Ended(CheckState state) { return state == CheckState::kDone || state == CheckState::kFailed; }

// The answer leaves the request's body unread: the connection cannot serve another.
void CloseAfter(httplib::Response& res) { res.set_header("Connection", "close"); }

struct ReportForm {
  const char* content_type;
  const char* extension;
};

ReportForm FormOf(const std::string& format) {
  if (format == "html") return {"text/html; charset=utf-8", "html"};
  if (format == "json") return {"application/json", "json"};
  if (format == "csv") return {"text/csv; charset=utf-8", "csv"};
  return {"text/plain; charset=utf-8", "txt"};
}

// "NAME-errors.EXT" from the submission's first file, in safe characters.
std::string ReportFileName(const CheckStatus& check, const char* extension) {
  std::string stem = check.files.empty() ? "submission" : check.files.front().name;
  const size_t dot = stem.find_last_of('.');
  if (dot != std::string::npos && dot > 0) stem.resize(dot);
  for (char& c : stem)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') c = '_';
  return stem + "-errors." + extension;
}

}  // namespace

void SetError(httplib::Response& res, const ApiError& error) {
  res.status = error.status;
  res.set_content(ErrorJson(error.code, error.message), kJson);
}

std::optional<CheckStatus> ApiHandlers::Find(const httplib::Request& req, httplib::Response& res) {
  const std::string id = req.matches.size() > 1 ? req.matches[1].str() : std::string();
  std::optional<CheckStatus> check = IsCheckId(id) ? registry_.Status(id) : std::nullopt;
  if (!check) SetError(res, {404, "not_found", "there is no check " + id});
  return check;
}

void ApiHandlers::Create(const httplib::Request& req, httplib::Response& res,
                         const httplib::ContentReader& reader) {
  const bool multipart = req.is_multipart_form_data();
  if (!multipart &&
      req.get_header_value("Content-Type").rfind("application/octet-stream", 0) != 0) {
    CloseAfter(res);
    return SetError(res,
                    {415, "unsupported_media_type",
                     "send the submission as multipart/form-data or application/octet-stream"});
  }
  const std::string length = req.get_header_value("Content-Length");
  const int64_t bound = options_.max_upload_bytes + (multipart ? kMultipartSlack : 0);
  if (!length.empty() && !ParseNumber(length, 0, bound)) {
    CloseAfter(res);
    return SetError(
        res, {413, "too_large",
              "the submission is larger than the service accepts (" +
                  std::to_string(options_.max_upload_bytes / (int64_t{1024} * 1024)) + " MB)"});
  }
  int max_errors = kDefaultMaxErrors;
  if (req.has_param("max_errors")) {
    std::optional<int> limit = ParseMaxErrors(req.get_param_value("max_errors"));
    if (!limit) {
      CloseAfter(res);
      return SetError(res,
                      {400, "bad_parameter", "max_errors must be a whole number from 1 to 25000"});
    }
    max_errors = *limit;
  }
  std::string problem;
  bool queue_full = false;
  std::shared_ptr<CheckJob> job = registry_.Prepare(problem, queue_full);
  if (!job) {
    CloseAfter(res);
    if (queue_full)
      return SetError(res, {429, "queue_full", "too many checks are waiting; try again later"});
    return SetError(res, {registry_.stopping() ? 503 : 500, "unavailable", problem});
  }
  job->max_errors = max_errors;
  if (std::optional<ApiError> error = ReceiveUpload(req, reader, *job, options_.max_upload_bytes)) {
    registry_.Discard(job);
    CloseAfter(res);
    return SetError(res, *error);
  }
  const std::string id = job->id;
  registry_.Submit(std::move(job));
  res.status = 202;
  res.set_header("Location", "/api/v1/checks/" + id);
  res.set_content(CreatedJson(id), kJson);
}

void ApiHandlers::List(const httplib::Request&, httplib::Response& res) {
  res.set_content(ListJson(registry_.List()), kJson);
}

void ApiHandlers::Status(const httplib::Request& req, httplib::Response& res) {
  if (std::optional<CheckStatus> check = Find(req, res)) res.set_content(StatusJson(*check), kJson);
}

void ApiHandlers::Events(const httplib::Request& req, httplib::Response& res) {
  std::optional<CheckStatus> check = Find(req, res);
  if (!check) return;
  const std::string id = check->id;
  res.set_chunked_content_provider("text/event-stream",
                                   [this, id](size_t, httplib::DataSink& sink) {
                                     std::optional<CheckStatus> now = registry_.Status(id);
                                     if (!now) {
                                       const std::string gone = "event: deleted\ndata: {}\n\n";
                                       sink.write(gone.data(), gone.size());
                                       sink.done();
                                       return true;
                                     }
                                     const std::string event = "data: " + StatusJson(*now) + "\n\n";
                                     if (!sink.write(event.data(), event.size())) return false;
                                     if (Ended(now->state) || stopping_.load()) {
                                       sink.done();
                                       return true;
                                     }
                                     std::this_thread::sleep_for(kEventInterval);
                                     return true;
                                   });
}

void ApiHandlers::Report(const httplib::Request& req, httplib::Response& res) {
  std::optional<CheckStatus> check = Find(req, res);
  if (!check) return;
  const std::string format = req.has_param("format") ? req.get_param_value("format") : "text";
  if (!IsReportFormat(format))
    return SetError(res, {400, "bad_parameter", "format must be text, html, json or csv"});
  if (!Ended(check->state)) return SetError(res, {409, "not_done", "the check has not ended yet"});
  if (!check->has_results)
    return SetError(res, {409, "no_results", "the check left no results to report"});
  auto report = ReadReport(check->folder, format, req.get_param_value("employer"));
  if (auto* error = std::get_if<ApiError>(&report)) return SetError(res, *error);
  const ReportForm form = FormOf(format);
  res.set_header("Content-Disposition", std::string("attachment; filename=\"") +
                                            ReportFileName(*check, form.extension) + "\"");
  res.set_content(std::get<std::string>(report), form.content_type);
}

void ApiHandlers::Records(const httplib::Request& req, httplib::Response& res) {
  std::optional<CheckStatus> check = Find(req, res);
  if (!check) return;
  const std::string with_errors = req.get_param_value("with_errors");
  std::optional<int64_t> offset = req.has_param("offset")
                                      ? ParseNumber(req.get_param_value("offset"), 0, INT64_MAX / 2)
                                      : std::optional<int64_t>(0);
  std::optional<int64_t> limit = req.has_param("limit")
                                     ? ParseNumber(req.get_param_value("limit"), 1, kMaxLimit)
                                     : std::optional<int64_t>(kDefaultLimit);
  if (!offset || !limit || (with_errors != "" && with_errors != "0" && with_errors != "1"))
    return SetError(res, {400, "bad_parameter",
                          "with_errors must be 0 or 1, offset a whole number, limit 1 to 1000"});
  if (!Ended(check->state) || !check->has_results)
    return SetError(res, {409, "not_done", "the check has not ended yet"});
  auto rows = ReadRecords(check->folder, with_errors == "1", *offset, *limit);
  if (auto* error = std::get_if<ApiError>(&rows)) return SetError(res, *error);
  res.set_content(std::get<std::string>(rows), kJson);
}

void ApiHandlers::Record(const httplib::Request& req, httplib::Response& res) {
  ReadEndedRecord(req, res, ReadRecord);
}

void ApiHandlers::Findings(const httplib::Request& req, httplib::Response& res) {
  ReadEndedRecord(req, res, ReadFindings);
}

void ApiHandlers::ReadEndedRecord(const httplib::Request& req, httplib::Response& res,
                                  RecordRead read) {
  std::optional<CheckStatus> check = Find(req, res);
  if (!check) return;
  std::optional<int64_t> number = ParseNumber(req.matches[2].str(), 1, INT32_MAX);
  if (!number)
    return SetError(res, {400, "bad_parameter", "a record number is a whole number from 1"});
  if (!Ended(check->state) || !check->has_results)
    return SetError(res, {409, "not_done", "the check has not ended yet"});
  auto record = read(check->folder, *number);
  if (auto* error = std::get_if<ApiError>(&record)) return SetError(res, *error);
  res.set_content(std::get<std::string>(record), kJson);
}

void ApiHandlers::Employers(const httplib::Request& req, httplib::Response& res) {
  std::optional<CheckStatus> check = Find(req, res);
  if (!check) return;
  if (!Ended(check->state) || !check->has_results)
    return SetError(res, {409, "not_done", "the check has not ended yet"});
  auto employers = ReadEmployers(check->folder);
  if (auto* error = std::get_if<ApiError>(&employers)) return SetError(res, *error);
  res.set_content(std::get<std::string>(employers), kJson);
}

void ApiHandlers::Delete(const httplib::Request& req, httplib::Response& res) {
  const std::string id = req.matches[1].str();
  if (!IsCheckId(id) || !registry_.Delete(id))
    return SetError(res, {404, "not_found", "there is no check " + id});
  res.status = 204;
}

void ApiHandlers::Health(const httplib::Request&, httplib::Response& res) {
  res.set_content(HealthJson(registry_.waiting(), registry_.running()), kJson);
}

}  // namespace lintaro
