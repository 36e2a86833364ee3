// The error report on the desktop: the Report Option dialog, the report
// window (preview, Save As, Font), printing through QPrinter to a PDF file,
// the system print dialog's exchange with the print dialog object, and the
// browser hand-over with a fake shell. What the report window decides is
// tested without widgets in tests/reports/report_window_test.cc.
#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <filesystem>

#include "reports/text_report.h"
#include "store/results_db.h"
#include "support/report_fakes.h"
#include "ui/font_dialog.h"
#include "ui/qt_printer.h"
#include "ui/report_form.h"
#include "ui/report_host.h"
#include "window_fixture.h"

namespace lintaro::testing {
namespace {

// Pages of a PDF file: its page objects.
int PdfPages(const std::string& path) {
  const QString pdf = QString::fromLatin1(QByteArray::fromStdString(ReadWholeFile(path)));
  return static_cast<int>(pdf.count(QRegularExpression("/Type\\s*/Page(?![s\\w])")));
}

class ReportUiTest : public WindowTest {
 protected:
  // Opens the window over results with `errors` findings, three to a record
  // from record 2 on, with the shell, print dialog and format answers faked.
  void OpenWithResults(int errors) {
    std::vector<std::string> ids(2 + (errors + 2) / 3, "RCW");
    ids[0] = "RCA";
    std::vector<Finding> findings;
    for (int e = 0; e < errors; ++e)
      findings.push_back({2 + e / 3, "Correct Wages [Position 255 - 265]", "[0000250000A]",
                          "Money fields must be numeric & zero-filled."});
    WriteResults({"/data/corrections-2007.txt"}, ids, findings);
    Open();
    Button("cmdLast")->click();
    QApplication::processEvents();
    reports().set_shell(&shell);
    reports().set_print_dialog(&print_dialog);
    reports().set_format_chooser([this](int current) {
      offered.push_back(current);
      return format_answer;
    });
  }
  // "View Error Report" answered with the text report.
  ReportForm* ViewTextReport() {
    format_answer = 1;
    Button("cmdErrors")->click();
    EXPECT_NE(reports().form(), nullptr);
    return reports().form();
  }

  ReportHost& reports() { return window->reports(); }
  // The report window's font setting: "NAME SIZE".
  static std::string Font(ReportForm* form) {
    return form->logic().report_font_name + " " + std::to_string(form->logic().report_font_size);
  }

  std::string TextReport() {
    ReportBuffer text;
    BuildTextReport(*ResultsDb::Open(ResultsPath(), true), text);
    return text.text;
  }

