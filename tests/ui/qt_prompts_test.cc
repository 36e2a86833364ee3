// The real message boxes and open-file dialog, answered by a timer.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "ui/qt_platform.h"
#include "window_fixture.h"

namespace lintaro::testing {
namespace {

TEST(QtPromptsTest, MessageBoxShowsTitleTextIconAndButtons) {
  QtPrompts prompts;
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  WhenModal<QMessageBox>([&](QMessageBox* box) {
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
  WhenModal<QFileDialog>([&](QFileDialog* dialog) {
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

  WhenModal<QWidget>([](QWidget* w) { QMetaObject::invokeMethod(w, "reject"); });
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
  WhenModal<QFileDialog>([&](QFileDialog* dialog) {
    name_shown = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
    folder_shown = dialog->directory().absolutePath();
    filters = dialog->nameFilters();
    suffix = dialog->defaultSuffix();
    type_name(dialog, "march");
    WhenModal<QMessageBox>([&](QMessageBox* box) {  // the question: No, back to the dialog
      questions << box->text();
      box->button(QMessageBox::No)->click();
      WhenModal<QFileDialog>([&](QFileDialog* again) {
        type_name(again, "april");
        WhenModal<QMessageBox>([&](QMessageBox* box2) {
          questions << box2->text();
          box2->button(QMessageBox::Yes)->click();
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

  EXPECT_EQ(FirstExtension("All Files (*.*)|*.*|"), "");
}

}  // namespace
}  // namespace lintaro::testing
