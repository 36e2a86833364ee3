// The form parser fed a body in pieces of every size, each boundary split
// every way across them: what it tells is the same for all.
#include "serve/multipart_parser.h"

#include <gtest/gtest.h>

#include <string>

namespace lintaro {
namespace {

// The parts and bytes told, then how the form ended, the body fed in
// pieces of `piece` bytes.
std::string Told(const std::string& body, size_t piece, const std::string& boundary = "XYZ") {
  std::string told;
  MultipartParser form(
      boundary,
      [&](const MultipartParser::Part& part) {
        told += "[" + part.name + "|" + part.file_name + "]";
        return true;
      },
      [&](const char* data, size_t length) {
        told.append(data, length);
        return true;
      });
  bool fed = true;
  for (size_t at = 0; at < body.size() && fed; at += piece)
    fed = form.Feed(body.data() + at, std::min(piece, body.size() - at));
  return told + (fed && form.Finish() ? "<whole>" : "<" + form.error() + ">");
}

TEST(MultipartParser, TellsTheSameWhateverThePieces) {
  const std::string head_of_8k =
      "--XYZ\r\nX-Pad: " + std::string(8200, 'p') + "\r\n\r\nx\r\n--XYZ--";
  const struct {
    std::string body, told;
  } kCases[] = {
      // A preamble, a field, a file whose bytes hold line ends and lines
      // that begin as boundary lines, spaces after a boundary, a folded
      // header, the part's own type, an epilogue.
      {"preamble --XYZ\r\n\r\n--XYZ\r\ncontent-disposition: form-data; name=max_errors\r\n\r\n7"
       "\r\n--XYZ \t\r\nContent-Disposition: form-data;\r\n filename=\"a\\\"b\\\\c\\d.txt\"; "
       "name=\"file\"\r\nContent-Type: text/plain\r\n\r\n\r\nA\r\n--XYZx\r\n--XY\r\r\n\r\n\r\n"
       "--XYZ\r\nContent-Disposition: form-data; name=\"file\"; filename=x; "
       "FILENAME*=UTF-8''%C3%A9%2F.txt\r\n\r\n\r\n--XYZ--\r\nepilogue\r\n--XYZ\r\n",
       "[max_errors|]7[file|a\"b\\c\\d.txt]\r\nA\r\n--XYZx\r\n--XY\r\r\n\r\n[file|\xC3\xA9/"
       ".txt]<whole>"},
      // Lines ended by LF alone, as the first boundary line is; an empty
      // part without headers; the closing line without a line end.
      {"--XYZ\n\nfirst\r\n--XYZ\nContent-Disposition: form-data; name=\"file\"; "
       "filename*=iso-8859-1'en'%E9.txt; filename=e.txt\n\nsecond\n--XYZ--",
       "[|]first\r[file|\xC3\xA9.txt]second<whole>"},
      // Forms that cannot be read.
      {"--XYZ\r\nContent-Disposition: form-data; name=\"file\"\r\n",
       "<the headers of a part of the form do not end>"},
      {"--XYZ\r\n\r\nsome bytes\r\n--XYZ", "[|]some bytes<the upload ended before its end>"},
      {"--XYZ\r\n\r\nsome bytes\r\n--XYZ-", "[|]some bytes<the upload ended before its end>"},
      {"no boundary --XYZ here\r\n-XYZ\r\n", "<the form never reaches its boundary>"},
      {std::string(9000, 'p') + "\r\n--XYZ\r\n\r\nx\r\n--XYZ--",
       "<the form never reaches its boundary>"},
      {head_of_8k, "<the headers of a part of the form do not end within 8 KB>"},
  };
  for (const auto& c : kCases) {
    for (size_t piece = 1; piece <= c.body.size(); ++piece)
      ASSERT_EQ(Told(c.body, piece), c.told) << "in pieces of " << piece << ": " << c.body;
  }
}

TEST(MultipartParser, TakesTheBoundaryAsClientsName) {
  const struct {
    const char* type;
    std::optional<std::string> boundary;
  } kCases[] = {
      {"multipart/form-data; boundary=XYZ", "XYZ"},
      {"multipart/form-data; boundary=XYZ; charset=utf-8", "XYZ"},
      {"Multipart/Form-Data ;charset=utf-8;BOUNDARY = \"a b:c\"", "a b:c"},
      {"multipart/form-data", std::nullopt},
      {"multipart/form-data; boundary=", std::nullopt},
      {"multipart/form-data; boundary=\"\"", std::nullopt},
      {"multipart/mixed; boundary=XYZ", std::nullopt},
      {"text/plain; boundary=XYZ", std::nullopt},
  };
  for (const auto& c : kCases) EXPECT_EQ(MultipartParser::BoundaryOf(c.type), c.boundary) << c.type;
  EXPECT_TRUE(MultipartParser::BoundaryOf("multipart/form-data; boundary=" + std::string(70, 'b')));
  EXPECT_FALSE(
      MultipartParser::BoundaryOf("multipart/form-data; boundary=" + std::string(71, 'b')));
}

}  // namespace
}  // namespace lintaro
