// The error report on the desktop: the Report Option dialog, the report
// window (preview, Save As, Font), printing through QPrinter to a PDF file,
// the system print dialog's exchange with the print dialog object, and the
// browser hand-over with a fake shell. Each scenario's observations are
// compared with tests/reports/traces/ReportUiTest.TEST.trace; what the report
// window decides is tested without widgets in tests/reports.
#include <sys/resource.h>

#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QRectF>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <csignal>
#include <filesystem>
#include <vector>

#include "reports/text_report.h"
#include "store/results_db.h"
#include "support/report_fakes.h"
#include "ui/font_dialog.h"
#include "ui/qt_printer.h"
#include "ui/report_form.h"
#include "ui/report_host.h"
#include "ui/signal_stop.h"
#include "ui/window_metrics.h"
#include "window_fixture.h"

namespace lintaro::testing {
namespace {

// The words of a PDF file's first page and where they are, in points, as
// pdftotext finds them.
std::vector<QRectF> PdfWords(const std::string& path) {
  QProcess pdftotext;
  pdftotext.start("pdftotext", {"-bbox", "-f", "1", "-l", "1", QString::fromStdString(path), "-"});
  if (!pdftotext.waitForFinished(30000)) return {};
  std::vector<QRectF> words;
  static const QRegularExpression kWord(
      "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\"");
  for (auto m = kWord.globalMatch(QString::fromUtf8(pdftotext.readAllStandardOutput()));
       m.hasNext();) {
    const QRegularExpressionMatch word = m.next();
    words.emplace_back(QPointF(word.captured(1).toDouble(), word.captured(2).toDouble()),
                       QPointF(word.captured(3).toDouble(), word.captured(4).toDouble()));
  }
  return words;
}

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
    OpenWithFindings(ids, findings);
  }
  // The same over records of these identifiers and these findings.
  void OpenWithFindings(const std::vector<std::string>& ids, const std::vector<Finding>& findings) {
    WriteResults({"/data/corrections-2007.txt"}, ids, findings);
    Open();
    Button("cmdLast")->click();
    QApplication::processEvents();
    shell.trace = &trace;
    reports().set_shell(&shell);
    reports().set_print_dialog(&print_dialog);
    reports().set_format_chooser([this](const ReportFormat& current) {
      Note(&trace, "format asked, current " + std::string(current.name) + " -> " +
                       (format_answer ? std::string(format_answer->name) : "cancelled"));
      return format_answer;
    });
  }
  // "View Error Report" answered with the text report.
  ReportForm* ViewTextReport() {
    format_answer = &TextReportFormat();
    Button("cmdErrors")->click();
    return reports().form();
  }
  ReportHost& reports() { return window->reports(); }

  // Traces the report window: shown or not, whether the preview holds the
  // text report of the results, the font setting and the preview's size.
  void NoteForm(ReportForm* form) {
    if (!form) return Note(&trace, "window: none");
    ReportBuffer text;
    BuildTextReport(*ResultsDb::Open(ResultsPath(), true), text);
    Note(&trace, std::string("window: ") + (form->isVisible() ? "shown" : "hidden") +
                     (form->PreviewText() == text.text ? ", the text report" : ", another text") +
                     ", font " + form->logic().report_font_name + " " +
                     std::to_string(form->logic().report_font_size) + " shown at " +
                     std::to_string(form->preview()->font().pointSize()));
  }
  // The report window shows its longest line whole, or is as wide as the
  // screen lets it be from its place, 10 twips from the screen's corner.
  void ExpectLinesWhole(ReportForm* form) {
    QApplication::processEvents();
    const QRect screen = form->screen()->availableGeometry();
    EXPECT_EQ(form->pos(), screen.topLeft() + QPoint(1, 1) * TwipsToPixels(form, 10));
    if (form->preview()->horizontalScrollBar()->maximum() == 0) return;
    EXPECT_GE(form->frameGeometry().right(), screen.right() - TwipsToPixels(form, 10))
        << "lines cut in a window " << form->width() << " wide";
  }
  void TearDown() override {
    ExpectTraceHeld(trace, home.str(), LINTARO_SOURCE_DIR "/tests/reports/traces");
  }

  std::string trace;  // the shell's calls, format questions and what each test notes
  FakeShell shell;
  FakePrintDialogHost print_dialog;
  const ReportFormat* format_answer = nullptr;
};

