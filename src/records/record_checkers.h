// The checkers and viewer row fillers of the submitter (RCA), employer
// (RCE), employee (RCW, RCO) and final (RCF) records. Each checker applies
// every rule of its record type to txtline (the 1,024-character record) and
// reports through ctx.recorder; each filler gives the viewer one row per
// field of the layout.
#ifndef LINTARO_RECORDS_RECORD_CHECKERS_H_
#define LINTARO_RECORDS_RECORD_CHECKERS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "checks/field_layout.h"

namespace lintaro {

struct CheckContext;
class ViewerRows;

// The number of fields (viewer rows) of the layouts kept beside their
// checkers; the employee layouts are in records/employee_layouts.h.
inline constexpr size_t kRCAFieldCount = 29;
inline constexpr size_t kRCEFieldCount = 24;
inline constexpr size_t kRCFFieldCount = 3;

void CheckCodeRCA(const std::string& txtline, CheckContext& ctx);
// The RCA contact's e-mail address, which keeps its case when the record is
// stored.
const FieldSpec& RcaEmailField();
void CheckCodeRCE(const std::string& txtline, CheckContext& ctx);
void CheckCodeRCW(const std::string& txtline, CheckContext& ctx);
void CheckCodeRCO(const std::string& txtline, CheckContext& ctx);
void CheckCodeRCF(const std::string& txtline, CheckContext& ctx);

void FillRCAlabels(const std::string& txtline, ViewerRows& rows);
void FillRCElabels(const std::string& txtline, ViewerRows& rows);
void FillRCWlabels(const std::string& txtline, ViewerRows& rows);
void FillRCOlabels(const std::string& txtline, ViewerRows& rows);
void FillRCFlabels(const std::string& txtline, ViewerRows& rows);

// The employer's Correct EIN of an RCE record (positions 17-25), as stored;
// shorter when the record is.
std::string EmployerEinOf(std::string_view rce_record);
// The Employer's Name of an RCE record (positions 44-100), as stored.
std::string EmployerNameOf(std::string_view rce_record);

// The employer values the checks of an employee or total record read.
struct EmployerValues {
  int32_t TaxYear = 0;         // the Tax Year when numeric, else 0
  std::string TaxYearText;     // the Tax Year as found
  std::string EmploymentCode;  // the Employer's Correct Employment Code
};

// The values an employer record (RCE) sets for the records of its block,
// taken from its text as CheckCodeRCE takes them; a short record gives
// the fields it holds.
EmployerValues EmployerValuesOf(std::string_view rce_record);

}  // namespace lintaro

#endif  // LINTARO_RECORDS_RECORD_CHECKERS_H_
