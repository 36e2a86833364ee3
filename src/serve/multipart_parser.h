// A multipart/form-data body read as it arrives, in pieces of any size, as
// the service's uploads come: nothing is held but the piece at hand, the
// few bytes at its end that may begin a boundary and one part's headers.
//
// What it takes, as the common clients write it:
// - the boundary from a Content-Type whose parameters come in any order and
//   case, quoted or not (`BoundaryOf`);
// - a preamble before the first boundary line and an epilogue after the
//   closing one (both ignored, the closing line with or without its line
//   end), spaces or tabs after a boundary;
// - lines ended by CR LF or, throughout the body as the first boundary line
//   ends, by LF alone;
// - part headers of any case, a Content-Disposition whose parameters come
//   in any order, case and spacing, quoted (`\"` and `\\` escaped, any other
//   backslash kept, as in a Windows path) or not, with others among them,
//   and `filename*=UTF-8''...` (or ISO-8859-1), which wins over `filename`;
//   every other header (a part's Content-Type) is ignored.
// What it refuses (Feed or Finish false, error() saying why): a body that
// reaches no boundary line within its first 8 KB or ends before one, part
// headers that do not end within 8 KB or before the body does, and a body
// that ends before its closing boundary line. A part's bytes are its own
// up to the line end before the next boundary line; the rest of a line
// that begins as one ("--BOUNDARYx") is data.
#ifndef LINTARO_SERVE_MULTIPART_PARSER_H_
#define LINTARO_SERVE_MULTIPART_PARSER_H_

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace lintaro {

class MultipartParser {
 public:
  // A part as its headers name it; empty strings for what they do not name.
  struct Part {
    std::string name;
    std::string file_name;
  };
  // Each returns false to stop the parse (Feed then returns false, error() empty).
  using PartBegan = std::function<bool(const Part& part)>;
  using PartBytes = std::function<bool(const char* data, size_t length)>;

  // Whether content_type is multipart/form-data (in any case).
  static bool IsFormData(std::string_view content_type);
  // The boundary content_type names: nothing when it names none, or one
  // empty or longer than 70 bytes.
  static std::optional<std::string> BoundaryOf(std::string_view content_type);

  MultipartParser(std::string boundary, PartBegan began, PartBytes bytes);

  // The next piece of the body. Each part is told as its headers end, its
  // bytes as they come (in pieces); false once the form is refused or a
  // callback stopped it, and for every piece after.
  bool Feed(const char* data, size_t length);
  // The body has ended: true when its closing boundary line came.
  bool Finish();
  // Why the form was refused; empty when it was not, or a callback stopped it.
  const std::string& error() const { return error_; }

 private:
  enum class State { kPreamble, kBoundaryLine, kHeaders, kBody, kEpilogue, kStopped };
  // Each takes what it can of pending_ from at_; false when it needs more.
  bool Scan();
  bool BoundaryLine();
  bool Headers();
  // Takes the part's header read whole (header_).
  void TakeHeader();
  bool Refuse(const char* why);
  bool Emit(size_t length);

  std::string dash_boundary_;  // "--" BOUNDARY
  std::string delimiter_;      // the line end, then dash_boundary_
  PartBegan began_;
  PartBytes bytes_;
  State state_ = State::kPreamble;
  bool line_ends_known_ = false;
  bool from_body_ = false;  // the boundary line being read ends a part
  std::string pending_;     // bytes not yet taken, from at_
  size_t at_ = 0;
  size_t skipped_ = 0;  // of the preamble, or of the part's headers
  Part part_;
  std::string header_;               // the part's header being read, its folded lines joined
  bool file_name_extended_ = false;  // part_.file_name came from filename*
  std::string error_;
};

}  // namespace lintaro

#endif  // LINTARO_SERVE_MULTIPART_PARSER_H_