// Save As writes the report as it was built, whatever the characters its
// findings hold: a no-break space (code page 1252's 0xA0) in a field stays
// one, and is not saved as the plain space the preview's widget gives back.
TEST_F(ReportUiTest, SaveAsWritesTheReportAsBuilt) {
  OpenWithFindings({"RCA", "RCW"},
                   {{2, "Employee's Correct First Name [Position 72 - 86]",
                     "[J\xA0"
                     "DOE" +
                         std::string(10, ' ') + "]",
                     "May only contain letters (A - Z), numbers (0 - 9), spaces, hyphens, periods "
                     "and apostrophes. This is a mandatory field."}});
  ReportForm* form = ViewTextReport();
  ASSERT_NE(form, nullptr);
  const std::string saved = home.str() + "/saved.txt";
  prompts.save_names = {saved};
  form->findChild<QPushButton*>("cmdSave")->click();
  ReportBuffer text;
  BuildTextReport(*ResultsDb::Open(ResultsPath(), true), text);
  ASSERT_NE(text.text.find("[J\xC2\xA0"
                           "DOE"),
            std::string::npos);
  EXPECT_EQ(ReadWholeFile(saved), text.text + "\r\n");
}

// Save As writes the preview into the chosen file (the dialog starts in
// the program folder), with CR LF after it. The real font dialog opens at the
// report's font and size (OK alone changes nothing, even for a font that is
// not installed) and offers the sizes 8 to 20 only; sizes outside the list
// open at its nearest end. The next request closes the window before it
// offers the last choice; a run that replaces the results closes it (one
// refused before anything is touched does not), and one of another process
// leaves its Save As and Print refusing, as results deleted do; shutdown
// closes it.
TEST_F(ReportUiTest, ViewErrorReportShowsThePreviewSavesItSetsItsFontAndIsReplaced) {
  OpenWithResults(4);
  QPointer<ReportForm> first = ViewTextReport();
  ASSERT_FALSE(first.isNull());
  NoteForm(first);
  ExpectLinesWhole(first);
  const std::string saved = home.str() + "/saved report.txt";
  prompts.save_names = {saved, std::nullopt};
  first->findChild<QPushButton*>("cmdSave")->click();
  Note(&trace, "save dialog in " + prompts.save_folders.back());
  EXPECT_EQ(ReadWholeFile(saved), first->PreviewText() + "\r\n");
  std::filesystem::remove(saved);
  first->SaveAs();  // cancelled: nothing written
  EXPECT_FALSE(std::filesystem::exists(saved));

  const QString family_before = first->preview()->font().family();
  WhenModal<ReportFontDialog>([&](ReportFontDialog* dialog) {
    QString shown = "font dialog offers ";
    for (int i = 0; i < dialog->size_list()->count(); ++i)
      shown += dialog->size_list()->item(i)->text() + " ";
    Note(&trace, (shown + "at " + dialog->font_list()->currentItem()->text() + " " +
                  dialog->size_list()->currentItem()->text())
                     .toStdString());
    dialog->findChild<QPushButton*>("cmdOK")->click();
  });
  first->findChild<QPushButton*>("cmdFont")->click();
  NoteForm(first);
  EXPECT_EQ(first->preview()->font().family(), family_before);

  WhenModal<ReportFontDialog>([&](ReportFontDialog* dialog) {
    dialog->font_list()->setCurrentItem(
        dialog->font_list()->findItems("DejaVu Sans Mono", Qt::MatchFixedString).value(0));
    dialog->size_list()->setCurrentRow(14 - ReportFontDialog::kSmallestSize);
    dialog->accept();
  });
  first->findChild<QPushButton*>("cmdFont")->click();
  NoteForm(first);
  ExpectLinesWhole(first);
  for (double given : {6.0, 7.6, 12.4, 28.0}) {
    QFont f("Courier");
    f.setPointSizeF(given);
    Note(&trace, "size " + QString::number(given).toStdString() + " opens at " +
                     ReportFontDialog(f).size_list()->currentItem()->text().toStdString());
  }

  format_answer = nullptr;
  Button("cmdErrors")->click();
  NoteForm(first);
  QPointer<ReportForm> last = ViewTextReport();
  ASSERT_TRUE(last->isVisible());
  Run({home.str() + "/no-such-file.txt"});  // refused, then cancelled: the results stay
  EXPECT_EQ(reports().form(), last);
  Run({Submission("clean.txt", CleanSubmission())});
  EXPECT_EQ(ResultsDb::Open(ResultsPath(), true)->CountRecords(), 5);
  EXPECT_TRUE(last.isNull() || !last->isVisible()) << "a report of the results replaced";
  Run({Submission("state.txt",
                  {CleanRCA(), CleanRCE(), CleanRCW({{188, "XX"}}), CleanRCT(1), FinalRecord(1)})});
  last = ViewTextReport();
  ASSERT_FALSE(last.isNull());
  // Another process's test replaces the results under the open window: its
  // Save As and Print say so, and neither gives the old report.
  std::filesystem::remove(ResultsPath());
  WriteResults({"/data/other.txt"}, {"RCA"});
  prompts.save_names = {saved};
  prompts.messages.clear();
  for (const char* command : {"cmdSave", "cmdPrint"}) {
    last->findChild<QPushButton*>(command)->click();
    for (const ShownMessage& m : prompts.messages) Note(&trace, command + (": " + Describe(m)));
    prompts.messages.clear();
  }
  EXPECT_FALSE(std::filesystem::exists(saved));
  // Results deleted, none in their place, are said to be deleted.
  std::filesystem::remove(ResultsPath());
  last->findChild<QPushButton*>("cmdSave")->click();
  for (const ShownMessage& m : prompts.messages) Note(&trace, "deleted, cmdSave: " + Describe(m));
  EXPECT_FALSE(std::filesystem::exists(saved));
  prompts.save_names.clear();
  window->close();
  EXPECT_TRUE(last.isNull() || !last->isVisible());
}

