#include "serve/http_service.h"

#include <fcntl.h>
#include <httplib.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <optional>
#include <regex>
#include <string_view>
#include <system_error>

#include "serve/api_handlers.h"
#include "serve/api_json.h"
#include "serve/closing_server.h"
#include "serve/openapi.h"
#include "serve/request_log.h"
#include "serve/service_page.h"

namespace lintaro {
namespace {

constexpr const char* kCheckPath = R"(/api/v1/checks/([^/]+))";

// The paths of the API and the methods each answers, for 404 and 405.
struct KnownPath {
  const char* pattern;
  const char* methods;
};
constexpr KnownPath kKnownPaths[] = {
    {"/|/page\\.js|/page\\.css|/icon\\.svg", "GET"},
    {"/api/v1/health", "GET"},
    {"/api/v1/openapi.json", "GET"},
    {"/api/v1/checks", "GET, POST"},
    {R"(/api/v1/checks/[^/]+)", "GET, DELETE"},
    {R"(/api/v1/checks/[^/]+/(events|report|records|employers))", "GET"},
    {R"(/api/v1/checks/[^/]+/records/[^/]+(/findings)?)", "GET"},
};

// 405 for a known path asked with another method, 404 for any other path.
void NotRouted(const httplib::Request& req, httplib::Response& res) {
  for (const KnownPath& known : kKnownPaths) {
    if (!std::regex_match(req.path, std::regex(known.pattern))) continue;
    res.set_header("Allow", known.methods);
    SetError(res, {405, "method_not_allowed", req.method + " is not allowed here"});
    return;
  }
  SetError(res, {404, "not_found", "there is nothing at this address"});
}

// Compares without stopping at the first difference, so that the time
// taken tells nothing of the token.
bool SameToken(const std::string& given, const std::string& token) {
  unsigned char diff = given.size() == token.size() ? 0 : 1;
  for (size_t i = 0; i < token.size(); ++i)
    diff |= static_cast<unsigned char>(token[i] ^ (i < given.size() ? given[i] : 0));
  return diff == 0;
}

bool Authorized(const httplib::Request& req, const std::string& token) {
  if (token.empty() || FindPageFile(req.path) || req.path == "/api/v1/health") return true;
  const std::string header = req.get_header_value("Authorization");
  const std::string scheme = "Bearer ";
  if (header.size() <= scheme.size() || header.compare(0, scheme.size(), scheme) != 0) return false;
  return SameToken(header.substr(scheme.size()), token);
}

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// 127.N.N.N written in digits.
bool IsLoopbackV4(std::string_view host) {
  static const std::regex loopback_form(R"(127(\.[0-9]{1,3}){3})");
  return std::regex_match(host.begin(), host.end(), loopback_form);
}

// Whether a Host header names this machine's loopback: localhost, 127.N.N.N,
// [::1] or the address listened on, with or without a port.
bool LoopbackHost(std::string_view host, const std::string& listening) {
  std::string_view name = host;
  if (!name.empty() && name.front() == '[') {
    const size_t close = name.find(']');
    if (close == std::string_view::npos) return false;
    name = name.substr(1, close - 1);
  } else if (const size_t colon = name.rfind(':'); colon != std::string_view::npos) {
    name = name.substr(0, colon);
  }
  return SameNoCase(name, "localhost") || name == "::1" || IsLoopbackV4(name) ||
         (!listening.empty() && SameNoCase(name, listening));
}

// Without a token the service listens on loopback for this machine's own
// browsers, and no other site's page may use it through them: a request
// under another host name (a name of the attacker's, resolved anew to
// 127.0.0.1, would make its page same-origin with the service and let it
// read every check) or sent by another site's page (a form posted across
// sites needs no permission of ours) is refused. With a token these do not
// get through anyway, and the name is whatever the desks or a proxy use.
std::optional<ApiError> ForeignRequest(const httplib::Request& req, const ServiceOptions& options) {
  if (!options.token.empty()) return std::nullopt;
  const std::string host = req.get_header_value("Host");
  if (!host.empty() && !LoopbackHost(host, options.host))
    return ApiError{403, "forbidden",
                    "this service answers only requests addressed to localhost or a loopback "
                    "address; give it a token to serve it under another name"};
  if (req.has_header("Origin") && !SameNoCase(req.get_header_value("Origin"), "http://" + host))
    return ApiError{403, "forbidden", "requests from pages of other sites are refused"};
  return std::nullopt;
}

bool HasBody(const httplib::Request& req) {
  const std::string length = req.get_header_value("Content-Length");
  return req.has_header("Transfer-Encoding") || (!length.empty() && length != "0");
}

}  // namespace

HttpService::HttpService(ServiceOptions options)
    : options_(std::move(options)),
      registry_(std::make_unique<CheckRegistry>(RegistryOptions{
          options_.data_folder, options_.jobs, options_.keep_seconds, options_.max_waiting,
          options_.clock, options_.remove_folder, options_.write_record})),
      server_(std::make_unique<ClosingServer>()),
      api_(std::make_unique<ApiHandlers>(*registry_, options_)),
      log_(std::make_unique<RequestLog>(options_.quiet ? nullptr : options_.log, *options_.clock)) {
  Route();
}

HttpService::~HttpService() {
  Stop(0);
  if (data_lock_ >= 0) ::close(data_lock_);
}

void HttpService::Route() {
  RouteGuards();
  RouteApi();
}

namespace {

// What every request meets before its route: its head made plain for the
// routes, then refused when it comes from elsewhere, lacks the token or
// carries a body its method takes none of.
httplib::Server::HandlerResponse GuardRequest(const httplib::Request& req, httplib::Response& res,
                                              const ServiceOptions& options) {
  // The library would compress every text answer with brotli at its
  // highest quality, which takes far longer than sending the text
  // (a page of a grid: 400 ms against 30); answers go as they are, and a
  // reverse proxy may compress them. The request is the library's own
  // object, handed over as const only.
  const_cast<httplib::Request&>(req).headers.erase("Accept-Encoding");
  // Answers go whole. The library answers a Range with every range it
  // names, each a copy of its bytes: a head of a few kilobytes asking
  // "0-" thousands of times made it build a hundred megabytes from the
  // page's script, and gigabytes from a report.
  const_cast<httplib::Request&>(req).ranges.clear();
  if (std::optional<ApiError> foreign = ForeignRequest(req, options)) {
    res.set_header("Connection", "close");
    SetError(res, *foreign);
    return httplib::Server::HandlerResponse::Handled;
  }
  if (!Authorized(req, options.token)) {
    res.set_header("WWW-Authenticate", "Bearer");
    res.set_header("Connection", "close");
    SetError(res, {401, "unauthorized", "this service needs its token"});
    return httplib::Server::HandlerResponse::Handled;
  }
  if (req.method == "POST" || req.method == "PUT" || req.method == "PATCH" || !HasBody(req))
    return httplib::Server::HandlerResponse::Unhandled;
  res.set_header("Connection", "close");
  SetError(res, {400, "bad_request", req.method + " takes no body"});
  return httplib::Server::HandlerResponse::Handled;
}

}  // namespace

void HttpService::RouteGuards() {
  ClosingServer& s = *server_;
  const int threads = options_.http_threads;
  s.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
  // SO_REUSEADDR only: the library's default also sets SO_REUSEPORT, which
  // would let a second service share a port that is in use.
  s.set_socket_options([this](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    listening_socket_ = sock;
  });
  // The library writes an answer's head and its body apart. Without this,
  // on a connection kept open the body waited for the client to acknowledge
  // the head, which many clients (curl among them) delay by up to 40 ms: a
  // program reading records one after another waited that long for each.
  s.set_tcp_nodelay(true);
  s.set_default_headers({{"Cache-Control", "no-store"}, {"X-Content-Type-Options", "nosniff"}});
  // An upload may pause for up to a minute, as on a weak office link, and go
  // on (the library's own limit, 5 s, cut a clerk's upload at a stall).
  s.set_read_timeout(60, 0);
  // The upload bounds itself (upload.h); no other request may carry a body.
  s.set_payload_max_length(static_cast<size_t>(options_.max_upload_bytes) + size_t{1024} * 1024);
  // A head must come whole, and within bounds (closing_server.h).
  s.set_head_timeout(options_.head_timeout_ms);
  s.set_head_refusal_logger(
      [this](const httplib::Request& req, const httplib::Response& res) { log_->Ended(req, res); });
  s.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
    server_->HeadRead();
    log_->Started(req);
    return GuardRequest(req, res, options_);
  });
  // Every answer written comes here, the library's own refusals too: one
  // that says "Connection: close" ends its connection (closing_server.h).
  s.set_logger([this](const httplib::Request& req, const httplib::Response& res) {
    log_->Ended(req, res);
    server_->AnswerWritten(res);
  });
  // The library's own refusals (a head it cannot read, a method it does not
  // know, a body it could not read) leave the rest of the request unread.
  s.set_error_handler(httplib::Server::HandlerWithResponse([this](const httplib::Request&,
                                                                  httplib::Response& res) {
    if (!res.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
    res.set_header("Connection", "close");
    if (auto refusal = server_->HeadRefusal()) {
      res.status = refusal->first;
      res.set_content(refusal->second, "application/json");
      return httplib::Server::HandlerResponse::Handled;
    }
    SetError(res, {res.status, res.status == 413 ? "too_large" : "bad_request",
                   res.status == 413 ? "the request is too large" : "the request cannot be read"});
    return httplib::Server::HandlerResponse::Handled;
  }));
  // A handler that failed may have left the body unread.
  s.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
    res.set_header("Connection", "close");
    SetError(res, {500, "internal", "the service failed to answer"});
  });
  // Every HTML answer (the page, the HTML report) runs only the service's own code.
  s.set_post_routing_handler([](const httplib::Request&, httplib::Response& res) {
    if (res.get_header_value("Content-Type").rfind("text/html", 0) != 0) return;
    res.set_header("Content-Security-Policy", kHtmlContentSecurityPolicy);
    res.set_header("X-Frame-Options", "DENY");
    res.set_header("Referrer-Policy", "no-referrer");
  });
}

