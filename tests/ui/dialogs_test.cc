// The dialogs: Set Error Limit, the help window, and the real message boxes
// and file dialogs answered by a timer; the event pump of a run.
#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextBrowser>
#include <QtTest/QTest>
#include <filesystem>

#include "os/path.h"
#include "support/line_diff.h"
#include "support/recipe.h"
#include "ui/error_limit_dialog.h"
#include "ui/go_to_record_dialog.h"
#include "ui/help_window.h"
#include "window_fixture.h"

namespace lintaro::testing {
namespace {

// The Set Error Limit dialog, step by step: each step's line in
// error_limit_dialog.trace holds the entry's text (and whether all of it is
// selected, ready to be typed over), whether the dialog is shown and its
// entry has the focus, the default button, the window's limit, and the
// message boxes and dialogs shown since the last step.
class ErrorLimitDialogTest : public WindowTest {
 protected:
  void OpenDialog() {
    Action("mnuTSet")->trigger();
    dialog = window->findChild<QDialog*>("frmSetErrors");
    ASSERT_NE(dialog, nullptr);
    box = dialog->findChild<QLineEdit*>("txtErrorCount");
    Note("Set Error Limit");
  }
  QPushButton* Command(const char* name) { return dialog->findChild<QPushButton*>(name); }
  void Type(const QString& keys) {
    box->clear();
    QTest::keyClicks(box, keys);
    Note("typed \"" + keys.toStdString() + "\"");
  }
  void Note(const std::string& step) {
    const QString text = box->text();
    trace += step + ": [" + text.toStdString() + "]" +
             (!text.isEmpty() && box->selectedText() == text ? " all selected" : "") +
             (dialog->isVisible() ? " shown" : " closed") +
             (dialog->focusWidget() == box ? " focus" : "") +
             (Command("cmdOK")->isDefault() ? " OK-default" : "") +
             (Command("cmdCancel")->isDefault() ? " Cancel-default" : "") + " limit " +
             std::to_string(window->max_errors()) + "\n";
    for (const ShownMessage& m : prompts.messages) trace += "  box: " + Describe(m) + "\n";
    for (const std::string& title : prompts.dialog_titles) trace += "  dialog: " + title + "\n";
    prompts.messages.clear();
    prompts.dialog_titles.clear();
  }
  QDialog* dialog = nullptr;
  QLineEdit* box = nullptr;
  std::string trace;
};

// Only digits and Backspace are typed (pasting is held to digits as well);
// zero, blank and too large are refused; Cancel keeps the limit; OK stays
// the default button however the dialog was last closed, so that typing a
// limit and pressing Enter keeps it; OK saves the limit and starts a run.
TEST_F(ErrorLimitDialogTest, TypingRefusingCancellingAndAccepting) {
  Open();
  OpenDialog();
  Type("2a5");
  Type("1-2.3 4,5e");
  QTest::keyClick(box, Qt::Key_Backspace);
  Note("Backspace");
  box->clear();
  box->insert("12x");
  Note("pasted \"12x\"");
  for (const char* entry : {"0", "00", "25001", ""}) {
    Type(entry);
    Command("cmdOK")->click();
    Note("OK");
  }
  Type("42");
  Command("cmdCancel")->click();
  Note("Cancel");

  OpenDialog();
  Command("cmdCancel")->setFocus();
  QTest::keyClick(Command("cmdCancel"), Qt::Key_Space);  // Cancel chosen from the keyboard
  Note("Space on Cancel");
  OpenDialog();
  Type("100");
  QTest::keyClick(box, Qt::Key_Return);
  Note("Return");

  OpenDialog();
  Type("25000");
  prompts.files.push_back(Submission("crit.txt", {MakeRecord("RCA"), MakeRecord("RCW")}));
  Command("cmdOK")->click();
  Note("OK");
  trace += ReadWholeFile(JoinPath(home.str(), "ErrSetLog.ini")).substr(0, 27) + "\n";

  // Set Error(s) is held during a check, but the dialog may be open from
  // before: its OK starts no other check; the one under way stops at the
  // new limit, findings already stored counted, and says so.
  OpenDialog();
  Type("2");
  window->set_record_observer([this](int32_t rec_ctr) {
    if (rec_ctr != 5) return;
    Command("cmdOK")->click();
    Note("OK during a run");
  });
  const std::string faulty = CleanRCW({{188, "XX"}});
  Run({Submission("limit.txt", {CleanRCA(), CleanRCE(), faulty, faulty, faulty, faulty, faulty,
                                CleanRCT(5), FinalRecord(5)})});
  const RunSummary& run = window->last_summary();
  trace += "run: " + std::to_string(run.records_tested) + " records, " +
           std::to_string(run.errors) +
           " errors, last: " + (run.critical ? run.critical->reference : "none") + "\n";
  ExpectUiFileHolds("traces/error_limit_dialog.trace", trace);
  // A new window reads the saved limit.
  window.reset();
  Open();
  EXPECT_EQ(window->max_errors(), 2);
}

// The real refusal box hands the focus to the main window when it closes;
// the dialog takes it back into the entry.
TEST_F(WindowTest, AfterTheRefusalBoxTheFocusIsBackInTheLimitEntryAndHelpOpens) {
  Open();
  QtPrompts screen(window.get());
  ErrorLimitDialog limit(*window, screen);
  limit.Open(500);
  auto* box = limit.findChild<QLineEdit*>("txtErrorCount");
  box->setText("0");
  WhenModal<QMessageBox>([](QMessageBox* m) { m->accept(); });
  limit.AcceptLimit();
  QApplication::processEvents();
  EXPECT_TRUE(limit.isVisible());
  EXPECT_EQ(QApplication::activeWindow(), &limit);
  EXPECT_EQ(QApplication::focusWidget(), box);
  EXPECT_EQ(box->selectedText(), "0");

  // Help Contents opens the help file at its contents (a missing help file:
  // HelpMissing.state).
  std::filesystem::remove(folders.help_file);
  std::filesystem::copy_file(std::string(LINTARO_SOURCE_DIR) + "/src/ui/Lintaro.hlp",
                             folders.help_file);
  window->resize(window->minimumSize());
  window->move(20, 30);
  Action("mnuHContents")->trigger();
  auto* help = qobject_cast<HelpWindow*>(window->help_window());
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  // Over the middle of the main window, which is not in the screen's corner.
  EXPECT_LE((help->frameGeometry().center() - window->frameGeometry().center()).manhattanLength(),
            4);
  EXPECT_TRUE(help->browser()->toPlainText().startsWith("Lintaro 2007 Help"));
  EXPECT_LT(help->browser()->verticalScrollBar()->value(), 40);  // at the contents
  EXPECT_TRUE(prompts.messages.empty());
  // Alt with a letter reaches one command only.
  QStringList commands;
  for (QPushButton* b : help->findChildren<QPushButton*>()) commands << b->text();
  EXPECT_EQ(commands, (QStringList{"Co&ntents", "&Back", "&Close"}));
}

TEST(EventPumpTest, ProcessesEventsAtMostOncePerInterval) {
  QtEventPump pump(std::chrono::milliseconds(40));
  int refreshed = 0;
  pump.set_before_events([&] { ++refreshed; });
  const auto start = std::chrono::steady_clock::now();
  long long calls = 0;
  while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(200)) {
    pump.ProcessEvents();
    ++calls;
  }
  EXPECT_GT(calls, 1000);
  // The first call at once, then one every 40 ms.
  EXPECT_GE(pump.rounds(), 2);
  EXPECT_LE(pump.rounds(), 7);
  EXPECT_EQ(refreshed, pump.rounds());
  // After a reset (a new run) the next call processes at once.
  const long long before = pump.rounds();
  pump.Reset();
  pump.ProcessEvents();
  EXPECT_EQ(pump.rounds(), before + 1);
}

// What the real message box and open dialog showed is in
// tests/ui/traces/qt_prompts.trace.
TEST(QtPromptsTest, MessageBoxAndOpenDialogShowTheirTitlesTextsAndChoices) {
  QtPrompts prompts;
  QStringList seen;
  WhenModal<QMessageBox>([&](QMessageBox* box) {
    seen << box->windowTitle() << box->text()
         << (box->icon() == QMessageBox::Question ? "question" : "another icon")
         << (box->standardButtons() == (QMessageBox::Yes | QMessageBox::No) ? "yes no" : "others");
    box->button(QMessageBox::Yes)->click();
  });
  EXPECT_EQ(prompts.Message("Results", "Testing Completed.\r\nThere were no errors found.",
                            Icon::kQuestion, Buttons::kYesNo),
            Answer::kYes);

  // The open dialog: its title, filters and the file chosen.
  TempDir dir;
  const std::string file = dir.Write("CORRECTIONS", "RCA");  // no extension: All Files shows it
  WhenModal<QFileDialog>([&](QFileDialog* dialog) {
    seen << dialog->windowTitle() << dialog->nameFilters();
    // Typed, as a user does: selecting it would wait for the folder's listing.
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(file));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  EXPECT_EQ(prompts.OpenFile("Please Enter File Name to be Tested", kOpenFileFilter), file);
  std::string trace;
  for (const QString& line : seen) trace += Escape(line.toStdString()) + "\n";
  ExpectUiFileHolds("traces/qt_prompts.trace", trace);

  WhenModal<QWidget>([](QWidget* w) { QMetaObject::invokeMethod(w, "reject"); });
  EXPECT_FALSE(prompts.OpenFile("Please Enter Next File Name to be Tested", kOpenFileFilter));

  // Asked while another window of the program is in front (the report
  // window), a box belongs to that window, which stays in front after it.
  QWidget main_window;
  QWidget report(&main_window, Qt::Window);
  main_window.show();
  report.show();
  report.activateWindow();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), &report);
  QtPrompts owned(&main_window);
  QWidget* owner = nullptr;
  WhenModal<QMessageBox>([&](QMessageBox* box) {
    owner = box->parentWidget();
    box->button(QMessageBox::Ok)->click();
  });
  owned.Message("Save Report", "The report could not be saved.", Icon::kExclamation, Buttons::kOk);
  EXPECT_EQ(owner, &report);