  ReportUiTest() { shell.trace = &trace; }
  std::string trace;  // the shell's calls
  FakeShell shell;
  FakePrintDialogHost print_dialog;
  std::optional<int> format_answer;
  std::vector<int> offered;
};

// Save As writes the preview into the chosen file (the dialog starts in
// the program folder); the next request closes the window before it offers
// the last choice; an open window does not hinder the next run and keeps
// the report it was made for; shutdown closes it.
TEST_F(ReportUiTest, ViewErrorReportShowsThePreviewSavesItAndIsReplaced) {
  OpenWithResults(4);
  QPointer<ReportForm> first = ViewTextReport();
  ASSERT_FALSE(first.isNull());
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(first->PreviewText(), TextReport());
  EXPECT_EQ(first->preview()->font().pointSize(), 10);
  const std::string saved = home.str() + "/saved report.txt";
  prompts.save_names = {saved, std::nullopt};
  first->findChild<QPushButton*>("cmdSave")->click();
  EXPECT_EQ(prompts.save_folders.back(), folders.data);
  EXPECT_EQ(ReadWholeFile(saved), TextReport() + "\r\n");
  std::filesystem::remove(saved);
  first->SaveAs();  // cancelled: nothing written
  EXPECT_FALSE(std::filesystem::exists(saved));

  format_answer.reset();
  Button("cmdErrors")->click();
  EXPECT_EQ(offered, (std::vector<int>{1, 1}));
  EXPECT_TRUE(first.isNull());
  QPointer<ReportForm> last = ViewTextReport();
  const std::string before = last->PreviewText();
  Run({Submission("clean.txt", CleanRecords())});
  EXPECT_EQ(ResultsDb::Open(ResultsPath(), true)->CountRecords(), 5);
  ASSERT_EQ(reports().form(), last);
  EXPECT_EQ(last->PreviewText(), before);
  window->close();
  EXPECT_TRUE(last.isNull() || !last->isVisible());
}

TEST_F(ReportUiTest, ReportOptionDialogPresetsTheChoiceAndOkStoresIt) {
  OpenWithResults(2);
  EXPECT_TRUE(ReportOptionDialog(3).findChild<QRadioButton*>("optHTML")->isChecked());
  EXPECT_TRUE(ReportOptionDialog(1).findChild<QRadioButton*>("optText")->isChecked());

  // Through the window: HTML chosen and confirmed in the real dialog.
  reports().set_format_chooser([this](int current) -> std::optional<int> {
    ReportOptionDialog dialog(current, window.get());
    QTimer::singleShot(0, &dialog, [&dialog] {
      dialog.findChild<QRadioButton*>("optHTML")->click();
      dialog.findChild<QPushButton*>("cmdOK")->click();
    });
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.choice();
  });
  Button("cmdErrors")->click();
  EXPECT_EQ(reports().settings().report_choice, 3);
  const std::string html = home.str() + "/temphtm.HTM";
  EXPECT_EQ(trace, "shell: browser for " + html + " is /usr/bin/browser\n" +
                       "shell: open /usr/bin/browser file://" + html + "\n");
}

// The real font dialog: it opens at the report's font and size (OK alone
// changes nothing, even for a font that is not installed) and offers the
// sizes 8 to 20 only.
TEST_F(ReportUiTest, FontDialogStartsAtTheReportsFontAndOffersEightToTwenty) {
  OpenWithResults(2);
  ReportForm* form = ViewTextReport();
  ASSERT_NE(form, nullptr);
  const QString family_before = form->preview()->font().family();
  QString shown;  // the sizes offered, then the font and size it opened at
  WhenModal<ReportFontDialog>([&](ReportFontDialog* dialog) {
    for (int i = 0; i < dialog->sizeList()->count(); ++i)
      shown += dialog->sizeList()->item(i)->text() + " ";
    shown += "| " + dialog->fontList()->currentItem()->text() + " " +
             dialog->sizeList()->currentItem()->text();
    dialog->findChild<QPushButton*>("cmdOK")->click();
  });
  form->findChild<QPushButton*>("cmdFont")->click();
  EXPECT_EQ(shown, "8 9 10 11 12 13 14 15 16 17 18 19 20 | Courier 10");
  EXPECT_EQ(Font(form), "Courier 10");
  EXPECT_EQ(form->preview()->font().family(), family_before);

  WhenModal<ReportFontDialog>([&](ReportFontDialog* dialog) {
    dialog->fontList()->setCurrentItem(
        dialog->fontList()->findItems("DejaVu Sans Mono", Qt::MatchFixedString).value(0));
    dialog->sizeList()->setCurrentRow(14 - ReportFontDialog::kSmallestSize);
    dialog->accept();
  });
  form->findChild<QPushButton*>("cmdFont")->click();
  EXPECT_EQ(Font(form), "DejaVu Sans Mono 14");
  EXPECT_EQ(form->preview()->font().pointSize(), 14);

  // Sizes outside the list open at its nearest end.
  for (auto [given, shown] : {std::pair{6.0, "8"}, {7.6, "8"}, {12.4, "12"}, {28.0, "20"}}) {
    QFont f("Courier");
    f.setPointSizeF(given);
    EXPECT_EQ(ReportFontDialog(f).sizeList()->currentItem()->text(), shown) << given;
  }
}

TEST_F(ReportUiTest, PrintingToPdfGivesTheCountedPagesAndThePageRange) {
  OpenWithResults(120);
  const std::string pdf = home.str() + "/report.pdf";
  QPrinter& printer = reports().printer();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf));
  printer.setPageSize(QPageSize(QPageSize::Letter));

