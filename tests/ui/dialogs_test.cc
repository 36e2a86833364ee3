#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextBrowser>
#include <QtTest/QTest>
#include <filesystem>
#include <set>

#include "ui/error_limit_dialog.h"
#include "ui/help_window.h"
#include "window_fixture.h"

namespace lintaro::testing {
namespace {

class ErrorLimitDialogTest : public WindowTest {
 protected:
  QLineEdit* OpenDialog() {
    Open();
    Action("mnuTSet")->trigger();
    dialog = window->findChild<QDialog*>("frmSetErrors");
    EXPECT_NE(dialog, nullptr);
    return dialog->findChild<QLineEdit*>("txtErrorCount");
  }
  void Type(QLineEdit* box, const QString& keys) {
    box->clear();
    QTest::keyClicks(box, keys);
  }
  QDialog* dialog = nullptr;
};

TEST_F(ErrorLimitDialogTest, OnlyDigitsAndBackspaceAreTyped) {
  QLineEdit* box = OpenDialog();
  EXPECT_EQ(box->text(), "500");
  Type(box, "2a5");
  EXPECT_EQ(box->text(), "25");
  Type(box, "1-2.3 4,5e");
  EXPECT_EQ(box->text(), "12345");
  QTest::keyClick(box, Qt::Key_Backspace);
  EXPECT_EQ(box->text(), "1234");
  box->clear();
  box->insert("12x");  // pasting is held to digits as well
  EXPECT_EQ(box->text(), "");
}

TEST_F(ErrorLimitDialogTest, RefusesZeroBlankTooLargeAndCancel) {
  QLineEdit* box = OpenDialog();
  for (const char* entry : {"0", "00", "25001", ""}) {
    prompts.messages.clear();
    Type(box, entry);
    dialog->findChild<QPushButton*>("cmdOK")->click();
    ASSERT_EQ(prompts.messages.size(), 1u) << entry;
    EXPECT_EQ(prompts.messages[0].text,
              "The error limit can not be zero or blank or greater than 25,000.");
    EXPECT_TRUE(dialog->isVisible()) << entry;
    EXPECT_EQ(dialog->focusWidget(), box);
    EXPECT_EQ(box->selectedText(), box->text()) << entry;  // ready to be typed over
  }
  Type(box, "42");
  dialog->findChild<QPushButton*>("cmdCancel")->click();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(window->max_errors(), 500);
  EXPECT_TRUE(prompts.dialog_titles.empty());  // no run was started
}

// OK stays the default button however the dialog was last closed, so that
// typing a limit and pressing Enter keeps it.
TEST_F(ErrorLimitDialogTest, EnterConfirmsEvenAfterTheDialogWasCancelled) {
  QLineEdit* box = OpenDialog();
  auto* ok = dialog->findChild<QPushButton*>("cmdOK");
  auto* cancel = dialog->findChild<QPushButton*>("cmdCancel");
  cancel->setFocus();
  QTest::keyClick(cancel, Qt::Key_Space);  // Cancel chosen from the keyboard
  ASSERT_FALSE(dialog->isVisible());
  Action("mnuTSet")->trigger();
  ASSERT_TRUE(dialog->isVisible());
  EXPECT_TRUE(ok->isDefault());
  EXPECT_FALSE(cancel->isDefault());
  EXPECT_EQ(dialog->focusWidget(), box);
  Type(box, "100");
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(window->max_errors(), 100);
  EXPECT_EQ(prompts.dialog_titles, std::vector<std::string>{"Please Enter File Name to be Tested"});
}

// The real refusal box hands the focus to the main window when it closes;
// the dialog takes it back into the entry.
TEST_F(WindowTest, AfterTheRefusalBoxTheFocusIsBackInTheLimitEntry) {
  Open();
  QtPrompts screen(window.get());
  ErrorLimitDialog limit(*window, screen);
  limit.Open(500);
  auto* box = limit.findChild<QLineEdit*>("txtErrorCount");
  box->setText("0");
  QString shown;
  WhenModal<QMessageBox>([&](QMessageBox* m) {
    shown = m->text();
    m->accept();
  });
  limit.AcceptLimit();
  QApplication::processEvents();
  EXPECT_EQ(shown, "The error limit can not be zero or blank or greater than 25,000.");
  EXPECT_TRUE(limit.isVisible());
  EXPECT_EQ(QApplication::activeWindow(), &limit);
  EXPECT_EQ(QApplication::focusWidget(), box);
  EXPECT_EQ(box->selectedText(), "0");
}

TEST_F(ErrorLimitDialogTest, AcceptsTheLimitSavesItAndStartsARun) {
  QLineEdit* box = OpenDialog();
  Type(box, "25000");
  prompts.files.push_back(Submission("crit.txt", {MakeRecord("RCA"), MakeRecord("RCW")}));
  dialog->findChild<QPushButton*>("cmdOK")->click();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(window->max_errors(), 25000);
  EXPECT_EQ(ReadWholeFile(JoinPath(home.str(), "ErrSetLog.ini")).substr(0, 27),
            "[Maximum Error Count]:25000");
  EXPECT_EQ(prompts.dialog_titles, std::vector<std::string>{"Please Enter File Name to be Tested"});
  EXPECT_EQ(window->last_summary().outcome, RunOutcome::kCriticalStop);
  // A new window reads the saved limit.
  window.reset();
  Open();
  EXPECT_EQ(window->max_errors(), 25000);
}

TEST_F(WindowTest, HelpContentsOpensTheHelpFileOrSaysItIsMissing) {
  Open();
  std::filesystem::remove(folders.help_file);
  Action("mnuHContents")->trigger();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].text.find("Lintaro.hlp"), std::string::npos);

  std::filesystem::copy_file(std::string(LINTARO_SOURCE_DIR) + "/src/ui/Lintaro.hlp",
                             folders.help_file);
  Action("mnuHContents")->trigger();
  auto* help = qobject_cast<HelpWindow*>(window->helpWindow());
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  EXPECT_TRUE(help->browser()->toPlainText().startsWith("Lintaro 2007 Help"));
  EXPECT_LT(help->browser()->verticalScrollBar()->value(), 40);  // at the contents
  EXPECT_EQ(prompts.messages.size(), 1u);
  // Alt with a letter reaches one command only.
  std::set<QChar> keys;
  const QList<QPushButton*> commands = help->findChildren<QPushButton*>();
  for (QPushButton* b : commands) {
    const qsizetype at = b->text().indexOf('&');
    ASSERT_GE(at, 0) << b->text().toStdString();
    keys.insert(b->text().at(at + 1).toLower());
  }
  EXPECT_EQ(keys.size(), static_cast<size_t>(commands.size()));
}

TEST(NameFiltersTest, OpenDialogFilter) {
  const QStringList filters = ToNameFilters(kOpenFileFilter);
  ASSERT_EQ(filters.size(), 2);
  EXPECT_EQ(filters[0], "All Files (*.*) (*)");
  EXPECT_EQ(filters[1], "Ascii Text Files (*.txt; *.asc) (*.txt *.asc)");
}

}  // namespace
}  // namespace lintaro::testing

namespace lintaro::testing {
namespace {

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

}  // namespace
}  // namespace lintaro::testing