void HttpService::RouteApi() {
  httplib::Server& s = *server_;
  for (const PageFile& file : PageFiles()) {
    s.Get(file.address, [&file](const httplib::Request& req, httplib::Response& res) {
      res.set_header("ETag", file.etag);
      if (req.get_header_value("If-None-Match") == file.etag) {
        res.status = 304;
        return;
      }
      res.set_content(file.body.data(), file.body.size(), file.content_type);
    });
  }
  s.Get("/api/v1/openapi.json", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(OpenApiDocument(), "application/json");
  });
  ApiHandlers& api = *api_;
  using Req = const httplib::Request&;
  using Res = httplib::Response&;
  s.Get("/api/v1/health", [&api](Req q, Res r) { api.Health(q, r); });
  s.Get("/api/v1/checks", [&api](Req q, Res r) { api.List(q, r); });
  s.Post("/api/v1/checks",
         [&api](Req q, Res r, const httplib::ContentReader& reader) { api.Create(q, r, reader); });
  s.Get(kCheckPath, [&api](Req q, Res r) { api.Status(q, r); });
  s.Delete(kCheckPath, [&api](Req q, Res r) { api.Delete(q, r); });
  s.Get(std::string(kCheckPath) + "/events", [&api](Req q, Res r) { api.Events(q, r); });
  s.Get(std::string(kCheckPath) + "/report", [&api](Req q, Res r) { api.Report(q, r); });
  s.Get(std::string(kCheckPath) + "/records", [&api](Req q, Res r) { api.Records(q, r); });
  s.Get(std::string(kCheckPath) + "/records/([^/]+)", [&api](Req q, Res r) { api.Record(q, r); });
  s.Get(std::string(kCheckPath) + "/records/([^/]+)/findings",
        [&api](Req q, Res r) { api.Findings(q, r); });
  s.Get(std::string(kCheckPath) + "/employers", [&api](Req q, Res r) { api.Employers(q, r); });
  s.Get(".*", NotRouted);
  // A body sent where none is taken is never read: the connection closes.
  const auto refuse_body = [](Req q, Res r, const httplib::ContentReader&) {
    r.set_header("Connection", "close");
    NotRouted(q, r);
  };
  s.Post(".*", refuse_body);
  s.Put(".*", refuse_body);
  s.Patch(".*", refuse_body);
  s.Delete(".*", NotRouted);
  s.Options(".*", NotRouted);
}

