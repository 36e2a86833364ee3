// The formats of the error report, one row each: the name --format and the
// service's ?format= take, how a report in it is handed over (content type,
// file extension), its writer, what is shown for a finished check without
// findings, and how the desktop program offers it. Option parsing, help,
// the desktop's Report Option and the service all read this table; a new
// format is its writer and one row.
#ifndef LINTARO_REPORTS_REPORT_FORMAT_H_
#define LINTARO_REPORTS_REPORT_FORMAT_H_

#include <span>
#include <string>
#include <string_view>

#include "reports/report_content.h"
#include "reports/report_scope.h"

namespace lintaro {

class ResultsDb;

// Builds the report of the results in db into out, calling piece after each
// finding so that a large report is handed on in pieces. Returns false
// when piece stopped it.
using ReportWriter = bool (*)(ResultsDb& db, const ReportFilter& filter, ReportBuffer& out,
                              const PieceHandler& piece);

// What a report shown (on standard output, or by the service) holds for a
// finished check without findings.
enum class CleanRunShows {
  // kNoErrorsSentence alone: a report read by people. Such a report also
  // begins with the notice of a check that did not finish.
  kSentence,
  // The whole report: a report read by programs.
  kWholeReport,
};

// What the desktop program does with a format chosen in its Report Option.
enum class DesktopShows {
  kNotOffered,
  kReportWindow,  // the report window, which also prints
  kBrowser,       // the default web browser
};

struct ReportFormat {
  std::string_view name;
  std::string_view content_type;
  std::string_view extension;  // without the dot
  ReportWriter write;
  CleanRunShows clean_run;
  DesktopShows desktop;
  std::string_view desktop_caption;  // the Report Option's button, "&" before its key
};

// Every format, the default first.
std::span<const ReportFormat> ReportFormats();
const ReportFormat& DefaultReportFormat();
// The two reports batch and the service keep beside each check's results.
const ReportFormat& TextReportFormat();
const ReportFormat& JsonReportFormat();
// The format of that name, or null.
const ReportFormat* FindReportFormat(std::string_view name);
// The names as help and messages list them: "text, html, json or csv", with
// marked after the default's name.
std::string ReportFormatList(std::string_view marked = "");

}  // namespace lintaro

#endif  // LINTARO_REPORTS_REPORT_FORMAT_H_
