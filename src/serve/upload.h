// Receiving a submission: the body of POST /api/v1/checks, as multipart
// form data (one or more `file` parts, in order, and an optional
// `max_errors` field before them) or as a raw application/octet-stream body
// named by ?name=. Each file is streamed to the check's files/ folder (mode
// 0600) as it arrives, never held whole, and the upload is refused as soon
// as its files pass the size bound.
#ifndef LINTARO_SERVE_UPLOAD_H_
#define LINTARO_SERVE_UPLOAD_H_

#include <httplib.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "serve/check_job.h"
#include "serve/upload_stream.h"

namespace lintaro {

// An answer other than success: the HTTP status, the error code and message.
struct ApiError {
  int status = 500;
  std::string code;
  std::string message;
};

// What an upload brought: its files, in order, and the form's max_errors.
struct ReceivedUpload {
  std::vector<UploadedFile> files;
  std::optional<int> max_errors;  // the form's field, when it has one
};

// Stores the submission of req into files_folder, telling stream of each
// file and of its bytes as they reach the disk (the stream's end is the
// caller's to tell). file_began is called as each file begins, once it is
// created, with the files so far and the form's max_errors when given: a
// max_errors field after a file is refused, so that a check can start with
// the first file. Once stopped
// turns true (asked at each piece of a file) the rest is refused with 503.
// Nothing on success; on failure the files written so far are left for the
// caller to delete with the check's folder.
std::optional<ApiError> ReceiveUpload(const httplib::Request& req,
                                      const httplib::ContentReader& reader,
                                      const std::string& files_folder, int64_t max_bytes,
                                      UploadStream& stream,
                                      const std::function<void(const ReceivedUpload&)>& file_began,
                                      const std::function<bool()>& stopped,
                                      ReceivedUpload& received);

// A client's file name as a name in the check's folder: its last part
// (after / or \), without control characters, at most 200 bytes;
// "submission" when nothing is left.
std::string SafeFileName(const std::string& name);

// max_errors as given: a whole number from 1 to 25,000.
std::optional<int> ParseMaxErrors(const std::string& text);

}  // namespace lintaro

#endif  // LINTARO_SERVE_UPLOAD_H_
