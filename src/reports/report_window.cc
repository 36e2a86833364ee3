#include "reports/report_window.h"

#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>

#include "reports/report_files.h"
#include "reports/text_report.h"
#include "run/run_ending.h"
#include "store/results_db.h"

namespace lintaro {

void ReportWindow::FormatReport(int mode) {
  if (c_.view) c_.view->SetBusy(true);
  switch (mode) {
    case kReportPrint:
    case kReportCount: {
      PrintedReport printed(*c_.printer, report_font_name, report_font_size, print);
      if (mode == kReportPrint)
        printed.Print(*c_.db);
      else
        printed.CountPages(*c_.db);
      break;
    }
    case kReportText:
      FormatText();
      break;
    case kReportHtml:
      FormatHtml();
      break;
    default:
      break;
  }
  c_.settings->report_cancelled = false;
  if (c_.view) c_.view->SetBusy(false);
}

void ReportWindow::FormatText() {
  ReportBuffer text;
  // The file the user chose for a report too large for the preview: its
  // pieces go in as they are built, and it takes the name chosen once whole.
  std::unique_ptr<SavedTextFile> overflow_file;
  auto save_piece = [&](const std::string& piece) {
    try {
      overflow_file->Write(piece);
      return true;
    } catch (const ReportFileError& e) {
      TellNotSaved(e);
      return false;
    }
  };
  auto after_block = [&](ReportBuffer& b) {
    if (b.chars <= kReportPieceChars) return true;
    if (c_.view) c_.view->SetSaveEnabled(false);
    if (overflow_file == nullptr) overflow_file = AskOverflowFile();
    if (overflow_file == nullptr || !save_piece(b.text)) return false;
    b.Clear();
    return true;
  };
  const bool completed = BuildTextReport(*c_.db, text, after_block);
  if (completed && overflow_file != nullptr && save_piece(text.text)) {
    try {
      overflow_file->Commit();
    } catch (const ReportFileError& e) {
      TellNotSaved(e);
    }
  }
  // A report saved to a file, or not whole, is not previewed.
  if (!completed || overflow_file != nullptr)
    report_text = kTooLargeSentence;
  else
    report_text = std::move(text.text);
  if (c_.view) c_.view->ShowPreview(report_text);
}

std::unique_ptr<SavedTextFile> ReportWindow::AskOverflowFile() {
  const Answer answer = c_.prompts->Message(
      "Report Too Large",
      std::string(kTooLargeSentence) + "  Do you want to save it as " + "a text file?",
      Icon::kExclamation, Buttons::kYesNo);
  if (answer != Answer::kYes) return nullptr;
  const std::optional<std::string> name = AskSaveName();
  if (!name) {
    c_.settings->report_cancelled = false;
    return nullptr;
  }
  try {
    return std::make_unique<SavedTextFile>(*name);
  } catch (const ReportFileError& e) {
    TellNotSaved(e);
    return nullptr;
  }
}

void ReportWindow::FormatHtml() {
  ReportBuffer html;
  std::string failure;
  auto after_row = [&](ReportBuffer& b) {
    if (b.chars <= kReportPieceChars) return true;
    try {
      WriteHtmlFile(c_.program_folder, b.text);
    } catch (const ReportFileError& e) {
      failure = e.what();
      return false;
    }
    b.Clear();
    return true;
  };
  BuildHtmlReport(*c_.db, html, PreTextWidth(c_.screen_width_pixels), after_row);
  report_text = std::move(html.text);

  bool shown;
  if (failure.empty()) {
    BrowserRequest request{c_.program_folder, c_.online_services_url, c_.settings->print_requested};
    shown = OpenInBrowser(*c_.prompts, *c_.shell, request, report_text);
  } else {
    const std::string verb = c_.settings->print_requested ? "print" : "view";
    shown = c_.prompts->Message("HTML Report",
                                "The report could not be written: " + failure + "\r\n" +
                                    "Would you like to " + verb + " a text report?",
                                Icon::kExclamation, Buttons::kOkCancel) != Answer::kOk;
  }
  if (shown) return;
  c_.settings->report_choice = &TextReportFormat();
  if (!c_.settings->print_requested) {
    FormatReport(kReportText);
    ShowWindow();
  } else {
    PrintTextReport();
  }
}

bool ReportWindow::ResultsReplaced(const char* title) {
  if (c_.db == nullptr || !c_.db->Replaced()) return false;
  std::error_code ec;
  const bool deleted = !std::filesystem::exists(c_.db->path(), ec) && !ec;
  c_.prompts->Message(title, deleted ? kReportResultsDeleted : kReportResultsReplaced,
                      Icon::kExclamation, Buttons::kOk);
  return true;
}

void ReportWindow::PrintTextReport() {
  if (ResultsReplaced("Print Error Report")) return;
  FormatReport(kReportCount);
  const int pages = print.last_page;
  PrintDialog dialog;
  dialog.cancel_error = true;
  dialog.SetMin(1);
  dialog.SetMax(pages);
  dialog.SetFromPage(dialog.Min());
  dialog.SetToPage(dialog.Max());
  dialog.flags = kPdHidePrintToFile | kPdNoSelection;
  try {
    dialog.ShowPrinter(*c_.print_dialog);
  } catch (const PrintDialogCancelled&) {
    return;
  }
  if (dialog.flags & kPdPageNums) {
    print.first_page = dialog.FromPage();
    print.last_page = dialog.ToPage();
  } else {
    print.first_page = 1;
    print.last_page = pages + 10;
  }
  if (c_.view) c_.view->SetBusy(true);
  for (int copy = 0; copy < dialog.copies; ++copy) FormatReport(kReportPrint);
  if (c_.view) c_.view->SetBusy(false);
}

std::optional<std::string> ReportWindow::AskSaveName() {
  // The dialog starts in the program folder with an empty name.
  std::optional<std::string> name = c_.prompts->SaveFile(
      "Please Enter File Name", "ASCII Text Files (*.txt)|*.txt|All Files (*.*)|*.*|",
      c_.program_folder);
  if (!name || name->empty()) {
    c_.settings->report_cancelled = true;
    return std::nullopt;
  }
  return name;
}

void ReportWindow::TellNotSaved(const ReportFileError& e) {
  c_.prompts->Message("Save Report", std::string("The report could not be saved: ") + e.what(),
                      Icon::kExclamation, Buttons::kOk);
}

std::string ReportWindow::SaveReportAs(const std::string& text) {
  if (ResultsReplaced("Save Report")) {
    c_.settings->report_cancelled = true;
    return {};
  }
  const std::optional<std::string> name = AskSaveName();
  if (!name) return {};
  try {
    WriteTextFile(*name, text, false);
  } catch (const ReportFileError& e) {
    TellNotSaved(e);
    c_.settings->report_cancelled = true;
    return {};
  }
  return *name;
}

void ReportWindow::SetReportFont(const std::string& name, double size) {
  if (!name.empty()) report_font_name = name;
  long rounded = std::lround(size);
  if (rounded < 8) rounded = 8;
  if (rounded > 20) rounded = 20;
  report_font_size = static_cast<int>(rounded);
}

void RunReportRequest(ResultsDb& db, ReportSettings& settings, Prompts& prompts,
                      ReportRequestHost& host) {
  // Results of a run that did not finish have no verdict: their report says
  // which records they cover. Damaged results throw here, before the format
  // is asked for.
  const bool finished = ReadStoredRunEnding(db).finished();
  if (db.CountErrors() == 0 && finished) {
    prompts.Message("Results", "No errors found in the submission!", Icon::kInformation,
                    Buttons::kOk);
    settings.print_requested = false;
    return;
  }
  if (const ReportFormat* choice = host.AskReportFormat(*settings.report_choice)) {
    settings.report_choice = choice;
    settings.report_cancelled = false;
  } else {
    settings.report_cancelled = true;
  }
  if (settings.report_cancelled) {
    settings.print_requested = false;
    settings.report_cancelled = false;
    return;
  }
  host.SetReportCommandsEnabled(false);
  ReportWindow& window = host.CreateReportWindow();
  if (settings.report_choice->desktop == DesktopShows::kBrowser) {
    window.FormatReport(kReportHtml);
  } else if (settings.print_requested) {
    window.PrintTextReport();
  } else {
    window.FormatReport(kReportText);
    window.ShowWindow();
  }
  settings.print_requested = false;
  host.SetReportCommandsEnabled(true);
}

}  // namespace lintaro
