// The real message boxes and open-file dialog, answered by a timer.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include "core/test_run.h"
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

}  // namespace
}  // namespace lintaro::testing
