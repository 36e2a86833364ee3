// The JSON answers of the API (version 1): a check's status, the list of
// checks, the service's health and the error object.
#ifndef LINTARO_SERVE_API_JSON_H_
#define LINTARO_SERVE_API_JSON_H_

#include <string>
#include <vector>

#include "serve/check_registry.h"

namespace lintaro {

// {"id", "state", "queue_position", "records_tested", "bytes_read",
//  "bytes_total", "files": [names], "created", "started", "ended",
//  "outcome", "problem", "summary"}; summary is the check's summary object
// as `lintaro-cli check --format json` prints it (null until it ended).
std::string StatusJson(const CheckStatus& status);
// {"checks": [{"id", "files", "state", "created", "started", "ended", "outcome"}, ...]}
std::string ListJson(const std::vector<CheckStatus>& checks);
// {"status": "ok", "version", "queue": N, "running": N}
std::string HealthJson(int64_t queue, int64_t running);
// {"error": {"code", "message"}}
std::string ErrorJson(const std::string& code, const std::string& message);
// {"id", "status_url"}
std::string CreatedJson(const std::string& id);

}  // namespace lintaro

#endif  // LINTARO_SERVE_API_JSON_H_
