// A stored finding taken apart for the machine-readable reports: the
// field's name and positions from its reference, the user entry without its
// brackets, and which number names the record.
#ifndef LINTARO_REPORTS_FINDING_PARTS_H_
#define LINTARO_REPORTS_FINDING_PARTS_H_

#include <optional>
#include <string>
#include <string_view>

namespace lintaro {

struct Positions {
  int start = 0;
  int end = 0;
  friend bool operator==(const Positions&, const Positions&) = default;
};

struct FindingParts {
  std::string field;                   // the reference without " [Position ...]"
  std::optional<Positions> positions;  // none when the reference names none
  std::string user_entry;              // without the surrounding [ ]
};

// reference: "Name [Position S - E]", "Name [Position N]" or a plain label
// ("Record Length", "Test Aborted"); user_entry: "[...]" or a plain text.
FindingParts SplitFinding(std::string_view reference, std::string_view user_entry);

// "ein" for the submitter, employer and employer total records, nothing for
// the final record, "ssn" for the rest (the key of the record's reference).
std::optional<std::string> ReferenceKindOf(std::string_view record_id);

// Whether a record of this identifier belongs to the employer's block it
// stands in: every record but the final record. (The submitter record that
// opens the submission stands in no block; one out of place after an
// employer record is that employer's, as is the stop it causes.)
bool BelongsToEmployer(std::string_view record_id);

// "mm/dd/yyyy" as ISO 8601 "yyyy-mm-dd"; nothing when it is not such a date.
std::optional<std::string> IsoDate(std::string_view mm_dd_yyyy);

}  // namespace lintaro

#endif  // LINTARO_REPORTS_FINDING_PARTS_H_
