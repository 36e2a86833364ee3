// The record types of a submission and, for each, its checker, its row
// filler and the number of rows the viewer shows for it.
#ifndef LINTARO_RECORDS_RECORD_TYPES_H_
#define LINTARO_RECORDS_RECORD_TYPES_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace lintaro {

struct CheckContext;
class ViewerRows;

// Applies every rule of one record type to txtline (the 1,024-character
// record) and reports through ctx.recorder. rec_num is the record's number.
using RecordChecker = void (*)(const std::string& txtline, int32_t rec_num, CheckContext& ctx);
// Fills the viewer's rows with the labels and contents of txtline's fields.
using RowFiller = void (*)(const std::string& txtline, ViewerRows& rows);

struct RecordType {
  std::string_view id;
  int rows;               // rows of the viewer
  RecordChecker check;    // null for RCS and RCV: sequence rules only
  RowFiller fill;         // null for RCS and RCV
};

// The nine identifiers in dispatch order: RCA, RCE, RCW, RCO, RCS, RCT,
// RCU, RCV, RCF. Returns null for anything else.
const RecordType* FindRecordType(std::string_view id);

// The checkers and fillers of each type.
void CheckCodeRCA(const std::string& txtline, CheckContext& ctx);
void CheckCodeRCE(const std::string& txtline, CheckContext& ctx);
void CheckCodeRCW(const std::string& txtline, CheckContext& ctx);
// Positions 442 to 1024 of the RCW record; CheckCodeRCW ends with it.
void CheckCodeRCW2(const std::string& txtline, CheckContext& ctx);
void CheckCodeRCO(const std::string& txtline, CheckContext& ctx);
void CheckCodeRCT(const std::string& txtline, int32_t rec_ctr, CheckContext& ctx);
void CheckCodeRCU(const std::string& txtline, int32_t rec_ctr, CheckContext& ctx);
void CheckCodeRCF(const std::string& txtline, CheckContext& ctx);

void FillRCAlabels(const std::string& txtline, ViewerRows& rows);
void FillRCElabels(const std::string& txtline, ViewerRows& rows);
void FillRCWlabels(const std::string& txtline, ViewerRows& rows);
void FillRCOlabels(const std::string& txtline, ViewerRows& rows);
void FillRCTlabels(const std::string& txtline, ViewerRows& rows);
void FillRCUlabels(const std::string& txtline, ViewerRows& rows);
void FillRCFlabels(const std::string& txtline, ViewerRows& rows);

// The employer's Correct EIN of an RCE record (positions 17-25), as stored;
// shorter when the record is.
std::string EmployerEinOf(std::string_view rce_record);

}  // namespace lintaro

#endif  // LINTARO_RECORDS_RECORD_TYPES_H_