// A SIGTERM (a logout, kill) that comes while a report too large for the
// preview is being saved is heard once the file is whole under its name, no
// temporary file left beside it; the window then closes as for Exit.
TEST_F(ReportUiTest, ASignalWhileAReportIsSavedWaitsForTheWholeFile) {
  OpenWithResults(2000);
  const std::string saved = home.str() + "/large report.txt";
  int heard = 0;
  SignalStop signal_stop([&](int signal) {
    heard = signal;
    Note(&trace, "SIGTERM heard, " + std::to_string(ReadWholeFile(saved).size()) +
                     " bytes saved, files beside it:");
    for (const auto& entry : std::filesystem::directory_iterator(home.path()))
      if (entry.path().filename().string().front() == '.') Note(&trace, entry.path().string());
    window->StopForSignal();
  });
  // The signal comes when the report has filled its first piece.
  prompts.on_message = [&](const ShownMessage& m) {
    Note(&trace, Describe(m) + ", SIGTERM sent");
    std::raise(SIGTERM);
  };
  prompts.answers = {Answer::kYes};
  prompts.save_names = {saved};
  ViewTextReport();
  EXPECT_EQ(heard, 0);
  QApplication::processEvents();
  EXPECT_EQ(heard, SIGTERM);
  ReportBuffer text;
  BuildTextReport(*ResultsDb::Open(ResultsPath(), true), text);
  // The file ends as the report does (each piece it was written in is
  // followed by a line break).
  const std::string file = ReadWholeFile(saved);
  const std::string end = text.text.substr(text.text.size() - 400);
  EXPECT_GE(file.size(), text.text.size());
  EXPECT_NE(file.find(end, file.size() - end.size() - 2), std::string::npos);
  EXPECT_FALSE(window->isVisible());
}

// The Report Option dialog presets the choice; HTML chosen and confirmed in
// the real dialog is stored and opened in the browser. A clean run in the
// filing season opens the online services page on Yes.
TEST_F(ReportUiTest, ReportOptionDialogStoresTheChoiceAndTheBrowserOpensPages) {
  EXPECT_TRUE(ReportOptionDialog(*FindReportFormat("html"))
                  .findChild<QRadioButton*>("optHTML")
                  ->isChecked());
  EXPECT_TRUE(
      ReportOptionDialog(TextReportFormat()).findChild<QRadioButton*>("optText")->isChecked());
  clock.date = {2008, 1, 15};
  OpenWithResults(2);
  reports().set_format_chooser([this](const ReportFormat& current) -> const ReportFormat* {
    ReportOptionDialog dialog(current, window.get());
    QTimer::singleShot(0, &dialog, [&dialog] {
      dialog.findChild<QRadioButton*>("optHTML")->click();
      dialog.findChild<QPushButton*>("cmdOK")->click();
    });
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    return &dialog.choice();
  });
  Button("cmdErrors")->click();
  Note(&trace, "choice " + std::string(reports().settings().report_choice->name));
  prompts.answers.push_back(Answer::kYes);
  Run({Submission("clean.txt", CleanSubmission())});
  Note(&trace, Describe(prompts.messages.back()));
}

