#include "reports/browser.h"

#include <filesystem>

#include "reports/html_report.h"
#include "reports/report_files.h"

namespace lintaro {

bool OpenInBrowser(Prompts& prompts, Shell& shell, const BrowserRequest& request,
                   std::string& html) {
  bool result = true;
  std::string file = (std::filesystem::path(request.program_folder) / kHtmlFileName).string();
  std::string write_failure;
  try {
    file = WriteHtmlFile(request.program_folder, html);
  } catch (const ReportFileError& e) {
    write_failure = e.what();
    if (html.empty()) html = kHtmlPlaceholder;
  }
  const bool agency_page = html == kHtmlPlaceholder;
  const std::string target = agency_page ? request.online_services_url : PathToUrl(file);
  const std::string verb = request.print_requested ? "print" : "view";

  if (!write_failure.empty() && !agency_page) {
    // The report never reached the file: no browser can show it.
    if (prompts.Message("HTML Report",
                        "The report could not be written: " + write_failure + "\r\n" +
                            "Would you like to " + verb + " a text report?",
                        Icon::kExclamation, Buttons::kOkCancel) == Answer::kOk)
      result = false;
    return result;
  }

  const std::optional<std::string> browser = shell.FindAssociatedProgram(file);
  if (!browser || browser->empty()) {
    if (!agency_page) {
      if (prompts.Message("HTML Report",
                          "Could not find a default Web Browser. \r\nWould you like to " + verb +
                              " a text report?",
                          Icon::kExclamation, Buttons::kOkCancel) == Answer::kOk)
        result = false;
    } else {
      prompts.Message("Browser Not Found", "Could not find a default Web Browser. ",
                      Icon::kExclamation, Buttons::kOk);
    }
    return result;
  }

  bool done = false;
  if (request.print_requested) done = shell.PrintDocument(file);
  if (!done) done = shell.OpenProgram(*browser, target);
  if (!done) {
    if (!agency_page) {
      if (prompts.Message("HTML Report",
                          "Your default browser could not be opened: \r\n" + *browser +
                              "\r\n\r\nWould you like to " + verb + " a text report?",
                          Icon::kExclamation, Buttons::kOkCancel) == Answer::kOk)
        result = false;
    } else {
      prompts.Message("Connect to Fileport",
                      "Your default browser could not be opened: \r\n" + *browser,
                      Icon::kExclamation, Buttons::kOk);
    }
  }
  return result;
}

}  // namespace lintaro
