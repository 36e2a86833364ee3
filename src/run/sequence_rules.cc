#include "run/sequence_rules.h"

#include "checks/field_checks.h"
#include "checks/field_layout.h"
#include "core/check_context.h"
#include "core/framer.h"
#include "store/run_results.h"

namespace lintaro {
namespace {

// The sequence rule that decides for a previous record, if any: the
// identifiers allowed after it and the message when another follows.
struct SequenceRule {
  bool applies = false;
  bool allowed = true;
  const char* message = "";
};

SequenceRule RuleFor(std::string_view prev, std::string_view cur, const RunState& s) {
  if (prev == "RCE")
    return {true, !OneOf(cur, {"RCA", "RCE", "RCO", "RCS", "RCT", "RCU", "RCV", "RCF"}),
            "RCW record must follow RCE record."};
  if (prev == "RCW")
    return {true, OneOf(cur, {"RCW", "RCO", "RCT", "RCS"}),
            "RCW or RCO or RCT or RCS record must follow RCW record."};
  if (prev == "RCO")
    return {true, OneOf(cur, {"RCW", "RCS", "RCT"}),
            "RCW or RCS or RCT record must follow RCO record."};
  if (prev == "RCS")
    return {true, OneOf(cur, {"RCW", "RCS", "RCT"}),
            "RCW or RCS or RCT record must follow RCS record."};
  if (prev == "RCV")
    return {true, OneOf(cur, {"RCE", "RCF"}), "RCE or RCF record must follow RCV record."};
  if (prev == "RCT" && s.RCOFound)
    return {true, cur == "RCU",
            "RCU record must follow RCT record whenever RCO record is generated."};
  if (prev == "RCT" && !s.RCOFound && !s.RCSFound)
    return {true, OneOf(cur, {"RCE", "RCF"}),
            "RCE or RCF record must follow RCT record whenever RCO or RCS record is not "
            "generated."};
  if ((prev == "RCT" || prev == "RCU") && !s.RCSFound)
    return {true, OneOf(cur, {"RCE", "RCF"}),
            "RCE or RCF record must follow RCT or RCU record whenever RCS record is not "
            "generated."};
  return {};
}

bool StartsWithEndOfFileMark(std::string_view id) {
  return !id.empty() && (id[0] == '\x1a' || id[0] == '\0');
}

FileRuleVerdict Stop(std::string reference, std::string entry, std::string message) {
  return {FileRuleVerdict::kStop, {std::move(reference), std::move(entry), std::move(message)}};
}

// The user entry of a finding against the record's identifier: "[RCW]".
// Made only for a finding: nearly every record passes these rules.
std::string Entry(std::string_view rec_id) { return "[" + std::string(rec_id) + "]"; }

}  // namespace

FileRuleVerdict ApplyFileRules(int32_t rec_ctr, std::string_view rec_id, std::string_view record,
                               size_t found_length, const RecordRow* previous) {
  if (rec_ctr == 1 && record.substr(0, 2) == "RA" && record.size() >= 3 && record[2] >= '0' &&
      record[2] <= '9') {
    return Stop("Record Identifier [Position 1 - 3]", Entry(rec_id),
                "The first three characters in the tested file are " +
                    std::string(RecordIdentifier(record)) +
                    " . This appears to be an Ostrel formatted file. The Lintaro application "
                    "should be used to test Korvel formatted files only.");
  }
  if (rec_ctr == 1 && rec_id != "RCA")
    return Stop(kSequenceReference, Entry(rec_id), "Record 1 must be RCA record.");
  if (rec_ctr == 2 && rec_id != "RCE")
    return Stop(kSequenceReference, Entry(rec_id), "Record 2 must be RCE record.");
  if (rec_ctr > 1) {
    const bool after_final = previous != nullptr && previous->id == "RCF";
    if (StartsWithEndOfFileMark(rec_id)) {
      // End-of-file filler: anything but marks after the final record is a
      // record after the final record; otherwise the file simply ends here.
      for (char c : record) {
        if (c != '\0' && c != '\x1a' && after_final)
          return Stop(kSequenceReference, Entry(rec_id), "RCF record must be last record in file.");
      }
      return {FileRuleVerdict::kEndOfFile, {}};
    }
    if (after_final)
      return Stop(kSequenceReference, Entry(rec_id), "RCF record must be last record in file.");
  }
  if (found_length < kRecordLength) {
    return Stop("Record Length", std::to_string(found_length) + " bytes.",
                "Must be 1024 bytes for Korvel files. This condition may also be generated if "
                "the previous record is greater than 1024 bytes or if there is a Carriage "
                "Return/Line Feed within a record.");
  }
  return {};
}

CriticalFinding InvalidRecordIdentifier(std::string_view rec_id) {
  return {"Invalid Record Identifier [Position 1 - 3]", "[" + std::string(rec_id) + "]",
          "Enter appropriate code: RCW, RCO, RCS, RCT, RCU, RCV or RCF. This condition may also "
          "be caused by an incorrect record length."};
}

CriticalFinding MissingFinalRecord(std::string_view last_id) {
  const std::string id(last_id);
  return {kSequenceReference, "[" + id + "]",
          "Submission must not end with " + id +
              " record. RCF record was not found. Submission must end with a final record."};
}

void CheckSequence(CheckContext& ctx) {
  RunState& s = ctx.state;
  if (s.RecCtr < 2 || ctx.run == nullptr || !ctx.run->has_current()) return;
  const std::string* previous = ctx.run->previous_id();
  if (previous == nullptr) return;
  const std::string& cur = ctx.run->current().id;
  SequenceRule rule = RuleFor(*previous, cur, s);
  if (!rule.applies || rule.allowed) return;
  ctx.recorder.AddCritError(kSequenceReference, "[" + s.RecId + "]", rule.message);
  s.SeqError = true;
}

}  // namespace lintaro
