#include "serve/closing_server.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>

#include "serve/api_json.h"

namespace lintaro {
namespace {

using Clock = std::chrono::steady_clock;

int Milliseconds(time_t sec, time_t usec) { return static_cast<int>(sec * 1000 + usec / 1000); }

// Whether sock becomes ready for events within ms milliseconds.
bool Ready(int sock, short events, int ms) {
  pollfd p{sock, events, 0};
  int n;
  while ((n = ::poll(&p, 1, ms)) < 0 && errno == EINTR) {
  }
  return n > 0;
}

void AddressOf(const sockaddr_storage& addr, socklen_t length, std::string& ip, int& port) {
  if (addr.ss_family == AF_INET)
    port = ntohs(reinterpret_cast<const sockaddr_in&>(addr).sin_port);
  else if (addr.ss_family == AF_INET6)
    port = ntohs(reinterpret_cast<const sockaddr_in6&>(addr).sin6_port);
  std::array<char, NI_MAXHOST> host{};
  if (::getnameinfo(reinterpret_cast<const sockaddr*>(&addr), length, host.data(), host.size(),
                    nullptr, 0, NI_NUMERICHOST) == 0)
    ip = host.data();
}

// One connection, read through a buffer that lasts as long as it does: the
// bytes after one request are the next one's.
// While a request's head is read, every read counts its bytes and waits
// only until the head's time is up; then it fails, telling the connection
// why.
class ConnectionStream final : public httplib::Stream {
 public:
  using Head = ClosingServer::Head;
  ConnectionStream(int sock, int read_ms, int write_ms, ClosingServer::Connection& connection)
      : sock_(sock), read_ms_(read_ms), write_ms_(write_ms), connection_(connection) {}

  // The next request's head begins: it has head_ms from now.
  void BeginHead(int head_ms) {
    connection_.head = Head::kReading;
    connection_.answered = false;
    head_until_ = Clock::now() + std::chrono::milliseconds(head_ms);
    head_bytes_ = 0;
  }

  bool is_readable() const override { return Buffered() || Ready(sock_, POLLIN, WaitMs()); }

  // As the library's own: writable, and not ended by the client.
  bool is_writable() const override {
    if (!Ready(sock_, POLLOUT, write_ms_)) return false;
    if (!Ready(sock_, POLLIN, 0)) return true;
    char byte;
    return ::recv(sock_, &byte, 1, MSG_PEEK) > 0;
  }

  ssize_t read(char* ptr, size_t size) override {
    const bool in_head = connection_.head == Head::kReading;
    if (in_head) {
      if (head_bytes_ >= ClosingServer::kMaxHeadBytes) {
        connection_.head = Head::kLarge;
        return -1;
      }
      size = std::min(size, ClosingServer::kMaxHeadBytes - head_bytes_);
    }
    // The library reads a line a byte at a time, for as long as it goes
    // on: the length line of a chunk, or a trailer, of a body too.
    if (size == 1 && line_bytes_ >= ClosingServer::kMaxHeadBytes) return -1;
    const ssize_t n = ReadSome(ptr, size);
    if (in_head && n > 0) head_bytes_ += static_cast<size_t>(n);
    if (in_head && n < 0 && Clock::now() >= head_until_) connection_.head = Head::kSlow;
    if (n > 0) line_bytes_ = size == 1 && *ptr != '\n' ? line_bytes_ + 1 : 0;
    return n;
  }