  // A long file name is shown whole, on as many lines as it needs, not cut
  // at the box's edge: folders of any length, one name without a break.
  const std::string path = "/home/payroll/" + std::string(150, 'q') + "/corrections_" +
                           std::string(60, 'w') + "_2007.txt";
  QString shown;
  bool whole = false;
  WhenModal<QMessageBox>([&](QMessageBox* box) {
    const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
    shown = label->text();
    whole = label->minimumSizeHint().width() <= label->width();
    box->button(QMessageBox::Ok)->click();
  });
  prompts.Message("Last Report Results", "No errors found in " + path, Icon::kInformation,
                  Buttons::kOk);
  EXPECT_TRUE(whole);
  EXPECT_EQ(shown.remove(QChar(0x200B)).toStdString(), "No errors found in " + path);
  // A name that looks like markup is shown as it is written.
  std::string drawn;
  WhenModal<QMessageBox>([&](QMessageBox* box) {
    const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
    drawn = label->textFormat() == Qt::PlainText || !Qt::mightBeRichText(label->text())
                ? label->text().toStdString()
                : "(as markup) " + label->text().toStdString();
    box->button(QMessageBox::Ok)->click();
  });
  prompts.Message("Results", "No errors found in /data/<b>W-2c</b> &amp; more.txt",
                  Icon::kInformation, Buttons::kOk);
  EXPECT_EQ(drawn, "No errors found in /data/<b>W-2c</b> &amp; more.txt");
}

