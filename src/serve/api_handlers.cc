#include "serve/api_handlers.h"

#include <strings.h>

#include "core/error_limit.h"
#include "core/whole_number.h"
#include "os/path.h"
#include "reports/report_format.h"
#include "reports/report_forms.h"
#include "serve/api_json.h"
#include "serve/check_id.h"
#include "serve/check_reads.h"
#include "serve/multipart_parser.h"

namespace lintaro {
namespace {

constexpr const char* kJson = "application/json";
// Room for the multipart boundaries and part headers around the files.
constexpr int64_t kMultipartSlack = int64_t{64} * 1024;
constexpr int kDefaultMaxErrors = 500;
constexpr int64_t kDefaultLimit = 100;
constexpr int64_t kMaxLimit = 1000;
// Progress events come at most this often; the last comes as the check ends.
constexpr int kEventIntervalMs = 200;

bool Ended(CheckState state) { return state == CheckState::kDone || state == CheckState::kFailed; }

// Why a check's results cannot be read yet, or ever.
std::optional<ApiError> NoResults(const CheckStatus& check) {
  if (!Ended(check.state)) return ApiError{409, "not_done", "the check has not ended yet"};
  if (!check.has_results) return ApiError{409, "no_results", "the check left no results to read"};
  return std::nullopt;
}

// A check's verdict holds only while the results it came from do: results
// changed or deleted behind the service since are no verdict, and are said
// to be unreadable, as each read of them is.
CheckStatus AsItStandsNow(CheckStatus check) {
  if (!Ended(check.state) || !check.has_results || ResultsStillReadable(check.folder)) return check;
  check.outcome = "unreadable";
  check.problem = "its results have been changed or deleted since it ended";
  check.summary.clear();
  return check;
}

// The answer leaves the request's body unread: the connection cannot serve another.
void CloseAfter(httplib::Response& res) { res.set_header("Connection", "close"); }

// "NAME-errors.EXT" from the submission's first file, in safe characters.
std::string ReportFileName(const CheckStatus& check, std::string_view extension) {
  std::string stem = check.files.empty() ? "submission" : check.files.front().name;
  const size_t dot = stem.find_last_of('.');
  if (dot != std::string::npos && dot > 0) stem.resize(dot);
  for (char& c : stem)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') c = '_';
  return stem + "-errors." + std::string(extension);
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
  const bool multipart = MultipartParser::IsFormData(req.get_header_value("Content-Type"));
  if (!multipart &&
      req.get_header_value("Content-Type").rfind("application/octet-stream", 0) != 0) {
    CloseAfter(res);
    return SetError(res,
                    {415, "unsupported_media_type",
                     "send the submission as multipart/form-data or application/octet-stream"});
  }
  const std::string length = req.get_header_value("Content-Length");
  // Without a length or chunks the body would end wherever the connection
  // does, and an upload cut short would be checked as if it were whole. The
  // library reads chunks only when Transfer-Encoding is "chunked" alone; a
  // body of any other coding is read to the connection's end.
  if (length.empty() &&
      strcasecmp(req.get_header_value("Transfer-Encoding").c_str(), "chunked") != 0) {
    CloseAfter(res);
    return SetError(res, {411, "length_required",
                          "send the submission with its length (Content-Length) or in chunks"});
  }
  // A length that is no number says nothing of the submission's size.
  if (length.find_first_not_of("0123456789") != std::string::npos) {
    CloseAfter(res);
    return SetError(res, {400, "bad_request", "Content-Length must be a number of bytes"});
  }
  const int64_t bound = options_.max_upload_bytes + (multipart ? kMultipartSlack : 0);
  if (!length.empty() && !ParseWholeNumber<int64_t>(length, 0, bound)) {
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
  Receive(req, res, reader, std::move(job));
}

void ApiHandlers::Receive(const httplib::Request& req, httplib::Response& res,
                          const httplib::ContentReader& reader, std::shared_ptr<CheckJob> job) {
  // The check starts as its first file begins when a worker is free, and
  // reads the upload as it arrives; otherwise it waits for the whole upload.
  auto stream = std::make_shared<UploadStream>();
  bool started = false;
  const auto file_began = [&](const ReceivedUpload& so_far) {
    if (so_far.files.size() > 1) {
      if (started) registry_.FilesArriving(job, so_far.files);
      return;
    }
    if (so_far.max_errors) job->max_errors = *so_far.max_errors;
    job->upload = stream;
    started = registry_.StartWhileUploading(job, so_far.files);
    if (!started) job->upload.reset();
  };
  const std::function<bool()> stopped = [&] {
    return stopping_.load(std::memory_order_relaxed) || job->cancel.load(std::memory_order_relaxed);
  };
  ReceivedUpload received;
  std::optional<ApiError> error =
      ReceiveUpload(req, reader, JoinPath(job->folder, kCheckFilesFolder),
                    options_.max_upload_bytes, *stream, file_began, stopped, received);
  if (error) {
    stream->Ended(false);
    if (started)
      registry_.Abandon(job);
    else
      registry_.Discard(job, std::move(received.files), error->message);
    CloseAfter(res);
    return SetError(res, *error);
  }
  const std::string id = job->id;
  if (started) {
    registry_.UploadEnded(job, std::move(received.files));
    stream->Ended(true);
  } else {
    if (received.max_errors) job->max_errors = *received.max_errors;
    job->files = std::move(received.files);
    registry_.Submit(std::move(job));
  }
  res.status = 202;
  res.set_header("Location", "/api/v1/checks/" + id);
  res.set_content(CreatedJson(id), kJson);
}

void ApiHandlers::List(const httplib::Request&, httplib::Response& res) {
  std::vector<CheckStatus> checks = registry_.List();
  for (CheckStatus& check : checks) check = AsItStandsNow(std::move(check));
  res.set_content(ListJson(checks), kJson);
}

void ApiHandlers::Status(const httplib::Request& req, httplib::Response& res) {
  if (std::optional<CheckStatus> check = Find(req, res))
    res.set_content(StatusJson(AsItStandsNow(*check)), kJson);
}

void ApiHandlers::Events(const httplib::Request& req, httplib::Response& res) {
  std::optional<CheckStatus> check = Find(req, res);
  if (!check) return;
  const std::string id = check->id;
  res.set_chunked_content_provider(
      "text/event-stream", [this, id](size_t, httplib::DataSink& sink) {
        std::optional<CheckStatus> now = registry_.Status(id);
        // Not "deleted" before its files are gone.
        if (!now && registry_.Deleting(id) && !stopping_.load()) {
          registry_.WaitForEnd(id, kEventIntervalMs);
          return true;
        }
        if (!now) {
          const std::string gone = "event: deleted\ndata: {}\n\n";
          sink.write(gone.data(), gone.size());
          sink.done();
          return true;
        }
        const std::string event = "data: " + StatusJson(AsItStandsNow(*now)) + "\n\n";
        if (!sink.write(event.data(), event.size())) return false;
        if (Ended(now->state) || stopping_.load()) {
          sink.done();
          return true;
        }
        registry_.WaitForEnd(id, kEventIntervalMs);
        return true;
      });
}

void ApiHandlers::Report(const httplib::Request& req, httplib::Response& res) {
  std::optional<CheckStatus> check = Find(req, res);
  if (!check) return;
  const ReportFormat* format = req.has_param("format")
                                   ? FindReportFormat(req.get_param_value("format"))
                                   : &DefaultReportFormat();
  if (format == nullptr)
    return SetError(res, {400, "bad_parameter", "format must be " + ReportFormatList()});
  if (!Ended(check->state)) return SetError(res, {409, "not_done", "the check has not ended yet"});
  if (!check->has_results)
    return SetError(res, {409, "no_results", "the check left no results to report"});
  auto report = ReadReport(check->folder, *format, req.get_param_value("employer"));
  if (auto* error = std::get_if<ApiError>(&report)) return SetError(res, *error);
  res.set_header("Content-Disposition", std::string("attachment; filename=\"") +
                                            ReportFileName(*check, format->extension) + "\"");
  res.set_content(std::get<std::string>(report), std::string(format->content_type));
}

void ApiHandlers::Records(const httplib::Request& req, httplib::Response& res) {
  std::optional<CheckStatus> check = Find(req, res);
  if (!check) return;
  const std::string with_errors = req.get_param_value("with_errors");
  std::optional<int64_t> offset =
      req.has_param("offset")
          ? ParseWholeNumber<int64_t>(req.get_param_value("offset"), 0, INT64_MAX / 2)
          : std::optional<int64_t>(0);
  std::optional<int64_t> limit =
      req.has_param("limit") ? ParseWholeNumber<int64_t>(req.get_param_value("limit"), 1, kMaxLimit)
                             : std::optional<int64_t>(kDefaultLimit);
  if (!offset || !limit || (with_errors != "" && with_errors != "0" && with_errors != "1"))
    return SetError(res, {400, "bad_parameter",
                          "with_errors must be 0 or 1, offset a whole number, limit 1 to 1000"});
  if (std::optional<ApiError> none = NoResults(*check)) return SetError(res, *none);
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
  std::optional<int64_t> number = ParseWholeNumber<int64_t>(req.matches[2].str(), 1, INT32_MAX);
  if (!number)
    return SetError(res, {400, "bad_parameter", "a record number is a whole number from 1"});
  if (std::optional<ApiError> none = NoResults(*check)) return SetError(res, *none);
  auto record = read(check->folder, *number);
  if (auto* error = std::get_if<ApiError>(&record)) return SetError(res, *error);
  res.set_content(std::get<std::string>(record), kJson);
}

void ApiHandlers::Employers(const httplib::Request& req, httplib::Response& res) {
  std::optional<CheckStatus> check = Find(req, res);
  if (!check) return;
  if (std::optional<ApiError> none = NoResults(*check)) return SetError(res, *none);
  auto employers = ReadEmployers(check->folder);
  if (auto* error = std::get_if<ApiError>(&employers)) return SetError(res, *error);
  res.set_content(std::get<std::string>(employers), kJson);
}

void ApiHandlers::Delete(const httplib::Request& req, httplib::Response& res) {
  const std::string id = req.matches[1].str();
  std::string why;
  const CheckRegistry::Deletion deletion =
      IsCheckId(id) ? registry_.Delete(id, &why) : CheckRegistry::Deletion::kNoSuchCheck;
  if (deletion == CheckRegistry::Deletion::kNoSuchCheck)
    return SetError(res, {404, "not_found", "there is no check " + id});
  if (deletion == CheckRegistry::Deletion::kFilesKept)
    return SetError(res,
                    {500, "not_deleted", "the check's files could not all be deleted: " + why});
  res.status = 204;
}

void ApiHandlers::Health(const httplib::Request&, httplib::Response& res) {
  res.set_content(HealthJson(registry_.waiting(), registry_.running()), kJson);
}

}  // namespace lintaro
