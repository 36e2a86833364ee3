// The RCF final record: it ends the submission and states how many RCW
// records the whole submission holds.
#include <array>

#include "checks/field_checks.h"
#include "checks/field_layout.h"
#include "core/check_context.h"
#include "records/record_checkers.h"

namespace lintaro {
namespace {

enum RcfField { kId, kRcwCount, kBlank };

constexpr std::array<FieldSpec, kRCFFieldCount> kRCF = {{
    {kId, 1, 3, "Record Identifier", ""},
    {kRcwCount, 4, 9, "Number of RCW Records", ""},
    {kBlank, 13, 1012, "Blank", ""},
}};

}  // namespace

void CheckCodeRCF(const std::string& txtline, CheckContext& ctx) {
  // Every RCW stored so far, of every employer, with or without errors: in
  // a run the ones before this record, in the viewer all of the file's.
  const int64_t stored = ctx.results.CountRecordsWithId("RCW");
  const FieldSpec& count = kRCF[kRcwCount];
  const std::string_view stated = FieldText(txtline, count);
  if (!NumCheck(stated)) {
    ctx.recorder.FieldError(Reference(count), UserEntry(stated),
                            "Must be numeric. Right justify and zero fill.", kRcwCount);
  } else if (AmountValue(stated) != stored) {
    ctx.recorder.FieldError(
        Reference(count), UserEntry(stated),
        "The number of RCW records in the submission does not equal the value in the RCF record.",
        kRcwCount);
  }
  CharField(txtline, kRCF[kBlank], ctx);
}

void FillRCFlabels(const std::string& txtline, ViewerRows& rows) { FillRows(kRCF, txtline, rows); }

}  // namespace lintaro
