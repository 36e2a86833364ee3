#include "serve/service_harness.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

#include "support/cli_runner.h"
#include "support/line_diff.h"
#include "support/recipe.h"

namespace lintaro::testing {

ServiceHarness::ServiceHarness(const std::function<void(ServiceOptions&)>& adjust,
                               std::string data_folder, int64_t now) {
  clock.Set(now);
  data = data_folder.empty() ? dir.str() + "/data" : data_folder;
  std::filesystem::create_directories(data);
  log_path = dir.str() + "/service.log";
  log = std::fopen(log_path.c_str(), "w");
  options.host = "127.0.0.1";
  options.port = 0;
  options.data_folder = data;
  options.jobs = 2;
  options.clock = &clock;
  options.log = log;
  options.sweep_interval_ms = 20;
  if (adjust) adjust(options);
  service = std::make_unique<HttpService>(options);
  if (auto problem = service->Bind()) ADD_FAILURE() << *problem;
  port = service->port();
  service->Start();
}

ServiceHarness::~ServiceHarness() {
  Stop();
  if (log != nullptr) std::fclose(log);
}

void ServiceHarness::Stop(int grace_ms) {
  if (service) service->Stop(grace_ms);
}

std::unique_ptr<httplib::Client> ServiceHarness::Client() const {
  auto client = std::make_unique<httplib::Client>("127.0.0.1", port);
  client->set_read_timeout(30, 0);
  if (!options.token.empty()) client->set_bearer_token_auth(options.token.c_str());
  return client;
}

httplib::Result ServiceHarness::Upload(const std::vector<std::string>& files,
                                       const std::string& query) const {
  httplib::MultipartFormDataItems items;
  for (const std::string& f : files)
    items.push_back({"file", ReadWholeFile(f), std::filesystem::path(f).filename().string(),
                     "application/octet-stream"});
  return Client()->Post(("/api/v1/checks" + query).c_str(), items);
}

std::string ServiceHarness::Submit(const std::vector<std::string>& files,
                                   const std::string& query) const {
  return AcceptedId(Upload(files, query), "upload refused");
}

int StatusOf(const httplib::Result& res) { return res ? res->status : -1; }

std::string Generated(const TempDir& dir, int records) {
  const std::string path = dir.str() + "/" + std::to_string(records) + ".txt";
  EXPECT_EQ(RunShell(LINTARO_GEN_PATH " --records " + std::to_string(records) + " " + path).status,
            0);
  return path;
}

std::string AcceptedId(const httplib::Result& res, const std::string& what) {
  if (!res || res->status != 202) {
    ADD_FAILURE() << what << ": " << (res ? res->body : httplib::to_string(res.error()));
    return "";
  }
  return nlohmann::json::parse(res->body).at("id").get<std::string>();
}

int ConnectToLoopback(int port, int wait_seconds, int receive_buffer) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (receive_buffer > 0)
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receive_buffer, sizeof receive_buffer);
  const timeval wait{wait_seconds, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) return fd;
  close(fd);
  return -1;
}

RawConnection::RawConnection(int port, int receive_buffer)
    : fd_(ConnectToLoopback(port, 3, receive_buffer)), connected_(fd_ >= 0) {}

RawConnection::~RawConnection() {
  if (connected_) close(fd_);
}

