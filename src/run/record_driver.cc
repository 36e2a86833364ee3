#include "run/record_driver.h"

#include <string_view>
#include <vector>

#include "checks/field_layout.h"
#include "platform/viewer_rows.h"
#include "run/record_dispatch.h"
#include "run/sequence_rules.h"
#include "store/rows.h"

namespace lintaro {
namespace {

void FillFieldsForRun(const std::string& txtline, int32_t rec_ctr, CheckContext& ctx) {
  RunState& s = ctx.state;
  const std::string_view id = RecordIdentifier(txtline);
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
  // A record the run stopped at before checking it (its length, its
  // identifier, its place in the sequence) holds one finding, the critical
  // one, and is shown without its checks. A record whose checks ran holds
  // their findings first; the run may have added a critical one after them
  // (the error limit reached, the submission ending without its final
  // record), and its fields in error are marked all the same.
  const std::vector<ErrorRow> findings = ctx.results.ErrorsOf(rec_ctr);
  const bool critical = !findings.empty() && findings.front().type == "C";
  const bool sequence_critical = !findings.empty() && findings.back().type == "C" &&
                                 findings.back().reference == kSequenceReference;
  ViewerRows* rows = ctx.rows;
  const std::string id(RecordIdentifier(txtline));
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

void FillFields(const std::string& txtline, int32_t rec_ctr, CheckContext& ctx) {
  if (ctx.viewing())
    FillFieldsForViewer(txtline, rec_ctr, ctx);
  else
    FillFieldsForRun(txtline, rec_ctr, ctx);
}

}  // namespace lintaro
