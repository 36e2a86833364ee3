#include "reports/report_format.h"

#include <array>

#include "reports/csv_report.h"
#include "reports/html_report.h"
#include "reports/json_report.h"
#include "reports/text_report.h"

namespace lintaro {
namespace {

bool WriteText(ResultsDb& db, const ReportFilter& filter, ReportBuffer& out,
               const PieceHandler& piece) {
  return BuildTextReport(db, out, piece, filter);
}

// As the browser is given it, laid out for the default screen, and ended by
// a line end.
bool WriteHtml(ResultsDb& db, const ReportFilter& filter, ReportBuffer& out,
               const PieceHandler& piece) {
  if (!BuildHtmlReport(db, out, PreTextWidth(kDefaultScreenWidthPixels), piece, filter))
    return false;
  out.Append(kCrLf);
  return true;
}

bool WriteJson(ResultsDb& db, const ReportFilter& filter, ReportBuffer& out,
               const PieceHandler& piece) {
  return BuildJsonReport(db, out, piece, filter);
}

bool WriteCsv(ResultsDb& db, const ReportFilter& filter, ReportBuffer& out,
              const PieceHandler& piece) {
  return BuildCsvReport(db, out, piece, filter);
}

constexpr std::array<ReportFormat, 4> kReportFormats = {{
    {"text", "text/plain; charset=utf-8", "txt", WriteText, CleanRunShows::kSentence,
     DesktopShows::kReportWindow, "&Text"},
    {"html", "text/html; charset=utf-8", "html", WriteHtml, CleanRunShows::kSentence,
     DesktopShows::kBrowser, "&HTML"},
    {"json", "application/json", "json", WriteJson, CleanRunShows::kWholeReport,
     DesktopShows::kNotOffered, ""},
    {"csv", "text/csv; charset=utf-8", "csv", WriteCsv, CleanRunShows::kWholeReport,
     DesktopShows::kNotOffered, ""},
}};
static_assert(kReportFormats[0].name == "text" && kReportFormats[2].name == "json",
              "TextReportFormat and JsonReportFormat name their rows");

}  // namespace

std::span<const ReportFormat> ReportFormats() { return kReportFormats; }

const ReportFormat& DefaultReportFormat() { return kReportFormats.front(); }

const ReportFormat& TextReportFormat() { return kReportFormats[0]; }

const ReportFormat& JsonReportFormat() { return kReportFormats[2]; }

const ReportFormat* FindReportFormat(std::string_view name) {
  for (const ReportFormat& format : kReportFormats)
    if (format.name == name) return &format;
  return nullptr;
}

std::string ReportFormatList(std::string_view marked) {
  std::string list;
  for (size_t i = 0; i < kReportFormats.size(); ++i) {
    if (i > 0) list += i + 1 == kReportFormats.size() ? " or " : ", ";
    list += kReportFormats[i].name;
    if (i == 0) list += marked;
  }
  return list;
}

}  // namespace lintaro
