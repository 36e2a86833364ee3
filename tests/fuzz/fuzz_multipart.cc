// Fuzz target: any bytes as an upload's Content-Type (its first line) and
// form body (the rest), through the service's form parser.
//
// The body comes from the network in pieces of whatever size, so what the
// parser tells (each part's name and file name, its bytes, how the form
// ended and why) must be the same whether the body is fed whole, a byte at
// a time or in pieces of sizes the input picks; a form refused always says
// why, and a part never holds more bytes than the body.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "serve/multipart_parser.h"

namespace {

void Require(bool holds, const char* what) {
  lintaro::fuzz::Require(holds, "fuzz_multipart", what);
}

// What the parser tells of body fed in pieces of the sizes given in turn
// (the last one repeated), and the bytes of the parts.
std::string Told(const std::string& boundary, const std::string& body,
                 const std::vector<size_t>& pieces, size_t& part_bytes) {
  std::string told;
  part_bytes = 0;
  lintaro::MultipartParser form(
      boundary,
      [&](const lintaro::MultipartParser::Part& part) {
        told += "[" + part.name + "|" + part.file_name + "]";
        return true;
      },
      [&](const char* data, size_t length) {
        Require(length > 0, "a part's bytes are told in an empty piece");
        told.append(data, length);
        part_bytes += length;
        return true;
      });
  bool fed = true;
  size_t turn = 0;
  for (size_t at = 0; at < body.size() && fed; ++turn) {
    const size_t piece = std::min(pieces[std::min(turn, pieces.size() - 1)], body.size() - at);
    fed = form.Feed(body.data() + at, piece);
    at += piece;
  }
  const bool whole = fed && form.Finish();
  Require(whole || !form.error().empty(), "a form refused without a word of why");
  return told + (whole ? "<whole>" : "<" + form.error() + ">");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t line_end = input.find('\n');
  const std::string type = input.substr(0, line_end);
  const std::string body = line_end == std::string::npos ? "" : input.substr(line_end + 1);
  const std::string boundary = lintaro::MultipartParser::BoundaryOf(type).value_or("XYZ");
  Require(!boundary.empty() && boundary.size() <= 70, "a boundary empty or too long");
  // Pieces of 1 to 16 bytes, picked by the body's bytes in turn.
  std::vector<size_t> picked;
  for (unsigned char c : body) picked.push_back(1 + c % 16);
  if (picked.empty()) picked.push_back(1);
  size_t whole_bytes = 0, byte_bytes = 0, picked_bytes = 0;
  const std::string whole = Told(boundary, body, {body.size() + 1}, whole_bytes);
  Require(Told(boundary, body, {1}, byte_bytes) == whole, "a byte at a time tells otherwise");
  Require(Told(boundary, body, picked, picked_bytes) == whole, "other pieces tell otherwise");
  Require(whole_bytes <= body.size(), "parts hold more bytes than the body");
  return 0;
}