  ssize_t write(const char* ptr, size_t size) override {
    size_t sent = 0;
    while (sent < size) {
      if (!Ready(sock_, POLLOUT, write_ms_)) return -1;
      const ssize_t n = ::send(sock_, ptr + sent, size - sent, MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return -1;
      sent += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(size);
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage addr{};
    socklen_t length = sizeof addr;
    if (::getpeername(sock_, reinterpret_cast<sockaddr*>(&addr), &length) == 0)
      AddressOf(addr, length, ip, port);
  }

  void get_local_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage addr{};
    socklen_t length = sizeof addr;
    if (::getsockname(sock_, reinterpret_cast<sockaddr*>(&addr), &length) == 0)
      AddressOf(addr, length, ip, port);
  }

  socket_t socket() const override { return sock_; }

  bool Buffered() const { return begin_ < end_; }

 private:
  // How long a read may wait for bytes.
  int WaitMs() const {
    if (connection_.head != Head::kReading) return read_ms_;
    // Rounded up: a wait cut short by the head's time ends past it.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(head_until_ - Clock::now());
    return static_cast<int>(std::clamp<int64_t>(left.count(), 0, read_ms_));
  }

  ssize_t ReadSome(char* ptr, size_t size) {
    if (!Buffered()) {
      if (!Ready(sock_, POLLIN, WaitMs())) return -1;
      // A body read a buffer at a time goes straight to its reader.
      if (size >= buffer_.size()) return Receive(ptr, size);
      const ssize_t n = Receive(buffer_.data(), buffer_.size());
      if (n <= 0) return n;
      begin_ = 0;
      end_ = static_cast<size_t>(n);
    }
    const size_t n = std::min(size, end_ - begin_);
    std::copy_n(buffer_.data() + begin_, n, ptr);
    begin_ += n;
    return static_cast<ssize_t>(n);
  }

  ssize_t Receive(char* into, size_t size) const {
    ssize_t n;
    while ((n = ::recv(sock_, into, size, 0)) < 0 && errno == EINTR) {
    }
    return n;
  }

  int sock_;
  int read_ms_;
  int write_ms_;
  ClosingServer::Connection& connection_;
  Clock::time_point head_until_;
  size_t head_bytes_ = 0;
  size_t line_bytes_ = 0;  // read a byte at a time since the last line feed
  std::array<char, 4096> buffer_{};
  size_t begin_ = 0;
  size_t end_ = 0;
};

// Ends a connection whose client may still be sending: a close with bytes
// unread would reset it, and a client that had not yet read the answer
// (over a network, one that had not yet received all of it) would lose it.
void CloseAfterAnswer(int sock) {
  ::shutdown(sock, SHUT_WR);
  const Clock::time_point until =
      Clock::now() + std::chrono::milliseconds(ClosingServer::kLingerMs);
  std::array<char, 4096> dropped;
  for (size_t taken = 0; taken < ClosingServer::kLingerBytes;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    if (left <= 0 || !Ready(sock, POLLIN, static_cast<int>(left))) break;
    const ssize_t n = ::recv(sock, dropped.data(), dropped.size(), 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    taken += static_cast<size_t>(n);
  }
  ::close(sock);
}

// The refusal of a head that came too slowly or too large.
std::pair<int, std::string> RefusalOf(ClosingServer::Head head, int head_timeout_ms) {
  if (head == ClosingServer::Head::kSlow)
    return {408,
            ErrorJson("request_timeout", "the request's head did not come whole within " +
                                             std::to_string(head_timeout_ms / 1000) + " seconds")};
  return {431,
          ErrorJson("too_large", "the request's head is larger than " +
                                     std::to_string(ClosingServer::kMaxHeadBytes / 1024) + " KB")};
}

// Writes the refusal of a head the library gave up on, closing the
// connection, and tells logger of it; false when it could not be written.
bool WriteRefusal(httplib::Stream& stream, const std::pair<int, std::string>& refusal,
                  const httplib::Logger& logger) {
  httplib::Response res;
  std::tie(res.status, res.body) = refusal;
  const std::string head =
      "HTTP/1.1 " + std::to_string(res.status) + " " +
      (res.status == 408 ? "Request Timeout" : "Request Header Fields Too Large") +
      "\r\nCache-Control: no-store\r\nConnection: close\r\n"
      "Content-Length: " +
      std::to_string(res.body.size()) +
      "\r\nContent-Type: application/json\r\n"
      "X-Content-Type-Options: nosniff\r\n\r\n";
  const bool written = stream.write(head.data(), head.size()) >= 0 &&
                       stream.write(res.body.data(), res.body.size()) >= 0;
  res.content_length_ = res.body.size();
  if (logger) logger(httplib::Request(), res);
  return written;
}

bool Refused(ClosingServer::Head head) {
  return head == ClosingServer::Head::kSlow || head == ClosingServer::Head::kLarge;
}

}  // namespace

ClosingServer::Connection* ClosingServer::ThisConnection() {
  auto it = connections_.find(std::this_thread::get_id());
  return it == connections_.end() ? nullptr : it->second;
}

void ClosingServer::AnswerWritten(const httplib::Response& res) {
  std::lock_guard<std::mutex> lock(mutex_);
  Connection* connection = ThisConnection();
  if (connection == nullptr) return;
  connection->answered = true;
  if (res.get_header_value("Connection") == "close") connection->closes = true;
}

void ClosingServer::HeadRead() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (Connection* connection = ThisConnection()) connection->head = Head::kRead;
}

std::optional<std::pair<int, std::string>> ClosingServer::HeadRefusal() {
  std::lock_guard<std::mutex> lock(mutex_);
  Connection* connection = ThisConnection();
  if (connection == nullptr || !Refused(connection->head)) return std::nullopt;
  return RefusalOf(connection->head, head_timeout_ms_);
}

// The library's loop but for the end: a request is awaited for up to the
// keep-alive time (looking every 10 ms whether the server stops), at most
// the keep-alive count of them are answered, the last with
// "Connection: close". A head the library gave up on before its request
// line was whole, it leaves unanswered: it is answered here.
bool ClosingServer::process_and_close_socket(socket_t sock) {
  Connection connection;
  ConnectionStream stream(sock, Milliseconds(read_timeout_sec_, read_timeout_usec_),
                          Milliseconds(write_timeout_sec_, write_timeout_usec_), connection);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    connections_[std::this_thread::get_id()] = &connection;
  }
  const auto stopping = [this] { return svr_sock_ == INVALID_SOCKET; };
  const auto request_comes = [&] {
    const Clock::time_point until = Clock::now() + std::chrono::seconds(keep_alive_timeout_sec_);
    while (!stopping()) {
      if (stream.Buffered() || Ready(sock, POLLIN, 10)) return true;
      if (Clock::now() > until) return false;
    }
    return false;
  };
  bool answered = false;
  for (size_t left = keep_alive_max_count_; left > 0 && request_comes(); --left) {
    bool client_closes = false;
    stream.BeginHead(head_timeout_ms_);
    answered = process_request(stream, left == 1, client_closes, nullptr);
    bool refused_here = false;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      refused_here = Refused(connection.head) && !connection.answered;
    }
    if (refused_here) {
      answered =
          WriteRefusal(stream, RefusalOf(connection.head, head_timeout_ms_), head_refusal_logger_);
      connection.closes = true;
    }
    if (!answered || client_closes || connection.closes) break;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.erase(std::this_thread::get_id());
  }
  if (connection.closes) {
    CloseAfterAnswer(sock);
  } else {
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
  }
  return answered;
}

}  // namespace lintaro
