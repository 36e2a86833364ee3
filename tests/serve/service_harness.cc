#include "serve/service_harness.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <thread>

#include "support/cli_runner.h"

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
