// The handlers of the API's endpoints (version 1), under /api/v1:
//   POST   checks                      a submission, multipart or raw: 202 {"id", "status_url"}
//   GET    checks                      the checks held
//   GET    checks/{id}                 a check's status and, once ended, its summary
//   GET    checks/{id}/events          the status as Server-Sent Events
//   GET    checks/{id}/report          ?format=text|html|json|csv&employer=EIN
//   GET    checks/{id}/records         ?with_errors=1&offset=&limit= (the grids)
//   GET    checks/{id}/records/{n}     a record as the viewer shows it
//   GET    checks/{id}/records/{n}/findings  the record's findings
//   GET    checks/{id}/employers       the employers a report can be limited to
//   DELETE checks/{id}                 cancels the check and deletes its folder
//   GET    health                      {"status": "ok", "version", "queue", "running"}
// Errors are {"error": {"code", "message"}} with their status.
#ifndef LINTARO_SERVE_API_HANDLERS_H_
#define LINTARO_SERVE_API_HANDLERS_H_

#include <httplib.h>

#include <atomic>
#include <string>
#include <variant>

#include "serve/check_registry.h"
#include "serve/service_options.h"
#include "serve/upload.h"

namespace lintaro {

// Sets res to the error object with its status.
void SetError(httplib::Response& res, const ApiError& error);

class ApiHandlers {
 public:
  ApiHandlers(CheckRegistry& registry, const ServiceOptions& options)
      : registry_(registry), options_(options) {}

  void Create(const httplib::Request& req, httplib::Response& res,
              const httplib::ContentReader& reader);
  void List(const httplib::Request& req, httplib::Response& res);
  void Status(const httplib::Request& req, httplib::Response& res);
  void Events(const httplib::Request& req, httplib::Response& res);
  void Report(const httplib::Request& req, httplib::Response& res);
  void Records(const httplib::Request& req, httplib::Response& res);
  void Record(const httplib::Request& req, httplib::Response& res);
  void Findings(const httplib::Request& req, httplib::Response& res);
  void Employers(const httplib::Request& req, httplib::Response& res);
  void Delete(const httplib::Request& req, httplib::Response& res);
  void Health(const httplib::Request& req, httplib::Response& res);

  // Ends the event streams.
  void Stop() { stopping_.store(true); }

 private:
  // The check named by the path's first match, or a 404 answer.
  std::optional<CheckStatus> Find(const httplib::Request& req, httplib::Response& res);
  // Stores the upload of a prepared check and queues the check.
  void Receive(const httplib::Request& req, httplib::Response& res,
               const httplib::ContentReader& reader, std::shared_ptr<CheckJob> job);

  // A read of one record of an ended check's results (the viewer, the findings).
  using RecordRead = std::variant<std::string, ApiError> (*)(const std::string&, int64_t);
  void ReadEndedRecord(const httplib::Request& req, httplib::Response& res, RecordRead read);

  CheckRegistry& registry_;
  const ServiceOptions& options_;
  std::atomic<bool> stopping_{false};
};

}  // namespace lintaro

#endif  // LINTARO_SERVE_API_HANDLERS_H_
