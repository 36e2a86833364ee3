#include "serve/upload.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <set>
#include <system_error>

#include "core/error_limit.h"
#include "os/path.h"
#include "serve/check_registry.h"
#include "serve/multipart_parser.h"

namespace lintaro {
namespace {

constexpr size_t kMaxNameBytes = 200;
constexpr size_t kMaxFieldBytes = 64;
constexpr const char* kMaxErrorsRule = "max_errors must be a whole number from 1 to 25000";
// The library hands the body over in pieces of 4 KB; they are written a
// megabyte at a time.
constexpr size_t kWriteBuffer = 1 << 20;

// The files of one upload, written as their bytes arrive.
class FileSink {
 public:
  FileSink(const std::string& folder, int64_t max_bytes, UploadStream& stream,
           std::vector<UploadedFile>& files, const std::function<bool()>& stopped)
      : folder_(folder), max_bytes_(max_bytes), stream_(stream), files_(files), stopped_(stopped) {}
  ~FileSink() { Close(); }

  bool Open(const std::string& client_name) {
    if (!Close()) return false;
    std::string name = SafeFileName(client_name);
    const std::string base = name;
    for (int n = 2; used_.count(name) != 0; ++n) name = base + "-" + std::to_string(n);
    used_.insert(name);
    const std::string path = JoinPath(folder_, name);
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd_ < 0) return Fail(500, "storage", "cannot store the upload: " + Errno());
    files_.push_back(UploadedFile{name, path, 0});
    stream_.FileBegan(path);
    return true;
  }
  bool Write(const char* data, size_t length) {
    if (fd_ < 0) return true;  // a part that is not a file
    // The rest of an upload whose check was deleted, or that the service
    // ends with, is not taken: the request must not hold the service.
    if (stopped_())
      return Fail(503, "unavailable",
                  "the upload was stopped: its check was deleted or the service is stopping");
    total_ += static_cast<int64_t>(length);
    if (total_ > max_bytes_) return TooLarge();
    buffer_.append(data, length);
    files_.back().size += static_cast<int64_t>(length);
    return buffer_.size() < kWriteBuffer || Flush();
  }
  bool Close() {
    if (fd_ < 0) return true;
    const bool flushed = Flush();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || !flushed)
      return Fail(500, "storage", "cannot store the upload: " + Errno());
    return true;
  }
  bool TooLarge() {
    return Fail(413, "too_large",
                "the submission is larger than the service accepts (" +
                    std::to_string(max_bytes_ / (int64_t{1024} * 1024)) + " MB)");
  }
  bool Fail(int status, const std::string& code, const std::string& message) {
    if (!error) error = ApiError{status, code, message};
    return false;
  }
  std::optional<ApiError> error;

 private:
  static std::string Errno() { return std::generic_category().message(errno); }

  bool Flush() {
    for (size_t done = 0; done < buffer_.size();) {
      const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return Fail(500, "storage", "cannot store the upload: " + Errno());
      done += static_cast<size_t>(n);
    }
    buffer_.clear();
    stream_.FileGrew(files_.back().size);
    return true;
  }

  std::string folder_;
  int64_t max_bytes_;
  UploadStream& stream_;
  std::vector<UploadedFile>& files_;
  const std::function<bool()>& stopped_;
  int64_t total_ = 0;
  int fd_ = -1;
  std::string buffer_;
  std::set<std::string> used_;
};

// Reads the body of req as the bytes that came, whatever its Content-Type
// says. The library's reader picks its own form parser whenever the
// request's Content-Type says multipart/form-data (Server::read_content_core
// asks Request::is_multipart_form_data as the read begins), and that parser
// refuses forms that common clients write; the service parses the form
// itself (multipart_parser.h). So the Content-Type is set aside while the
// body is read, and put back after: the read then hands the body over as it
// comes, as it does any other, through the same code (its length, chunks
// and bound). The request is the library's own object, handed over as const
// only (as in the pre-routing handler, http_service.cc); the reader looks at
// its headers only when called, on this thread.
bool ReadRawBody(const httplib::Request& req, const httplib::ContentReader& reader,
                 const httplib::ContentReceiver& receiver) {
  httplib::Headers& headers = const_cast<httplib::Request&>(req).headers;
  const auto types = headers.equal_range("Content-Type");
  const httplib::Headers set_aside(types.first, types.second);
  headers.erase(types.first, types.second);
  struct PutBack {
    httplib::Headers& headers;
    const httplib::Headers& set_aside;
    ~PutBack() { headers.insert(set_aside.begin(), set_aside.end()); }
  } put_back{headers, set_aside};
  return reader(receiver);
}

