// The record types of a submission and, for each, its checker, its row
// filler and the number of rows the viewer shows for it: the one place that
// ties a record identifier to the code that checks and shows the record.
#ifndef LINTARO_RUN_RECORD_DISPATCH_H_
#define LINTARO_RUN_RECORD_DISPATCH_H_

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
  int rows;             // rows of the viewer
  RecordChecker check;  // null for RCS and RCV: sequence rules only
  RowFiller fill;       // null for RCS and RCV
};

// The nine identifiers in dispatch order: RCA, RCE, RCW, RCO, RCS, RCT,
// RCU, RCV, RCF. Returns null for anything else.
const RecordType* FindRecordType(std::string_view id);

}  // namespace lintaro

#endif  // LINTARO_RUN_RECORD_DISPATCH_H_
