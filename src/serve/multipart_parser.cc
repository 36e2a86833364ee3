#include "serve/multipart_parser.h"

#include <strings.h>

#include <utility>

namespace lintaro {
namespace {

// Room for a preamble, and for one part's headers.
constexpr size_t kMaxHeadBytes = 8192;
// Spaces or tabs taken after a boundary before its line end.
constexpr size_t kMaxPadding = 64;
constexpr size_t kMaxBoundary = 70;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The value of a parameter at text[at] (after its "="), quoted or not;
// at is left on the ";" after it, or at the end.
std::string ParameterValue(std::string_view text, size_t& at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
  std::string value;
  if (at < text.size() && text[at] == '"') {
    for (++at; at < text.size() && text[at] != '"'; ++at) {
      if (text[at] == '\\' && at + 1 < text.size() && (text[at + 1] == '"' || text[at + 1] == '\\'))
        ++at;
      value += text[at];
    }
    at = std::min(text.find(';', at), text.size());
    return value;
  }
  const size_t begin = at;
  at = std::min(text.find(';', at), text.size());
  return std::string(Trimmed(text.substr(begin, at - begin)));
}

// Calls take(name, value) for each parameter of a header's value, after
// its first item ("form-data", "multipart/form-data").
template <typename Take>
void ForEachParameter(std::string_view text, const Take& take) {
  for (size_t at = text.find(';'); at < text.size();) {
    ++at;  // the ";"
    const size_t begin = at;
    while (at < text.size() && text[at] != '=' && text[at] != ';') ++at;
    const std::string_view name = Trimmed(text.substr(begin, at - begin));
    std::string value;
    if (at < text.size() && text[at] == '=') value = ParameterValue(text, ++at);
    if (!name.empty()) take(name, std::move(value));
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A `filename*` value, CHARSET'LANGUAGE'PERCENT-ENCODED, as UTF-8; nothing
// for another form or a character set other than UTF-8 and ISO-8859-1.
std::optional<std::string> ExtendedValue(std::string_view text) {
  const size_t language = text.find('\'');
  const size_t value =
      language == std::string_view::npos ? language : text.find('\'', language + 1);
  if (value == std::string_view::npos) return std::nullopt;
  const std::string_view charset = text.substr(0, language);
  const bool latin1 = SameWord(charset, "ISO-8859-1");
  if (!latin1 && !SameWord(charset, "UTF-8")) return std::nullopt;
  std::string decoded;
  for (size_t at = value + 1; at < text.size(); ++at) {
    unsigned char c = static_cast<unsigned char>(text[at]);
    if (c == '%' && at + 2 < text.size() && HexDigit(text[at + 1]) >= 0 &&
        HexDigit(text[at + 2]) >= 0) {
      c = static_cast<unsigned char>(HexDigit(text[at + 1]) * 16 + HexDigit(text[at + 2]));
      at += 2;
    }
    if (latin1 && c >= 0x80) {
      decoded += static_cast<char>(0xc0 | (c >> 6));
      decoded += static_cast<char>(0x80 | (c & 0x3f));
    } else {
      decoded += static_cast<char>(c);
    }
  }
  return decoded;
}

}  // namespace

bool MultipartParser::IsFormData(std::string_view content_type) {
  return SameWord(Trimmed(content_type.substr(0, content_type.find(';'))), "multipart/form-data");
}

std::optional<std::string> MultipartParser::BoundaryOf(std::string_view content_type) {
  if (!IsFormData(content_type)) return std::nullopt;
  std::optional<std::string> boundary;
  ForEachParameter(content_type, [&](std::string_view name, std::string value) {
    if (!boundary && SameWord(name, "boundary")) boundary = std::move(value);
  });
  if (!boundary || boundary->empty() || boundary->size() > kMaxBoundary ||
      boundary->find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
    return std::nullopt;
  return boundary;
}

MultipartParser::MultipartParser(std::string boundary, PartBegan began, PartBytes bytes)
    : dash_boundary_("--" + boundary),
      // The first boundary line may open the body or follow a line of the
      // preamble; its own line end tells the body's.
      delimiter_("\n" + dash_boundary_),
      began_(std::move(began)),
      bytes_(std::move(bytes)),
      pending_("\n") {}

bool MultipartParser::Feed(const char* data, size_t length) {
  if (state_ == State::kStopped) return false;
  if (state_ == State::kEpilogue) return true;
  pending_.append(data, length);
  for (bool more = true; more;) {
    switch (state_) {
      case State::kPreamble:
      case State::kBody:
        more = Scan();
        break;
      case State::kBoundaryLine:
        more = BoundaryLine();
        break;
      case State::kHeaders:
        more = Headers();
        break;
      case State::kEpilogue:
      case State::kStopped:
        more = false;
        break;
    }
  }
  pending_.erase(0, at_);
  at_ = 0;
  return state_ != State::kStopped;
}

bool MultipartParser::Finish() {
  switch (state_) {
    case State::kEpilogue:
      return true;
    case State::kStopped:
      return false;
    case State::kPreamble:
      return Refuse("the form never reaches its boundary");
    case State::kHeaders:
      return Refuse("the headers of a part of the form do not end");
    case State::kBoundaryLine:
    case State::kBody:
      break;
  }
  return Refuse("the upload ended before its end");
}

bool MultipartParser::Refuse(const char* why) {
  error_ = why;
  state_ = State::kStopped;
  return false;
}

bool MultipartParser::Emit(size_t length) {
  const char* data = pending_.data() + at_;
  at_ += length;
  if (length == 0 || bytes_(data, length)) return true;
  state_ = State::kStopped;
  return false;
}

bool MultipartParser::Scan() {
  const size_t found = pending_.find(delimiter_, at_);
  size_t take = found - at_;
  if (found == std::string::npos) {
    // All but what may begin the delimiter is the part's, or preamble.
    const size_t left = pending_.size() - at_;
    take = left - std::min(left, delimiter_.size() - 1);
  }
  if (state_ == State::kBody) {
    if (!Emit(take) || found == std::string::npos) return false;
  } else {
    at_ += take;
    skipped_ += take;
    if (skipped_ > kMaxHeadBytes) return Refuse("the form never reaches its boundary");
    if (found == std::string::npos) return false;
  }
  from_body_ = state_ == State::kBody;
  state_ = State::kBoundaryLine;
  return true;
}

bool MultipartParser::BoundaryLine() {
  const size_t after = at_ + delimiter_.size();
  size_t end = after;
  const auto not_boundary = [&] {
    // A line that only begins as a boundary line: the part's bytes, or preamble.
    if (from_body_) {
      state_ = State::kBody;
      return Emit(delimiter_.size());
    }
    state_ = State::kPreamble;
    at_ = after;
    return true;
  };
  if (end + 2 > pending_.size()) return false;
  if (pending_[end] == '-') {
    if (pending_[end + 1] != '-') return not_boundary();
    state_ = State::kEpilogue;
    return false;
  }
  while (end < pending_.size() && IsBlank(pending_[end]) && end - after < kMaxPadding) ++end;
  if (end + 2 > pending_.size()) return false;
  bool crlf = false;
  if (pending_.compare(end, 2, "\r\n") == 0) {
    crlf = true;
    end += 2;
  } else if (pending_[end] == '\n') {
    end += 1;
  } else {
    return not_boundary();
  }
  if (!line_ends_known_) {
    line_ends_known_ = true;
    delimiter_ = (crlf ? "\r\n" : "\n") + dash_boundary_;
  }
  at_ = end;
  state_ = State::kHeaders;
  skipped_ = 0;
  part_ = Part{};
  header_.clear();
  file_name_extended_ = false;
  return true;
}

bool MultipartParser::Headers() {
  const size_t line_end = pending_.find('\n', at_);
  if (line_end == std::string::npos) {
    if (skipped_ + pending_.size() - at_ > kMaxHeadBytes)
      return Refuse("the headers of a part of the form do not end within 8 KB");
    return false;
  }
  std::string_view line(pending_.data() + at_, line_end - at_);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  skipped_ += line_end + 1 - at_;
  at_ = line_end + 1;
  if (skipped_ > kMaxHeadBytes)
    return Refuse("the headers of a part of the form do not end within 8 KB");
  if (!line.empty() && IsBlank(line.front()) && !header_.empty()) {
    header_ += ' ';  // a header folded onto a line of its own
    header_ += Trimmed(line);
    return true;
  }
  TakeHeader();
  header_ = line;
  if (!line.empty()) return true;
  state_ = State::kBody;
  if (began_(part_)) return true;
  state_ = State::kStopped;
  return false;
}

void MultipartParser::TakeHeader() {
  const size_t colon = header_.find(':');
  if (colon == std::string::npos ||
      !SameWord(Trimmed(std::string_view(header_).substr(0, colon)), "Content-Disposition"))
    return;
  ForEachParameter(std::string_view(header_).substr(colon + 1),
                   [&](std::string_view name, std::string value) {
                     if (SameWord(name, "name")) {
                       part_.name = std::move(value);
                     } else if (SameWord(name, "filename") && !file_name_extended_) {
                       part_.file_name = std::move(value);
                     } else if (SameWord(name, "filename*")) {
                       if (std::optional<std::string> decoded = ExtendedValue(value)) {
                         part_.file_name = std::move(*decoded);
                         file_name_extended_ = true;
                       }
                     }
                   });
}

}  // namespace lintaro
