// The OpenAPI 3.1 description of the API, served at /api/v1/openapi.json.
#ifndef LINTARO_SERVE_OPENAPI_H_
#define LINTARO_SERVE_OPENAPI_H_

namespace lintaro {

const char* OpenApiDocument();

}  // namespace lintaro

#endif  // LINTARO_SERVE_OPENAPI_H_