bool RawConnection::Send(const std::string& bytes) {
  return connected_ &&
         send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

std::optional<Answer> RawConnection::ReadAnswer(bool to_head) {
  size_t end;
  while ((end = unread_.find("\r\n\r\n")) == std::string::npos)
    if (!Receive()) return std::nullopt;
  Answer answer;
  answer.head = unread_.substr(0, end + 2);
  unread_.erase(0, end + 4);
  std::smatch m;
  if (!std::regex_search(answer.head, m, std::regex("^HTTP/1\\.1 ([0-9]{3}) ")))
    return std::nullopt;
  answer.status = std::stoi(m[1]);
  size_t length = 0;
  if (std::regex_search(answer.head, m, std::regex("\r\nContent-Length: ([0-9]+)\r\n"))) {
    length = to_head ? 0 : std::stoul(m[1]);
  } else if (!to_head && answer.status != 204 && answer.status != 304) {
    while (Receive()) {
    }
    if (answer.head.find("\r\nTransfer-Encoding: chunked\r\n") == std::string::npos) {
      answer.body = std::exchange(unread_, "");
      return answer;
    }
    for (size_t at = 0, size; (size = std::stoul(unread_.substr(at), nullptr, 16)) > 0;) {
      at = unread_.find("\r\n", at) + 2;
      answer.body += unread_.substr(at, size);
      at += size + 2;
    }
    unread_.clear();
    return answer;
  }
  while (unread_.size() < length)
    if (!Receive()) return std::nullopt;
  answer.body = unread_.substr(0, length);
  unread_.erase(0, length);
  return answer;
}

std::string RawConnection::Rest() {
  while (Receive()) {
  }
  std::string rest = std::exchange(unread_, "");
  if (!rest.empty()) rest += " ... ";
  return rest + (last_errno_ == 0            ? "ended"
                 : last_errno_ == ECONNRESET ? "reset"
                 : last_errno_ == EAGAIN     ? "still open"
                                             : "failed");
}

bool RawConnection::Receive() {
  char buffer[4096];
  const ssize_t n = connected_ ? recv(fd_, buffer, sizeof buffer, 0) : -1;
  last_errno_ = n < 0 ? (connected_ ? errno : ENOTCONN) : 0;
  if (n <= 0) return false;
  unread_.append(buffer, static_cast<size_t>(n));
  return true;
}

namespace {

std::string HeaderOf(const std::string& head, const std::string& name) {
  std::smatch m;
  return std::regex_search(head, m, std::regex("\r\n" + name + ": ([^\r]*)\r\n")) ? m[1].str() : "";
}

// The fields at path ("summary.outcome") of from, into to; of each element of an array.
void Pick(const nlohmann::json& from, const std::string& path, nlohmann::ordered_json& to) {
  if (from.is_array()) {
    if (to.is_null()) to = nlohmann::ordered_json::array();
    for (size_t i = 0; i < from.size(); ++i) Pick(from[i], path, to[i]);
    return;
  }
  const size_t dot = path.find('.');
  const std::string key = path.substr(0, dot);
  if (!from.is_object() || !from.contains(key)) return;
  if (dot == std::string::npos) {
    to[key] = from[key];
  } else {
    Pick(from[key], path.substr(dot + 1), to[key]);
  }
}

// The answer as the exchanges show it, its JSON body's fields picks (all when empty).
std::string Shown(const Answer& answer, const std::string& picks) {
  std::string line = std::to_string(answer.status);
  for (const std::string name : {"Allow", "WWW-Authenticate", "Content-Encoding", "Content-Type",
                                 "Content-Security-Policy", "ETag"}) {
    const std::string value = HeaderOf(answer.head, name);
    if (value.empty() || value == "application/json") continue;
    line += " " + name + ": " +
            (name == "ETag" && std::regex_match(value, std::regex("\"[0-9a-f]{20}\"")) ? "HASH"
                                                                                       : value);
  }
  std::string body = answer.body;
  const std::string type = HeaderOf(answer.head, "Content-Type");
  if (type == "text/event-stream") {
    body = body.substr(body.rfind("data: ") + 6);
    body.erase(body.find_last_not_of('\n') + 1);
  } else if (type != "application/json") {
    return line + (body.empty() ? "" : " [body]");
  }
  if (picks.empty()) return line + " " + body;
  const nlohmann::json whole = nlohmann::json::parse(body, nullptr, false);
  nlohmann::ordered_json picked;
  for (size_t at = 0, comma; at <= picks.size(); at = comma + 1) {
    comma = std::min(picks.find(',', at), picks.size());
    Pick(whole, picks.substr(at, comma - at), picked);
  }
  return line + " " + picked.dump();
}

}  // namespace

Exchanges::Exchanges(std::string path) : path_(std::move(path)) {
  std::ifstream in(path_);
  for (std::string line; std::getline(in, line);) lines_.push_back(line);
  for (const std::string& line : lines_) {
    if (line.rfind("== ", 0) == 0) break;
    written_ += line + "\n";
  }
}

void Exchanges::Set(const std::string& name, const std::string& value, bool in_answers) {
  for (Value& v : values_) {
    if (v.name != "$" + name) continue;
    v.value = value;
    v.in_answers = in_answers;
    return;
  }
  values_.push_back({"$" + name, value, in_answers});
}

void Exchanges::Run(const std::string& section, int port) {
  written_ += "== " + section + "\n";
  auto in = std::find(lines_.begin(), lines_.end(), "== " + section);
  if (in == lines_.end()) {
    ADD_FAILURE() << path_ << " has no section " << section;
    return;
  }
  for (++in; in < lines_.end() && in->rfind("== ", 0) != 0; ++in) {
    std::string request = in->substr(0, in->find(" -> "));
    if (request.empty() || request[0] == '#') {
      written_ += request + "\n";
      continue;
    }
    std::string sent = request;
    for (const Value& v : values_)
      for (size_t at; (at = sent.find(v.name)) != std::string::npos;)
        sent.replace(at, v.name.size(), v.value);
    std::string body;
    if (const size_t at = sent.find(" | body "); at != std::string::npos) {
      body = Unescape(sent.substr(at + 8));
      sent.erase(at);
    }
    std::string head = sent.substr(0, sent.find(" | "));
    std::string picks;
    if (const size_t brace = head.find(" {"); brace != std::string::npos) {
      picks = head.substr(brace + 2, head.size() - brace - 3);
      head.erase(brace);
    }
    std::string headers;
    for (size_t at = sent.find(" | "); at != std::string::npos;) {
      const size_t next = sent.find(" | ", at + 3);
      headers += sent.substr(at + 3, next - at - 3) + "\r\n";
      at = next;
    }
    if (headers.find("Host: ") == std::string::npos)
      headers += "Host: 127.0.0.1:" + std::to_string(port) + "\r\n";
    if (headers.find("Transfer-Encoding: chunked") != std::string::npos) {
      std::string chunks;
      for (size_t at = 0; at < body.size(); at += 1024) {
        const std::string chunk = body.substr(at, 1024);
        char size[16];
        std::snprintf(size, sizeof size, "%zx\r\n", chunk.size());
        chunks += size + chunk + "\r\n";
      }
      body = chunks + "0\r\n\r\n";
    } else if (!body.empty() && headers.find("Content-Length: ") == std::string::npos) {
      headers += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    }
    RawConnection connection(port);
    std::optional<Answer> answer;
    if (connection.Send(head + " HTTP/1.1\r\n" + headers + "Connection: close\r\n\r\n" + body))
      answer = connection.ReadAnswer(head.rfind("HEAD ", 0) == 0);
    std::string shown = answer ? Shown(*answer, picks) : "no answer";
    for (const Value& v : values_)
      for (size_t at;
           v.in_answers && !v.value.empty() && (at = shown.find(v.value)) != std::string::npos;)
        shown.replace(at, v.value.size(), v.name);
    shown = std::regex_replace(shown, std::regex("\"id\":\"[A-Za-z0-9_-]{22}\""), "\"id\":\"NEW\"");
    if (answer) Set("etag", HeaderOf(answer->head, "ETag"), false);
    std::smatch created;
    if (answer && answer->status == 202 &&
        std::regex_search(answer->body, created, std::regex("\"id\":\"([A-Za-z0-9_-]{22})\"")))
      Set("new", created[1], false);
    written_ += request + " -> " + shown + "\n";
  }
}

void Exchanges::Check() const { ExpectFileHolds(path_, written_); }

nlohmann::json ServiceHarness::Get(const std::string& path) const {
  httplib::Result res = Client()->Get(path.c_str());
  if (!res) return nullptr;
  return nlohmann::json::parse(res->body, nullptr, false);
}

nlohmann::json ServiceHarness::WaitFor(const std::string& id,
                                       const std::function<bool(const nlohmann::json&)>& until,
                                       std::chrono::seconds timeout) const {
  const auto end = std::chrono::steady_clock::now() + timeout;
  nlohmann::json status;
  while (std::chrono::steady_clock::now() < end) {
    status = Get("/api/v1/checks/" + id);
    const bool ended = status.is_object() && status.contains("state") &&
                       (status["state"] == "done" || status["state"] == "failed");
    if (until ? (status.is_object() && until(status)) : ended) return status;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ADD_FAILURE() << "check " << id << " did not get there: " << status.dump();
  return status;
}

std::string ServiceHarness::Log() const {
  std::fflush(log);
  return ReadWholeFile(log_path);
}

HeldUpload::HeldUpload(const ServiceHarness& service, const std::string& file, size_t first_bytes)
    : service_(service), bytes_(ReadWholeFile(file)), first_bytes_(first_bytes) {
  std::shared_future<void> rest = rest_.get_future().share();
  client_ = std::thread([this, rest] {
    httplib::Client c("127.0.0.1", service_.port);
    if (!service_.options.token.empty()) c.set_bearer_token_auth(service_.options.token.c_str());
    httplib::Result answer = c.Post(
        "/api/v1/checks?name=held.txt", bytes_.size(),
        [&](size_t offset, size_t length, httplib::DataSink& sink) {
          if (offset == first_bytes_) {
            rest.wait();
            if (cut_) return false;
          }
          const size_t end = offset < first_bytes_ ? first_bytes_ : bytes_.size();
          sink.write(bytes_.data() + offset, std::min(length, end - offset));
          return true;
        },
        "application/octet-stream");
    if (answer) status_ = answer->status;
  });
}

HeldUpload::~HeldUpload() {
  if (client_.joinable()) Finish(true);
}

std::string HeldUpload::RunningCheck(std::chrono::seconds timeout) const {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    const nlohmann::json list = service_.Get("/api/v1/checks");
    for (const nlohmann::json& check : list["checks"]) {
      const std::string id = check["id"];
      if (check["state"] == "running" && service_.Get("/api/v1/checks/" + id)["records_tested"] > 0)
        return id;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return "";
}

int HeldUpload::Finish(bool cut) {
  cut_ = cut;
  rest_.set_value();
  client_.join();
  return status_;
}

std::string ErrSoFar(const RunningCli& running) {
  std::string text(1 << 16, '\0');
  const ssize_t n = pread(running.err_fd, text.data(), text.size(), 0);
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return text;
}

int ServingPort(const RunningCli& running) {
  const std::regex serving("lintaro-cli: serving on http://127\\.0\\.0\\.1:([0-9]+)/\n");
  for (int i = 0; i < 500; ++i) {
    std::smatch m;
    const std::string err = ErrSoFar(running);
    if (std::regex_search(err, m, serving)) return std::stoi(m[1]);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return 0;
}

}  // namespace lintaro::testing
