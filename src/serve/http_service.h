// The HTTP service of lintaro-cli serve: the API of version 1 under
// /api/v1 over the check registry, and the page at /. Every answer carries
// Cache-Control: no-store and X-Content-Type-Options: nosniff; with a token,
// every request but the page and /api/v1/health needs it; a line per
// request goes to the log.
#ifndef LINTARO_SERVE_HTTP_SERVICE_H_
#define LINTARO_SERVE_HTTP_SERVICE_H_

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "serve/check_registry.h"
#include "serve/service_options.h"

namespace lintaro {

class ApiHandlers;
class ClosingServer;
class RequestLog;

class HttpService {
 public:
  explicit HttpService(ServiceOptions options);
  ~HttpService();

  // Takes the data folder (no other service may use it at once) and binds
  // the address; the reason when it cannot (in use, not found).
  std::optional<std::string> Bind();
  // The port bound (the one chosen when port was 0).
  int port() const { return port_; }
  // Holds the checks of the data folder again, and serves on threads of its own.
  void Start();
  // Stops accepting, lets running checks finish for up to grace_ms, then
  // stops them, and returns when everything has ended.
  void Stop(int grace_ms);

  CheckRegistry& registry() { return *registry_; }

 private:
  void Route();
  // What every request passes: the token, the headers, the log, the errors.
  void RouteGuards();
  // The page and the API's endpoints; 404 and 405 for anything else.
  void RouteApi();
  void Sweep();

  ServiceOptions options_;
  std::unique_ptr<CheckRegistry> registry_;
  std::unique_ptr<ClosingServer> server_;
  std::unique_ptr<ApiHandlers> api_;
  std::unique_ptr<RequestLog> log_;
  int port_ = 0;
  int listening_socket_ = -1;  // the library's, seen as it is made
  int data_lock_ = -1;         // the data folder, locked (flock) while the service lives
  std::thread listener_;
  std::thread sweeper_;
  std::mutex mutex_;
  std::condition_variable stop_sweeping_;
  bool stopped_ = false;
};

}  // namespace lintaro

#endif  // LINTARO_SERVE_HTTP_SERVICE_H_