  // "Print Error Report", text, every page.
  format_answer = 1;
  Button("cmdPrint")->click();
  const int counted = print_dialog.seen_max;
  ASSERT_GE(counted, 3);
  const int printed = PdfPages(pdf);
  EXPECT_EQ(printed, reports().report_printer().pages());
  // The count leaves room for the footers: never fewer pages than printed,
  // at most one more.
  EXPECT_GE(counted, printed);
  EXPECT_LE(counted, printed + 1);

  // Pages 2 to 2 from the report window's Print command.
  ReportForm* form = ViewTextReport();
  ASSERT_NE(form, nullptr);
  std::filesystem::remove(pdf);
  print_dialog.page_range = std::make_pair(2, 2);
  form->findChild<QPushButton*>("cmdPrint")->click();
  EXPECT_EQ(PdfPages(pdf), 1);

  // A printer that refuses the job (its output folder does not exist) is
  // reported.
  const std::string nowhere = home.str() + "/missing/report.pdf";
  printer.setOutputFileName(QString::fromStdString(nowhere));
  form->Print();
  ASSERT_NE(LastMessage(), nullptr);
  EXPECT_EQ(LastMessage()->title + ": " + LastMessage()->text,
            "Print Error Report: The report could not be printed on " + nowhere + ".");
}

// The system print dialog's presets and results, on the real dialog object
// (its exec is replaced by the user's choices).
TEST_F(ReportUiTest, QtPrintDialogCarriesPageRangeCopiesAndFlags) {
  Open();
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  QtPrintDialogHost host(printer, window.get());
  PrintDialog dialog;
  dialog.cancel_error = true;
  dialog.SetMin(1);
  dialog.SetMax(7);
  dialog.SetToPage(7);
  dialog.flags = kPdHidePrintToFile | kPdNoSelection;
  host.set_exec([&](QPrintDialog& qt) {
    EXPECT_EQ(qt.maxPage(), 7);
    EXPECT_EQ(qt.printRange(), QAbstractPrintDialog::AllPages);
    EXPECT_FALSE(qt.testOption(QAbstractPrintDialog::PrintSelection));
    // The user asks for pages 3 to 5, three collated copies.
    qt.setPrintRange(QAbstractPrintDialog::PageRange);
    qt.setFromTo(3, 5);
    qt.printer()->setCopyCount(3);
    qt.printer()->setCollateCopies(true);
    return int(QDialog::Accepted);
  });
  ASSERT_TRUE(dialog.ShowPrinter(host));
  EXPECT_EQ(dialog.flags, kPdHidePrintToFile | kPdNoSelection | kPdPageNums | kPdCollate);
  EXPECT_EQ(std::pair(dialog.FromPage(), dialog.ToPage()), std::pair(3, 5));
  EXPECT_EQ(dialog.copies, 3);  // collated copies are the program's
  EXPECT_EQ(printer.copyCount(), 1);

  // Cancel: an error when CancelError is set, else false.
  host.set_exec([](QPrintDialog&) { return int(QDialog::Rejected); });
  EXPECT_THROW(dialog.ShowPrinter(host), PrintDialogCancelled);
  dialog.cancel_error = false;
  EXPECT_FALSE(dialog.ShowPrinter(host));
}

TEST_F(ReportUiTest, CleanRunInTheFilingSeasonOpensTheOnlineServicesPageOnYes) {
  clock.date = {2008, 1, 15};
  Open();
  reports().set_shell(&shell);
  prompts.answers.push_back(Answer::kYes);
  Run({Submission("clean.txt", CleanRecords())});
  ASSERT_EQ(LastMessage()->buttons, Buttons::kYesNo);
  EXPECT_EQ(trace, "shell: browser for " + home.str() + "/temphtm.HTM is /usr/bin/browser\n" +
                       "shell: open /usr/bin/browser " + kOnlineServicesAddress + "\n");
}

}  // namespace
}  // namespace lintaro::testing
