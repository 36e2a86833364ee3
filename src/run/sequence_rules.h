// The rules on the order and the framing of a submission's records, as
// opposed to the rules on their fields: the file-level rules (what records
// 1 and 2 must be, nothing after the final record, the end-of-file marks,
// the record length, a known identifier, the final record at the end) and
// the record sequence rules (which identifiers may follow which). Every
// violation is a critical finding: it stops the run after its record.
#ifndef LINTARO_RUN_SEQUENCE_RULES_H_
#define LINTARO_RUN_SEQUENCE_RULES_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "store/rows.h"

namespace lintaro {

struct CheckContext;

inline constexpr const char* kSequenceReference = "Sequence of Records [Position 1 - 3]";

// A critical finding of a file-level rule, as the recorder stores it.
struct CriticalFinding {
  std::string reference;
  std::string user_entry;
  std::string message;
};

// What the file-level rules make of a record read, before it is stored and
// checked.
struct FileRuleVerdict {
  enum Kind {
    kCheck,      // the record goes on to its checks
    kStop,       // finding is recorded and the run stops
    kEndOfFile,  // end-of-file filler: the record is not one, the file ends
  };
  Kind kind = kCheck;
  CriticalFinding finding;  // kStop only
};

// The file-level rules that decide before a record is checked. rec_ctr: the
// record's number; rec_id: positions 1-3 as found (" " when empty); record:
// the record as stored (upper-cased, at most 1,024 characters);
// found_length: its length as framed, before it was cut; previous: the
// record stored before it, or null.
FileRuleVerdict ApplyFileRules(int32_t rec_ctr, std::string_view rec_id, std::string_view record,
                               size_t found_length, const RecordRow* previous);

// The finding for a record whose identifier is none of the nine.
CriticalFinding InvalidRecordIdentifier(std::string_view rec_id);

// The finding when the submission's files end without the final record;
// last_id is the identifier of the last record stored.
CriticalFinding MissingFinalRecord(std::string_view last_id);

// Applies the sequence rules to the last two stored records (test run only);
// records a critical finding and sets SeqError when one is violated.
void CheckSequence(CheckContext& ctx);

}  // namespace lintaro

#endif  // LINTARO_RUN_SEQUENCE_RULES_H_
