#include "serve/service_page.h"

namespace lintaro {

const char* ServicePage() {
  return R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Lintaro</title>
</head>
<body>
<h1>Lintaro</h1>
<p>The Lintaro checking service is running.</p>
<p>Its API is described in <a href="/api/v1/openapi.json">/api/v1/openapi.json</a>.</p>
</body>
</html>
)";
}

}  // namespace lintaro