// The save dialog of "Save As...": an empty name in the given folder, text
// files offered first, ".txt" added to a bare name, and a question before a
// new file is created (No returns to the dialog).
TEST(QtPromptsTest, SaveDialogStartsEmptyAddsTxtAndAsksBeforeCreating) {
  TempDir dir;
  const QString folder = QDir(QString::fromStdString(dir.str())).absolutePath();
  QtPrompts prompts;
  QStringList seen;  // what the dialog offered, then each question's first line
  auto type_name = [&](QFileDialog* dialog, const QString& name) {
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
    QMetaObject::invokeMethod(dialog, "accept");
  };
  auto answer = [&](QMessageBox::StandardButton button, std::function<void()> then) {
    WhenModal<QMessageBox>([&seen, button, then](QMessageBox* box) {
      seen << box->text().section('\n', 0, 0);
      box->button(button)->click();
      then();
    });
  };
  WhenModal<QFileDialog>([&](QFileDialog* dialog) {
    seen << dialog->findChild<QLineEdit*>("fileNameEdit")->text()
         << dialog->directory().absolutePath() << dialog->nameFilters() << dialog->defaultSuffix();
    type_name(dialog, "march");
    answer(QMessageBox::No, [&] {
      WhenModal<QFileDialog>([&](QFileDialog* again) {
        type_name(again, "april");
        answer(QMessageBox::Yes, [] {});
      });
    });
  });
  const auto chosen = prompts.SaveFile(
      "Please Enter File Name", "ASCII Text Files (*.txt)|*.txt|All Files (*.*)|*.*|", dir.str());
  EXPECT_EQ(seen,
            (QStringList{"", folder, "ASCII Text Files (*.txt) (*.txt)", "All Files (*.*) (*)",
                         "txt", folder + "/march.txt", folder + "/april.txt"}));
  EXPECT_EQ(chosen, dir.str() + "/april.txt");

  EXPECT_EQ(FirstExtension("All Files (*.*)|*.*|"), "");
}

// Go to Record refuses a number the grid has not and stays open with the
// number selected, to be typed over; a number it has closes it and selects
// the record.
TEST_F(WindowTest, GoToRecordStaysOpenAfterANumberOutOfRange) {
  WriteResults({"/data/five.txt"}, {"RCA", "RCE", "RCW", "RCW", "RCT"});
  Open();
  Button("cmdLast")->click();  // "No errors found in ..."
  Button("cmdView")->click();
  prompts.messages.clear();
  std::string after_refusal;
  WhenModal<GoToRecordDialog>([&](GoToRecordDialog* dialog) {
    dialog->entry()->setText("9");
    dialog->findChild<QPushButton*>("cmdOK")->click();
    after_refusal = std::string(dialog->isVisible() ? "open" : "closed") + ", selected [" +
                    dialog->entry()->selectedText().toStdString() + "], " +
                    Describe(prompts.messages.back());
    dialog->entry()->setText("4");
    dialog->findChild<QPushButton*>("cmdOK")->click();
  });
  Action("mnuVGoToRecord")->trigger();
  EXPECT_EQ(after_refusal,
            "open, selected [9], Go to Record | information ok | There is no record number 9. "
            "The last test covered 5 record(s).");
  EXPECT_EQ(Find<QTableView>("DBGrid3")->currentIndex().row(), 3);
  EXPECT_EQ(prompts.messages.size(), 1u);
}

}  // namespace
}  // namespace lintaro::testing
