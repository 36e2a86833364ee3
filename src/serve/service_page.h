// The service's page at / (a short placeholder until the web page comes)
// and the headers every HTML answer carries.
#ifndef LINTARO_SERVE_SERVICE_PAGE_H_
#define LINTARO_SERVE_SERVICE_PAGE_H_

namespace lintaro {

// Allows only the service's own scripts, styles and images; no frames, no
// plug-ins, no other site's content.
inline constexpr const char* kHtmlContentSecurityPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
    "connect-src 'self'; base-uri 'none'; form-action 'self'; frame-ancestors 'none'";

// The page: the service runs, and where its API is described.
const char* ServicePage();

}  // namespace lintaro

#endif  // LINTARO_SERVE_SERVICE_PAGE_H_
