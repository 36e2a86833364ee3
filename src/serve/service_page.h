// The web page the service gives at / (its files live in src/serve/page and
// are embedded at build time by cmake/EmbedPage.cmake), and the headers
// every HTML answer carries.
#ifndef LINTARO_SERVE_SERVICE_PAGE_H_
#define LINTARO_SERVE_SERVICE_PAGE_H_

#include <span>
#include <string_view>

namespace lintaro {

// Allows only the service's own scripts, styles and images; no frames, no
// plug-ins, no other site's content.
inline constexpr const char* kHtmlContentSecurityPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
    "connect-src 'self'; base-uri 'none'; form-action 'self'; frame-ancestors 'none'";

// One file of the page: where it is served, its Content-Type, its bytes and
// its entity tag (quoted, from its contents, so a new build's file is never
// taken for the last one's).
struct PageFile {
  const char* address;  // "/" for index.html, else "/" and the file's name
  const char* content_type;
  std::string_view body;
  const char* etag;
};

// Every file of the page.
std::span<const PageFile> PageFiles();

// The page's file at address, or null. Its files need no token.
const PageFile* FindPageFile(std::string_view address);

}  // namespace lintaro

#endif  // LINTARO_SERVE_SERVICE_PAGE_H_
