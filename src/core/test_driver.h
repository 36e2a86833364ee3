// The per-record driver: recognises a record's identifier, applies the
// record sequence rules and calls the record type's checker.
//
// One body serves the test run, where findings become Errors rows, and the
// record viewer (RunState::Viewing), where it builds the viewer's rows for
// the record type, re-runs the checker so that findings mark fields, and
// fills the rows.
#ifndef LINTARO_CORE_TEST_DRIVER_H_
#define LINTARO_CORE_TEST_DRIVER_H_

#include <cstdint>
#include <string>

#include "core/check_context.h"

namespace lintaro {

inline constexpr const char* kSequenceReference = "Sequence of Records [Position 1 - 3]";

// txtline: in a test run the upper-cased record just stored as the current
// Records row; in the viewer the stored record text. rec_ctr: its number.
void FillFields(const std::string& txtline, int32_t rec_ctr, CheckContext& ctx);

// Applies the sequence rules to the last two stored records (test run only);
// records a critical finding and sets SeqError when one is violated.
void CheckSequence(CheckContext& ctx);

}  // namespace lintaro

#endif  // LINTARO_CORE_TEST_DRIVER_H_
