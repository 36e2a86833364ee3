// check.json in a check's folder: what the service keeps of a check so that
// it holds it again after a restart (its files' names and sizes, times,
// state and summary). Written as the check is queued, as each file of an
// upload it reads while it arrives begins, and as it ends; one read back in
// the state "queued" or "running" is of a service that was killed.
// Written for its owner only, and replaced whole: a write that fails or is
// killed leaves the one before.
#ifndef LINTARO_SERVE_CHECK_META_H_
#define LINTARO_SERVE_CHECK_META_H_

#include <string>

#include "serve/check_job.h"

namespace lintaro {

// Writes job's fields into folder/check.json; false, the file as it was,
// when it cannot.
bool WriteCheckMeta(const CheckJob& job);
// Reads a check of folder back into job; false when there is no readable check.json.
bool ReadCheckMeta(const std::string& folder, CheckJob& job);

}  // namespace lintaro

#endif  // LINTARO_SERVE_CHECK_META_H_
