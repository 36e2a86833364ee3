// How lintaro-cli serve was asked to run.
#ifndef LINTARO_SERVE_SERVICE_OPTIONS_H_
#define LINTARO_SERVE_SERVICE_OPTIONS_H_

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <system_error>

#include "serve/service_clock.h"

namespace lintaro {

struct CheckJob;

// Deletes a check's folder and all it holds; the reason when some of it
// stays. Tests put in one that fails.
using FolderRemover = std::function<std::error_code(const std::string& folder)>;
// Writes a check's record (check.json) whole; false, the one before kept,
// when it cannot. Tests put in one that fails.
using CheckRecordWriter = std::function<bool(const CheckJob& job)>;

struct ServiceOptions {
  std::string host = "127.0.0.1";
  int port = 7007;  // 0: any free port (tests)
  std::string data_folder;
  int jobs = 1;
  int64_t max_upload_bytes = int64_t{2048} * 1024 * 1024;
  int64_t keep_seconds = int64_t{24} * 3600;
  std::string token;  // empty: no token asked for
  bool quiet = false;
  std::FILE* log = stderr;  // one line per request, unless quiet
  int sweep_interval_ms = 60 * 1000;
  // Connections served at once. A page that follows a running check holds
  // one for as long as the check runs, so there is room for an office's
  // pages beside the checks waiting (max_waiting) and everyone else.
  int http_threads = 128;
  // A request's head (request line and headers) must come whole within
  // this long of its first byte: a client sending it a line now and then
  // would hold a connection, and its thread, for as long as it liked.
  int head_timeout_ms = 20 * 1000;
  size_t max_waiting = 100;  // checks waiting, beyond which new ones get 429
  ServiceClock* clock = nullptr;
  FolderRemover remove_folder;     // empty: std::filesystem::remove_all
  CheckRecordWriter write_record;  // empty: WriteCheckMeta
};

}  // namespace lintaro

#endif  // LINTARO_SERVE_SERVICE_OPTIONS_H_
