// The HTML error report and the temporary file temphtm.HTM it is shown from.
//
// Every value inserted into the markup is escaped (&, <, >, ") and every
// character outside ASCII is written as a numeric character reference, so
// the markup is plain ASCII and shows the submission's characters as they
// are whatever character set the browser assumes.
#ifndef LINTARO_REPORTS_HTML_REPORT_H_
#define LINTARO_REPORTS_HTML_REPORT_H_

#include <string>
#include <string_view>
#include <vector>

#include "reports/report_content.h"
#include "reports/report_scope.h"

namespace lintaro {

class ResultsDb;

inline constexpr const char* kHtmlFileName = "temphtm.HTM";
inline constexpr const char* kHtmlPlaceholder = "<HTML> </HTML>";
// The screen width assumed where there is no screen (the command line).
inline constexpr int kDefaultScreenWidthPixels = 1024;

// Escapes code page 1252 text (a value from the submission) for HTML.
void AppendHtmlCp1252(std::string& out, std::string_view cp1252);
// Escapes UTF-8 text (a file name, the date) for HTML; a malformed sequence
// becomes U+FFFD.
void AppendHtmlUtf8(std::string& out, std::string_view utf8);

// W: the number of characters after which a user entry is broken in the
// report's table, screen width ÷ 10 − 45 rounded half to even.
int PreTextWidth(int screen_width_pixels);

// The pieces a user entry is broken into: a break before every character
// whose 1-based position is a multiple of width. A text shorter than width,
// or a width below 1, gives one piece.
std::vector<std::string_view> SplitPreText(std::string_view text, int width);

// BreakPreText: the user entry (code page 1252) broken into pieces as above,
// each piece escaped, joined by "</pre><pre>".
std::string BreakPreText(std::string_view text, int width);

// Builds the HTML report of the results in db into out, calling after_row
// (when given) after each error row. Returns false when after_row stopped
// the report; otherwise out ends with the closing markup. filter limits it
// to one employer's findings (report_scope.h).
bool BuildHtmlReport(ResultsDb& db, ReportBuffer& out, int pre_width,
                     const PieceHandler& after_row = {}, const ReportFilter& filter = {});

// WriteHtmlFile: writes one piece of the HTML report to temphtm.HTM in
// program_folder and returns the file's full name. A piece that is empty or
// starts a document ("<!DOCTYPE") replaces the file; any other piece is
// appended. An empty piece is replaced, in html too, by the placeholder
// "<HTML> </HTML>". Each piece is followed by CR LF. Throws ReportFileError.
std::string WriteHtmlFile(const std::string& program_folder, std::string& html);

// The file URL of an absolute path, percent-encoded; empty when the path is
// empty or not absolute.
std::string PathToUrl(const std::string& path);

}  // namespace lintaro

#endif  // LINTARO_REPORTS_HTML_REPORT_H_
