#include "reports/html_report.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <filesystem>

#include "reports/report_files.h"
#include "store/cp1252.h"
#include "store/results_db.h"

namespace lintaro {

namespace {

void AppendCodePoint(std::string& out, char32_t c) {
  switch (c) {
    case '&':
      out += "&amp;";
      return;
    case '<':
      out += "&lt;";
      return;
    case '>':
      out += "&gt;";
      return;
    case '"':
      out += "&quot;";
      return;
    case 0:
      out += "&#65533;";
      return;  // a NUL cannot appear in HTML
    default:
      break;
  }
  if (c < 0x80) {
    out += static_cast<char>(c);
    return;
  }
  out += "&#";
  out += std::to_string(static_cast<uint32_t>(c));
  out += ';';
}

}  // namespace

void AppendHtmlCp1252(std::string& out, std::string_view cp1252) {
  for (char ch : cp1252) AppendCodePoint(out, Cp1252ToCodePoint(static_cast<unsigned char>(ch)));
}

void AppendHtmlUtf8(std::string& out, std::string_view utf8) {
  for (size_t i = 0; i < utf8.size();) AppendCodePoint(out, DecodeUtf8(utf8, i));
}

int PreTextWidth(int screen_width_pixels) {
  // Round half to even, as the program has always done.
  return static_cast<int>(std::nearbyint(screen_width_pixels / 10.0 - 45.0));
}

std::vector<std::string_view> SplitPreText(std::string_view text, int width) {
  std::vector<std::string_view> pieces;
  if (width < 1 || text.size() < static_cast<size_t>(width)) {
    pieces.push_back(text);
    return pieces;
  }
  // Breaks fall before positions W, 2W, ... (1-based): the first piece holds
  // W - 1 characters, every further piece W.
  const size_t w = static_cast<size_t>(width);
  size_t start = 0;
  for (size_t pos = w; pos <= text.size(); pos += w) {
    pieces.push_back(text.substr(start, pos - 1 - start));
    start = pos - 1;
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

std::string BreakPreText(std::string_view text, int width) {
  std::string out;
  bool first = true;
  for (std::string_view piece : SplitPreText(text, width)) {
    if (!first) out += "</pre><pre>";
    first = false;
    AppendHtmlCp1252(out, piece);
  }
  return out;
}

namespace {

// The document's start: title, tested files, date, why testing stopped, the
// counts and the head of the findings table.
std::string HtmlHead(const ReportHeader& header) {
  std::string s;
  s.reserve(4096);
  s += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2 Final//EN\"> ";
  s += "<HTML><HEAD><TITLE>Lintaro Error Report</title></HEAD><BODY ";
  s += "background=\"wagemarkhalf.gif\" bgColor=white><Center>";
  if (!header.notice.empty()) {
    s += "<P><b>";
    AppendHtmlUtf8(s, header.notice);
    s += "</b><P>";
  }
  s += "<H1>";
  AppendHtmlUtf8(s, ReportTitle());
  s += "</H1>";
  if (!header.scope_heading.empty()) {
    s += "<H2>";
    AppendHtmlUtf8(s, header.scope_heading);
    s += "</H2>";
  }
  s += "<P>";
  AppendHtmlUtf8(s, SourceLine(header.paths));
  s += "<P>";
  s += "<P>";
  AppendHtmlUtf8(s, header.date);
  s += "<P>";
  s += "<b>";
  AppendHtmlCp1252(s, TerminationHeading(header));
  s += "<BR>";
  AppendHtmlCp1252(s, TerminationMessage(header));
  s += "</b><P>";
  s += "<table CELLSPACING=2 BORDER=0 WIDTH=\"100%\"><tr><td WIDTH=\"45%\" "
       "align=right>";
  s += std::to_string(header.records_tested);
  s += "</td><td>";
  s += "Record(s) tested</td></tr>";
  s += "<tr><td align=right>";
  s += std::to_string(header.records_with_errors);
  s += "</td><td>";
  s += "Record(s) with Error(s)</td></tr>";
  s += "<tr><td align=right>";
  s += std::to_string(header.errors);
  s += "</td><td>";
  s += "Error(s) found</td></tr></table><p>";
  s += "<table border=1 CellSpacing=1 CellPadding=1 width=\"95%\">";
  s += "<tr><th valign=middle>Err Num</th><th valign=middle>Reference</th>"
       "<th valign=middle>User Entry</th><th valign=middle>Error "
       "Description</th></tr>";
  return s;
}

// The row that heads a record's findings.
void AppendHtmlRecordHeading(std::string& s, const ReportRow& row) {
  s += "<tr><td colspan=4 align=center valign=middle>";
  s += "<b>Record number: ";
  s += std::to_string(row.rec_num);
  s += "&nbsp;&nbsp;&nbsp;&nbsp;Code: ";
  AppendHtmlCp1252(s, row.id);
  s += "&nbsp&nbsp&nbsp&nbsp;";
  AppendHtmlCp1252(s, Identification(row.id, row.rec_reference));
  s += "</b></td></tr>";
}

// One finding's row.
void AppendHtmlFinding(std::string& s, const ReportRow& row, int pre_width) {
  s += "<tr><td align=\"center\" valign=\"center\">";
  s += std::to_string(row.err_num);
  s += "</td>";
  s += "<td WIDTH=\"30%\" valign=\"center\">";
  AppendHtmlCp1252(s, row.reference);
  s += "</td>";
  s += "<td valign=\"center\"><pre>";
  s += BreakPreText(row.user_entry, pre_width);
  s += "</pre></td>";
  s += "<td WIDTH=\"35%\" valign=\"center\">";
  AppendHtmlCp1252(s, row.error);
  s += "</td></tr>";
}

}  // namespace

bool BuildHtmlReport(ResultsDb& db, ReportBuffer& out, int pre_width, const PieceHandler& after_row,
                     const ReportFilter& filter) {
  out.Append(HtmlHead(ReadReportHeader(db, filter)));
  RecordOpenings openings;
  std::string s;
  const bool completed = WriteFindings(db, filter, false, out, after_row,
                                       [&](const ReportRow& row, const std::string&) {
                                         s.clear();
                                         if (openings.Opens(row)) AppendHtmlRecordHeading(s, row);
                                         AppendHtmlFinding(s, row, pre_width);
                                         // The markup is ASCII: its length in bytes is its length
                                         // in characters.
                                         out.text += s;
                                         out.chars += s.size();
                                       });
  if (completed) out.Append("</table></center></BODY></html>");
  return completed;
}

std::string WriteHtmlFile(const std::string& program_folder, std::string& html) {
  const std::string path = (std::filesystem::path(program_folder) / kHtmlFileName).string();
  const bool new_file = html.empty() || (html.size() > 9 && html.compare(0, 9, "<!DOCTYPE") == 0);
  if (new_file && ::unlink(path.c_str()) != 0 && errno != ENOENT)
    throw ReportFileError("Cannot replace " + path);
  if (html.empty()) html = kHtmlPlaceholder;
  std::string piece;
  piece.reserve(html.size() + 2);
  piece.append(html);
  piece.append("\r\n");
  AppendToFile(path, piece);
  return path;
}

std::string PathToUrl(const std::string& path) {
  if (path.empty() || path.front() != '/') return {};
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string url = "file://";
  for (unsigned char c : path) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 0xF];
    }
  }
  return url;
}

}  // namespace lintaro
