#include "core/test_driver.h"

#include <initializer_list>
#include <string_view>

#include "core/viewer_rows.h"
#include "records/record_types.h"
#include "store/run_results.h"

namespace lintaro {
namespace {

bool OneOf(std::string_view id, std::initializer_list<std::string_view> ids) {
  for (std::string_view candidate : ids)
    if (id == candidate) return true;
  return false;
}

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

void FillFieldsForRun(const std::string& txtline, int32_t rec_ctr, CheckContext& ctx) {
  RunState& s = ctx.state;
  const std::string_view id = std::string_view(txtline).substr(0, 3);
  const RecordType* type = FindRecordType(id);
  if (type == nullptr) {
    s.BadRecId = true;
    return;
  }
  if (id == "RCO") s.RCOFound = true;
  if (id == "RCS") s.RCSFound = true;
  CheckSequence(ctx);
  if (id == "RCE") {
    s.RCOFound = false;
    s.RCSFound = false;
  }
  if (!s.SeqError && type->check != nullptr) type->check(txtline, rec_ctr, ctx);
}

void FillFieldsForViewer(const std::string& txtline, int32_t rec_ctr, CheckContext& ctx) {
  bool critical = false;
  bool sequence_critical = false;
  if (auto last = ctx.results.LastErrorOf(rec_ctr); last && last->type == "C") {
    critical = true;
    sequence_critical = last->reference == kSequenceReference;
  }
  ViewerRows* rows = ctx.rows;
  const std::string id(std::string_view(txtline).substr(0, 3));
  const RecordType* type = FindRecordType(id);
  if (type != nullptr && type->check != nullptr) {
    if (rows) rows->Build(type->rows);
    if (!critical) type->check(txtline, rec_ctr, ctx);
    if (rows) type->fill(txtline, *rows);
  } else if (rows) {
    rows->Build(1);
    rows->SetRow(0, "Record Identifier", id);
    if (type == nullptr) rows->Mark(0);
  }
  if (sequence_critical && rows) rows->Mark(0);
}

}  // namespace

void CheckSequence(CheckContext& ctx) {
  RunState& s = ctx.state;
  if (s.RecCtr < 2 || ctx.run == nullptr || !ctx.run->has_current()) return;
  const RecordRow* previous = ctx.run->previous();
  if (previous == nullptr) return;
  const std::string& cur = ctx.run->current().id;
  SequenceRule rule = RuleFor(previous->id, cur, s);
  if (!rule.applies || rule.allowed) return;
  ctx.recorder.AddCritError(kSequenceReference, "[" + s.RecId + "]", rule.message);
  s.SeqError = true;
}

void FillFields(const std::string& txtline, int32_t rec_ctr, CheckContext& ctx) {
  if (ctx.viewing())
    FillFieldsForViewer(txtline, rec_ctr, ctx);
  else
    FillFieldsForRun(txtline, rec_ctr, ctx);
}

}  // namespace lintaro
