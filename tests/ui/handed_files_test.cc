// Files named on the command line or dropped on the window: the test starts
// at once without the open-file dialog, as Start Testing with those files.
#include "ui/handed_files.h"

#include <QDropEvent>
#include <QMimeData>

#include "window_fixture.h"

namespace lintaro::testing {
namespace {

class HandedFilesTest : public WindowTest {
 protected:
  void OpenWithHandOver() {
    Open(&handed);
    hand_over = std::make_unique<FileHandOver>(*window, handed);
  }

  // Sends a drag of the URLs onto the window and, when the drag is accepted
  // and drop is set, drops it; returns whether it was accepted.
  bool Drop(const QList<QUrl>& urls, bool drop = true) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint centre = window->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    if (!enter.isAccepted() || !drop) return enter.isAccepted();
    QDropEvent dropped(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &dropped);
    QApplication::processEvents();
    return dropped.isAccepted();
  }

  HandedFilePrompts handed{prompts};
  std::unique_ptr<FileHandOver> hand_over;
};

TEST_F(HandedFilesTest, FilesOfOneSubmissionOrADroppedOneAreTestedWithoutTheDialog) {
  std::vector<std::string> records = CleanSubmission(2);
  const std::string last = records.back();
  records.pop_back();
  const std::string first = Submission("part1.txt", records);
  const std::string second = Submission("part2.txt", {last});
  const std::string extra = Submission("extra.txt", {MakeRecord("RCW")});
  OpenWithHandOver();

  ASSERT_TRUE(hand_over->Start({QString::fromStdString(first), QString::fromStdString(second),
                                QString::fromStdString(extra)}));
  EXPECT_FALSE(hand_over->Start({QString::fromStdString(first)}));  // one start at a time
  QApplication::processEvents();
  EXPECT_EQ(window->last_summary().outcome, RunOutcome::kClean);
  EXPECT_EQ(window->last_summary().records_tested, static_cast<int64_t>(records.size() + 1));
  EXPECT_TRUE(prompts.dialog_titles.empty());

  // The file after the final record is not kept: Start Testing asks again.
  Run({first, second});
  EXPECT_EQ(prompts.dialog_titles.size(), 2u);
  EXPECT_FALSE(hand_over->Start({}));

  // A dropped file is tested; other drops are refused.
  const QString clean = QString::fromStdString(Submission("clean.txt", CleanSubmission(3)));
  EXPECT_TRUE(window->acceptDrops());

  // A folder, a remote address and a missing file are not submissions.
  EXPECT_FALSE(Drop({QUrl::fromLocalFile(QString::fromStdString(home.str()))}));
  EXPECT_FALSE(Drop({QUrl("https://files.lintaro.example/sub.txt")}));
  EXPECT_FALSE(Drop({QUrl::fromLocalFile(QString::fromStdString(home.str() + "/gone.txt"))}));
  EXPECT_EQ(window->last_summary().records_tested, 6);  // still the run of part1 and part2

  // A drag arriving while the run is going is refused.
  bool accepted_during_run = true;
  window->set_record_observer([&](int32_t rec_ctr) {
    if (rec_ctr == 2) accepted_during_run = Drop({QUrl::fromLocalFile(clean)}, /*drop=*/false);
  });
  EXPECT_TRUE(Drop({QUrl::fromLocalFile(clean)}));
  EXPECT_EQ(window->last_summary().outcome, RunOutcome::kClean);
  EXPECT_EQ(window->last_summary().records_tested, 7);
  EXPECT_FALSE(accepted_during_run);
  EXPECT_EQ(prompts.dialog_titles.size(), 2u);

  // A file whose name is not UTF-8 (Latin-1 here) comes percent-encoded.
  window->set_record_observer(nullptr);
  const std::string latin1 = Submission("caf\xE9 2.txt", CleanSubmission(4));
  EXPECT_TRUE(Drop(
      {QUrl::fromEncoded("file://" + QByteArray::fromStdString(latin1).toPercentEncoding("/"))}));
  EXPECT_EQ(window->last_summary().outcome, RunOutcome::kClean);
  EXPECT_EQ(window->last_summary().records_tested, 8);
}

}  // namespace
}  // namespace lintaro::testing
