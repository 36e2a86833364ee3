// lintaro-cli serve [--listen ADDR:PORT] [--data DIR] [--jobs N] [--max-upload-mb N]
//                   [--keep-hours N] [--token-file FILE] [-q]
#include "cli/serve_command.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "cli/batch_check.h"
#include "cli/cli_options.h"
#include "cli/cli_platform.h"
#include "core/error_limit.h"
#include "core/whole_number.h"
#include "os/path.h"
#include "os/program_folder.h"
#include "serve/http_service.h"

namespace lintaro {
namespace {

// Running checks get this long to finish once a signal came.
constexpr int kGraceMs = 10 * 1000;

// localhost, or a loopback address written as one. Any other name is
// looked up where the service binds and may lead anywhere, 127.lan.example
// as well.
bool IsLoopback(const std::string& host) {
  if (host == "localhost") return true;
  in_addr v4{};
  if (inet_pton(AF_INET, host.c_str(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
  in6_addr v6{};
  return inet_pton(AF_INET6, host.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

// "ADDR:PORT" or "[IPv6]:PORT".
std::optional<std::string> ParseListen(const std::string& text, ServiceOptions& out) {
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) return "--listen must be ADDR:PORT";
  std::string host = text.substr(0, colon);
  if (host.size() > 2 && host.front() == '[' && host.back() == ']')
    host = host.substr(1, host.size() - 2);
  std::optional<int> port = ParseWholeNumber(text.substr(colon + 1), 0, 65535);
  if (!port) return "--listen needs a port from 0 to 65535";
  out.host = host;
  out.port = *port;
  return std::nullopt;
}

std::optional<std::string> ReadToken(const std::string& file, std::string& token) {
  std::ifstream in(file);
  if (!in) return "cannot read the token file " + file;
  std::getline(in, token);
  while (!token.empty() && (token.back() == '\r' || token.back() == ' ' || token.back() == '\t'))
    token.pop_back();
  if (token.empty()) return "the token file " + file + " holds no token on its first line";
  return std::nullopt;
}

std::optional<std::string> ParseServeOptions(const ParsedArgs& args, ServiceOptions& out) {
  if (!args.operands.empty()) return "serve takes no file names";
  if (auto problem = ParseListen(args.value_or("listen", "127.0.0.1:7007"), out)) return problem;
  out.data_folder = args.value_or("data", JoinPath(PerUserDataFolder(), "serve"));
  if (out.data_folder.empty()) return "--data needs a folder";
  const int cores = static_cast<int>(std::thread::hardware_concurrency());
  std::optional<int> jobs =
      ParseWholeNumber(args.value_or("jobs", std::to_string(cores > 0 ? cores : 1)), 1, 256);
  if (!jobs) return "--jobs must be a whole number from 1 to 256";
  out.jobs = *jobs;
  std::optional<int> mb = ParseWholeNumber(args.value_or("max-upload-mb", "2048"), 1, 1 << 20);
  if (!mb) return "--max-upload-mb must be a whole number from 1";
  out.max_upload_bytes = int64_t{*mb} * 1024 * 1024;
  std::optional<int> hours = ParseWholeNumber(args.value_or("keep-hours", "24"), 0, 24 * 366);
  if (!hours) return "--keep-hours must be a whole number from 0 to 8784";
  out.keep_seconds = int64_t{*hours} * 3600;
  out.quiet = args.has("quiet");
  return std::nullopt;
}

// The data folder, made for its owner only when missing, as are the
// folders above it that are missing: by default it sits in the per-user
// data folder, which holds the results of lintaro-cli check.
std::optional<std::string> MakeDataFolder(const std::string& folder) {
  std::error_code ec;
  if (!CreateOwnFolders(folder, ec))
    return folder + ": cannot create the data folder: " + ec.message();
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
    return folder + ": the data folder is not a folder";
  // Never made its own: another user could put a check of theirs there, and
  // the folder (such as /tmp) is not the service's to close.
  if (OthersMayWriteIn(folder))
    return folder + ": the data folder may be written by others; choose a folder only you may " +
           "write in";
  ::chmod(folder.c_str(), 0700);
  return std::nullopt;
}

std::string Url(const ServiceOptions& options, int port) {
  const bool v6 = options.host.find(':') != std::string::npos;
  return "http://" + (v6 ? "[" + options.host + "]" : options.host) + ":" + std::to_string(port) +
         "/";
}

}  // namespace

int ServeCommand(int argc, char** argv) {
  ParsedArgs args;
  if (auto done = ParseCommandArgs(argc, argv, "serve",
                                   {{"listen", 0, true},
                                    {"data", 0, true},
                                    {"jobs", 'j', true},
                                    {"max-upload-mb", 0, true},
                                    {"keep-hours", 0, true},
                                    {"token-file", 0, true},
                                    {"quiet", 'q', false}},
                                   args))
    return *done;
  ServiceOptions options;
  if (auto problem = ParseServeOptions(args, options)) return UsageError(*problem);
  if (args.has("token-file")) {
    if (auto problem = ReadToken(args.values.at("token-file"), options.token))
      return Refuse(*problem);
  } else if (!IsLoopback(options.host)) {
    return Refuse("listening on " + options.host +
                  ", which is not loopback, needs --token-file (every request must then carry "
                  "the token)");
  }
  if (auto problem = MakeDataFolder(options.data_folder)) return Refuse(*problem);
  SystemServiceClock clock;
  options.clock = &clock;
  InstallInterruptHandlers();
  HttpService service(options);
  if (auto problem = service.Bind()) return Refuse(*problem);
  service.Start();
  std::fprintf(stderr, "lintaro-cli: serving on %s\n", Url(options, service.port()).c_str());
  std::fflush(stderr);
  while (InterruptSignal() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  std::fprintf(stderr, "lintaro-cli: stopping; running checks get up to %d s to finish\n",
               kGraceMs / 1000);
  service.Stop(kGraceMs);
  return kExitClean;
}

}  // namespace lintaro