TEST_F(ReportUiTest, PrintingToPdfGivesTheCountedPagesAndThePageRange) {
  OpenWithResults(120);
  const std::string pdf = home.str() + "/report.pdf";
  QPrinter& printer = reports().printer();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf));
  printer.setPageSize(QPageSize(QPageSize::Letter));
  // A file of that name that everyone may read is there already.
  home.Write("report.pdf", "old");
  std::filesystem::permissions(pdf, std::filesystem::perms(0644));

  // "Print Error Report", text, every page.
  format_answer = &TextReportFormat();
  Button("cmdPrint")->click();
  const int counted = print_dialog.seen_max;
  ASSERT_GE(counted, 3);
  // The printed report holds the employees' SSNs: its owner alone may read it.
  EXPECT_EQ(std::filesystem::status(pdf).permissions() & std::filesystem::perms(077),
            std::filesystem::perms::none);
  const int printed = PdfPages(pdf);
  EXPECT_EQ(printed, reports().report_printer().pages());
  // The count leaves room for the footers: never fewer pages than printed,
  // at most one more.
  EXPECT_GE(counted, printed);
  EXPECT_LE(counted, printed + 1);
  // Every word of the first page lies half an inch (36 points) or more
  // inside the Letter page's edges (612 x 792 points).
  const std::vector<QRectF> words = PdfWords(pdf);
  ASSERT_FALSE(words.empty());
  QRectF inked = words.front();
  for (const QRectF& word : words) inked = inked.united(word);
  EXPECT_GE(inked.left(), 36.0);
  EXPECT_GE(inked.top(), 36.0);
  EXPECT_LE(inked.right(), 612.0 - 36.0);
  EXPECT_LE(inked.bottom(), 792.0 - 36.0);

  // Pages 2 to 2 from the report window's Print command.
  ReportForm* form = ViewTextReport();
  ASSERT_NE(form, nullptr);
  std::filesystem::remove(pdf);
  print_dialog.page_range = std::make_pair(2, 2);
  form->findChild<QPushButton*>("cmdPrint")->click();
  EXPECT_EQ(PdfPages(pdf), 1);

  // A printer that refuses the job (its output folder does not exist) is
  // reported.
  printer.setOutputFileName(QString::fromStdString(home.str() + "/missing/report.pdf"));
  form->Print();
  Note(&trace, Describe(prompts.messages.back()));
  // So is a file the disk has no room for (writes past 4,000 bytes fail).
  printer.setOutputFileName(QString::fromStdString(pdf));
  prompts.messages.clear();
  rlimit unlimited{};
  getrlimit(RLIMIT_FSIZE, &unlimited);
  std::signal(SIGXFSZ, SIG_IGN);
  const rlimit small{4000, unlimited.rlim_max};
  setrlimit(RLIMIT_FSIZE, &small);
  form->Print();
  setrlimit(RLIMIT_FSIZE, &unlimited);
  Note(&trace,
       prompts.messages.empty() ? "disk full: nothing said" : Describe(prompts.messages.back()));

  // The system print dialog belongs to the window whose Print was chosen,
  // so that closing it leaves that window in front.
  reports().set_print_dialog(nullptr);
  std::vector<QWidget*> owners;
  reports().qt_print_dialog().set_exec([&](QPrintDialog& qt) {
    owners.push_back(qt.parentWidget());
    return int(QDialog::Rejected);
  });
  Button("cmdPrint")->click();
  form = ViewTextReport();
  ASSERT_NE(form, nullptr);
  form->findChild<QPushButton*>("cmdPrint")->click();
  EXPECT_EQ(owners, (std::vector<QWidget*>{window.get(), form}));
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
  dialog.SetToPage(7);  // raises Max too
  dialog.flags = kPdHidePrintToFile | kPdNoSelection;
  host.set_exec([&](QPrintDialog& qt) {
    Note(&trace, "qt dialog: max " + std::to_string(qt.maxPage()) +
                     (qt.printRange() == QAbstractPrintDialog::AllPages ? ", all" : ", a range") +
                     ", selection " +
                     (qt.testOption(QAbstractPrintDialog::PrintSelection) ? "on" : "off"));
    // The user asks for pages 3 to 5, three collated copies.
    qt.setPrintRange(QAbstractPrintDialog::PageRange);
    qt.setFromTo(3, 5);
    qt.printer()->setCopyCount(3);
    qt.printer()->setCollateCopies(true);
    return int(QDialog::Accepted);
  });
  const bool shown = dialog.ShowPrinter(host);
  // Collated copies are the program's: the printer itself prints one.
  Note(&trace, (shown ? "confirmed: " : "cancelled: ") + DescribePrintDialog(dialog) +
                   "; printer copies " + std::to_string(printer.copyCount()));

  // Cancel: an error when CancelError is set, else false.
  host.set_exec([](QPrintDialog&) { return int(QDialog::Rejected); });
  EXPECT_THROW(dialog.ShowPrinter(host), PrintDialogCancelled);
  dialog.cancel_error = false;
  EXPECT_FALSE(dialog.ShowPrinter(host));
}

}  // namespace
}  // namespace lintaro::testing
