#include "serve/openapi.h"

namespace lintaro {

const char* OpenApiDocument() {
  return R"json({"openapi": "3.1.0", "info": {"title": "Lintaro", "version": "1"}, "paths": {}}
)json";
}

}  // namespace lintaro
