// The OpenAPI 3.1 description of the API, served at /api/v1/openapi.json.
#ifndef LINTARO_SERVE_OPENAPI_H_
#define LINTARO_SERVE_OPENAPI_H_

#include <string>

namespace lintaro {

// The document, with the report formats of report_format.h.
std::string OpenApiDocument();

}  // namespace lintaro

#endif  // LINTARO_SERVE_OPENAPI_H_
