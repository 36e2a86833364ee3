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
  QStringList seen;
  WhenModal<QMessageBox>([&](QMessageBox* box) {
    seen << box->windowTitle() << box->text() << QString::number(box->icon())
         << QString::number(box->standardButtons());
    box->button(QMessageBox::Yes)->click();
  });
  EXPECT_EQ(prompts.Message("Results", "Testing Completed.\r\nThere were no errors found.",
                            Icon::kQuestion, Buttons::kYesNo),
            Answer::kYes);
  EXPECT_EQ(seen, (QStringList{"Results", "Testing Completed.\nThere were no errors found.",
                               QString::number(QMessageBox::Question),
                               QString::number(QMessageBox::Yes | QMessageBox::No)}));
}

TEST(QtPromptsTest, OpenFileDialogTitleFilterAndChoice) {
  TempDir dir;
  const std::string file = dir.Write("CORRECTIONS", "RCA");  // no extension: All Files shows it
  QtPrompts prompts;
  QStringList seen;
  WhenModal<QFileDialog>([&](QFileDialog* dialog) {
    seen << dialog->windowTitle() << dialog->nameFilters();
    dialog->selectFile(QString::fromStdString(file));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  EXPECT_EQ(prompts.OpenFile("Please Enter File Name to be Tested", kOpenFileFilter), file);
  EXPECT_EQ(seen, (QStringList{"Please Enter File Name to be Tested", "All Files (*.*) (*)",
                               "Ascii Text Files (*.txt; *.asc) (*.txt *.asc)"}));

  WhenModal<QWidget>([](QWidget* w) { QMetaObject::invokeMethod(w, "reject"); });
  EXPECT_FALSE(prompts.OpenFile("Please Enter Next File Name to be Tested", kOpenFileFilter));
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

}  // namespace
}  // namespace lintaro::testing
