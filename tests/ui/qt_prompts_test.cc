// The real message boxes and open-file dialog, answered by a timer.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include "run/check_run.h"
#include "support/fakes.h"
#include "ui/qt_platform.h"

namespace lintaro::testing {
namespace {

// Runs answer on the modal dialog once it is shown.
void WhenModal(std::function<void(QWidget*)> answer) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, answer] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      answer(modal);
    }
  });
  timer->start();
}

TEST(QtPromptsTest, MessageBoxShowsTitleTextIconAndButtons) {
  QtPrompts prompts;
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  WhenModal([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    buttons = box->standardButtons();
    box->button(QMessageBox::Yes)->click();
  });
  const Answer a = prompts.Message("Results", "Testing Completed.\r\nThere were no errors found.",
                                   Icon::kQuestion, Buttons::kYesNo);
  EXPECT_EQ(a, Answer::kYes);
  EXPECT_EQ(title, "Results");
  EXPECT_EQ(text, "Testing Completed.\nThere were no errors found.");
  EXPECT_EQ(icon, QMessageBox::Question);
  EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No);
}

TEST(QtPromptsTest, OpenFileDialogTitleFilterAndChoice) {
  TempDir dir;
  const std::string file = dir.Write("CORRECTIONS", "RCA");  // no extension: All Files shows it
  QtPrompts prompts;
  QString title;
  QStringList filters;
  WhenModal([&](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    title = dialog->windowTitle();
    filters = dialog->nameFilters();
    dialog->selectFile(QString::fromStdString(file));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  auto chosen = prompts.OpenFile("Please Enter File Name to be Tested", kOpenFileFilter);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, file);
  EXPECT_EQ(title, "Please Enter File Name to be Tested");
  EXPECT_EQ(filters, ToNameFilters(kOpenFileFilter));

  WhenModal([](QWidget* w) { QMetaObject::invokeMethod(w, "reject"); });
  EXPECT_FALSE(prompts.OpenFile("Please Enter Next File Name to be Tested", kOpenFileFilter));
}

// The save dialog of "Save As...": an empty name in the given folder, text
// files offered first, ".txt" added to a bare name, and a question before a
// new file is created (No returns to the dialog).
TEST(QtPromptsTest, SaveDialogStartsEmptyAddsTxtAndAsksBeforeCreating) {
  TempDir dir;
  const std::string filter = "ASCII Text Files (*.txt)|*.txt|All Files (*.*)|*.*|";
  QtPrompts prompts;
  QString name_shown, folder_shown, suffix;
  QStringList filters;
  QStringList questions;
  auto type_name = [&](QFileDialog* dialog, const QString& name) {
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
    QMetaObject::invokeMethod(dialog, "accept");
  };
  WhenModal([&](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    name_shown = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
    folder_shown = dialog->directory().absolutePath();
    filters = dialog->nameFilters();
    suffix = dialog->defaultSuffix();
    type_name(dialog, "march");
    WhenModal([&](QWidget* box) {  // the question: No, back to the dialog
      questions << qobject_cast<QMessageBox*>(box)->text();
      qobject_cast<QMessageBox*>(box)->button(QMessageBox::No)->click();
      WhenModal([&](QWidget* again) {
        type_name(qobject_cast<QFileDialog*>(again), "april");
        WhenModal([&](QWidget* box2) {
          questions << qobject_cast<QMessageBox*>(box2)->text();
          qobject_cast<QMessageBox*>(box2)->button(QMessageBox::Yes)->click();
        });
      });
    });
  });
  const auto chosen = prompts.SaveFile("Please Enter File Name", filter, dir.str());
  EXPECT_EQ(name_shown, "");
  EXPECT_EQ(folder_shown, QDir(QString::fromStdString(dir.str())).absolutePath());
  EXPECT_EQ(filters, ToNameFilters(filter));
  EXPECT_EQ(suffix, "txt");
  ASSERT_EQ(questions.size(), 2);
  EXPECT_TRUE(questions[0].startsWith(QString::fromStdString(dir.str() + "/march.txt\n")));
  EXPECT_TRUE(questions[1].contains("april.txt"));
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, dir.str() + "/april.txt");

  // An existing file with an extension of its own: replacing it is the
  // dialog's own question, nothing more is asked.
  const std::string existing = dir.Write("report.lst", "old");
  int replace_questions = 0;
  WhenModal([&](QWidget* w) {
    WhenModal([&](QWidget* box) {
      ++replace_questions;
      qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
    });
    type_name(qobject_cast<QFileDialog*>(w), "report.lst");
  });
  EXPECT_EQ(prompts.SaveFile("Please Enter File Name", filter, dir.str()), existing);
  EXPECT_EQ(replace_questions, 1);
  EXPECT_EQ(FirstExtension("All Files (*.*)|*.*|"), "");
}

}  // namespace
}  // namespace lintaro::testing
