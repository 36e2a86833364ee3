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
#ifndef LINTARO_SERVE_CLOSING_SERVER_H_
#define LINTARO_SERVE_CLOSING_SERVER_H_

#include <httplib.h>

#include <mutex>
#include <thread>
#include <unordered_map>

namespace lintaro {

class ClosingServer : public httplib::Server {
 public:
  static constexpr size_t kLingerBytes = size_t{64} * 1024;
  static constexpr int kLingerMs = 1000;

  // Called on the thread that wrote res, once it is written (the logger):
  // the connection ends after res if it says "Connection: close".
  void AnswerWritten(const httplib::Response& res);

 private:
  bool process_and_close_socket(socket_t sock) override;

  std::mutex mutex_;
  // The connections being served, by the thread that serves each: whether
  // the last answer written on it closes it.
  std::unordered_map<std::thread::id, bool*> closing_;
};

}  // namespace lintaro

#endif  // LINTARO_SERVE_CLOSING_SERVER_H_