// The parts of a form as they come: each `file` part the next file, the
// max_errors field (before the files) the check's error limit; other parts
// are passed over.
class FormParts {
 public:
  FormParts(FileSink& sink, const std::function<void(const ReceivedUpload&)>& began,
            ReceivedUpload& received)
      : sink_(sink), began_(began), received_(received) {}

  bool Began(const MultipartParser::Part& part) {
    if (!TakeField()) return false;
    name_ = part.name;
    if (part.name == "max_errors") {
      if (!received_.files.empty())
        return sink_.Fail(400, "bad_parameter", "the max_errors field must come before the files");
      in_field_ = true;
      field_.clear();
    }
    if (part.name != "file") return sink_.Close();
    if (!sink_.Open(part.file_name)) return false;
    if (began_) began_(received_);
    return true;
  }
  bool Bytes(const char* data, size_t length) {
    if (!in_field_) return name_ == "file" ? sink_.Write(data, length) : true;
    field_.append(data, length);
    return field_.size() <= kMaxFieldBytes || sink_.Fail(400, "bad_parameter", kMaxErrorsRule);
  }
  // The form ended whole: its last part ends.
  bool Ended() { return TakeField() && sink_.Close(); }

 private:
  bool TakeField() {
    if (!in_field_) return true;
    in_field_ = false;
    received_.max_errors = ParseMaxErrors(field_);
    return received_.max_errors || sink_.Fail(400, "bad_parameter", kMaxErrorsRule);
  }

  FileSink& sink_;
  const std::function<void(const ReceivedUpload&)>& began_;
  ReceivedUpload& received_;
  std::string name_, field_;
  bool in_field_ = false;
};

std::optional<ApiError> ReceiveMultipart(const httplib::Request& req,
                                         const httplib::ContentReader& reader,
                                         const std::string& boundary, FileSink& sink,
                                         const std::function<void(const ReceivedUpload&)>& began,
                                         ReceivedUpload& received) {
  FormParts parts(sink, began, received);
  MultipartParser form(
      boundary, [&](const MultipartParser::Part& part) { return parts.Began(part); },
      [&](const char* data, size_t length) { return parts.Bytes(data, length); });
  // Read to its end, the body is whole; the form, once its closing boundary came.
  const bool whole =
      ReadRawBody(req, reader,
                  [&](const char* data, size_t length) { return form.Feed(data, length); }) &&
      form.Finish();
  if (sink.error) return sink.error;
  if (!whole)
    return ApiError{400, "bad_request",
                    form.error().empty() ? "the upload ended before its end" : form.error()};
  if (!parts.Ended()) return sink.error;
  return std::nullopt;
}

}  // namespace

std::string SafeFileName(const std::string& name) {
  std::string base =
      name.substr(name.find_last_of("/\\") == std::string::npos ? 0 : name.find_last_of("/\\") + 1);
  std::string safe;
  for (unsigned char c : base)
    if (c >= 0x20 && c != 0x7f) safe += static_cast<char>(c);
  if (safe.size() > kMaxNameBytes) safe.resize(kMaxNameBytes);
  if (safe.empty() || safe == "." || safe == "..") safe = "submission";
  return safe;
}

std::optional<int> ParseMaxErrors(const std::string& text) { return ParseErrorLimitEntry(text); }

std::optional<ApiError> ReceiveUpload(const httplib::Request& req,
                                      const httplib::ContentReader& reader,
                                      const std::string& files_folder, int64_t max_bytes,
                                      UploadStream& stream,
                                      const std::function<void(const ReceivedUpload&)>& file_began,
                                      const std::function<bool()>& stopped,
                                      ReceivedUpload& received) {
  FileSink sink(files_folder, max_bytes, stream, received.files, stopped);
  const std::string type = req.get_header_value("Content-Type");
  if (MultipartParser::IsFormData(type)) {
    const std::optional<std::string> boundary = MultipartParser::BoundaryOf(type);
    if (!boundary) return ApiError{400, "bad_request", "the form's Content-Type names no boundary"};
    if (auto error = ReceiveMultipart(req, reader, *boundary, sink, file_began, received))
      return error;
  } else {
    if (!sink.Open(req.has_param("name") ? req.get_param_value("name") : "submission"))
      return sink.error;
    if (file_began) file_began(received);
    const bool read_whole =
        reader([&](const char* data, size_t length) { return sink.Write(data, length); });
    if (sink.error) return sink.error;
    if (!read_whole || !sink.Close())
      return sink.error.value_or(ApiError{400, "bad_request", "the upload ended before its end"});
  }
  if (received.files.empty()) return ApiError{400, "bad_request", "the request holds no file part"};
  return std::nullopt;
}

}  // namespace lintaro
