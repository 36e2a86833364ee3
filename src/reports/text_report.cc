#include "reports/text_report.h"

#include "store/cp1252.h"
#include "store/results_db.h"

namespace lintaro {

bool BuildTextReport(ResultsDb& db, ReportBuffer& out, const PieceHandler& after_block,
                     const ReportFilter& filter) {
  const ReportHeader header = ReadReportHeader(db, filter);

  if (!header.notice.empty()) {
    out.Append(header.notice);
    out.Append("\r\n\r\n");
  }
  out.Append("\t");
  out.Append(ReportTitle());
  out.Append("\r\n\r\n");
  if (!header.scope_heading.empty()) {
    out.Append("\t");
    out.Append(header.scope_heading);
    out.Append("\r\n\r\n");
  }
  out.Append(SourceLine(header.paths));
  out.Append("\r\n\r\n");
  out.Append("\r\n\t");
  out.Append(header.date);
  out.Append("\r\n\r\n");
  out.Append(Cp1252ToUtf8(TerminationHeading(header)));
  out.Append(Cp1252ToUtf8(TerminationMessage(header)));
  out.Append(kCrLf);
  out.Append(CountLineTested(header.records_tested));
  out.Append(kCrLf);
  out.Append(CountLineWithErrors(header.records_with_errors));
  out.Append(kCrLf);
  out.Append(CountLineFound(header.errors));
  out.Append(kCrLf);

  RecordOpenings openings;
  return WriteFindings(db, filter, false, out, after_block,
                       [&](const ReportRow& row, const std::string&) {
                         if (openings.Opens(row)) {
                           out.Append("\r\n\t");
                           out.Append(Cp1252ToUtf8(RecordHeading(row)));
                           out.Append(kCrLf);
                         }
                         out.Append("Err Num: \t\t");
                         out.Append(std::to_string(row.err_num));
                         out.Append("\r\nReference: \t\t");
                         out.Append(Cp1252ToUtf8(row.reference));
                         out.Append("\r\nUser Entry: \t\t");
                         out.Append(Cp1252ToUtf8(row.user_entry));
                         out.Append("\r\nError Description: \t");
                         out.Append(Cp1252ToUtf8(row.error));
                         out.Append("\r\n\r\n");
                       });
}

}  // namespace lintaro