std::optional<std::string> HttpService::Bind() {
  // One service per data folder: another would hold the running checks of
  // this one as left by a killed service, and delete their uploads. The
  // kernel drops the lock when the process ends, however it ends.
  data_lock_ = ::open(options_.data_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (data_lock_ < 0)
    return options_.data_folder +
           ": cannot open the data folder: " + std::generic_category().message(errno);
  if (::flock(data_lock_, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    ::close(data_lock_);
    data_lock_ = -1;
    if (err == EWOULDBLOCK)
      return options_.data_folder + ": the data folder is in use by another lintaro-cli serve";
    return options_.data_folder +
           ": cannot lock the data folder: " + std::generic_category().message(err);
  }
  errno = 0;
  if (options_.port == 0) {
    port_ = server_->bind_to_any_port(options_.host);
  } else if (server_->bind_to_port(options_.host, options_.port)) {
    port_ = options_.port;
  }
  if (port_ > 0) {
    // The library listens with a queue of 5 connections not yet accepted:
    // a burst beyond that (a page's files, several desks at once) had its
    // first packet dropped, and its client tried again only a second later.
    // Listening again only lengthens the queue.
    if (listening_socket_ >= 0) ::listen(listening_socket_, SOMAXCONN);
    return std::nullopt;
  }
  const int err = errno;
  const std::string address = options_.host + ":" + std::to_string(options_.port);
  if (err == EADDRINUSE) return "cannot listen on " + address + ": the address is already in use";
  if (err != 0) return "cannot listen on " + address + ": " + std::generic_category().message(err);
  return "cannot listen on " + address + ": the address cannot be found or bound";
}

void HttpService::Start() {
  registry_->Start();
  listener_ = std::thread([this] { server_->listen_after_bind(); });
  sweeper_ = std::thread([this] { Sweep(); });
}

void HttpService::Sweep() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopped_) {
    lock.unlock();
    registry_->Sweep();
    lock.lock();
    stop_sweeping_.wait_for(lock, std::chrono::milliseconds(options_.sweep_interval_ms),
                            [this] { return stopped_; });
  }
}

void HttpService::Stop(int grace_ms) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopped_) return;
    stopped_ = true;
  }
  stop_sweeping_.notify_all();
  api_->Stop();
  server_->stop();
  if (listener_.joinable()) listener_.join();
  registry_->Shutdown(grace_ms);
  if (sweeper_.joinable()) sweeper_.join();
}

}  // namespace lintaro
