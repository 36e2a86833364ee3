// The per-record driver: recognises a record's identifier, applies the
// record sequence rules (run/sequence_rules.h) and calls the record type's
// checker (run/record_dispatch.h).
//
// One body serves the test run, where findings become Errors rows, and the
// record viewer (RunState::Viewing), where it builds the viewer's rows for
// the record type, re-runs the checker so that findings mark fields, and
// fills the rows.
#ifndef LINTARO_RUN_RECORD_DRIVER_H_
#define LINTARO_RUN_RECORD_DRIVER_H_

#include <cstdint>
#include <string>

#include "core/check_context.h"

namespace lintaro {

// txtline: in a test run the upper-cased record just stored as the current
// Records row; in the viewer the stored record text. rec_ctr: its number.
void FillFields(const std::string& txtline, int32_t rec_ctr, CheckContext& ctx);

}  // namespace lintaro

#endif  // LINTARO_RUN_RECORD_DRIVER_H_
