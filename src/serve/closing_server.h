// cpp-httplib's server with a connection loop of the service's own: after
// an answer that says "Connection: close" the connection really ends.
//
// The library only writes that header: it keeps the connection and reads
// on, so that the unread body of a request refused before its body (a page
// of another site posting text/plain, a request without the token, an
// upload refused for its length) would be read as the next request, one
// that passes the checks the refused one failed. Here the service's
// logger tells the server of every answer written (AnswerWritten); after
// one that closes, nothing more is read as a request: the connection stops
// sending, takes and drops what the client is still sending (at most
// kLingerBytes or kLingerMs, so that the client reads the answer and an
// end rather than a reset) and closes. Ordinary answers keep the
// connection open, as the library does (keep-alive, its count and time
// out as set on the server); requests sent one behind another on it are
// answered in turn.
//
// A request's head (its request line and headers) must come whole within
// head_timeout_ms of its first byte and within kMaxHeadBytes: the library
// reads a head line by line for as long as the client sends one, so a
// client sending a header line now and then held a thread (all of them,
// with a connection each), and one sending headers without end grew the
// service's memory without bound. Such a head is answered 408 or 431, and
// the connection closes. No line the library reads (a chunk's length line
// or a trailer of a body too) may be longer than a head.
#ifndef LINTARO_SERVE_CLOSING_SERVER_H_
#define LINTARO_SERVE_CLOSING_SERVER_H_

#include <httplib.h>

#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>

namespace lintaro {

class ClosingServer : public httplib::Server {
 public:
  static constexpr size_t kLingerBytes = size_t{64} * 1024;
  static constexpr int kLingerMs = 1000;
  static constexpr size_t kMaxHeadBytes = size_t{64} * 1024;

  void set_head_timeout(int ms) { head_timeout_ms_ = ms; }
  // Told of the answers written here to a head the library never read
  // whole (with an empty request), as the logger is of the others.
  void set_head_refusal_logger(httplib::Logger logger) { head_refusal_logger_ = std::move(logger); }

  // Called on the thread that wrote res, once it is written (the logger):
  // the connection ends after res if it says "Connection: close".
  void AnswerWritten(const httplib::Response& res);
  // Called on the thread that serves the request, once its head was read
  // whole (the pre-routing handler): what follows is its body.
  void HeadRead();
  // An answer the library is about to give to a head it could not read
  // (the error handler): 408 or 431 when the head came too slowly or was
  // too large, else nothing.
  std::optional<std::pair<int, std::string>> HeadRefusal();

  // What became of the head of the request being read.
  enum class Head { kReading, kRead, kSlow, kLarge };
  // A connection being served.
  struct Connection {
    bool closes = false;    // the last answer written on it closes it
    bool answered = false;  // an answer was written to the current request
    Head head = Head::kRead;
  };

 private:
  bool process_and_close_socket(socket_t sock) override;
  Connection* ThisConnection();

  int head_timeout_ms_ = 20 * 1000;
  httplib::Logger head_refusal_logger_;
  std::mutex mutex_;
  // The connections being served, by the thread that serves each.
  std::unordered_map<std::thread::id, Connection*> connections_;
};

}  // namespace lintaro

#endif  // LINTARO_SERVE_CLOSING_SERVER_H_
