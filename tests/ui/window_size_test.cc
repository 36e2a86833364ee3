// The main window's size: the designed size is the smallest, the first
// start fits the screen, later starts restore the last place, and a larger
// window gives the grids and the record viewer the room.
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

#include "support/clean_records.h"
#include "ui/record_view.h"
#include "window_fixture.h"

namespace lintaro::testing {
namespace {

TEST(WindowPlacementSizes, FirstStartFitsTheScreenAndNeverGoesBelowTheDesign) {
  const QSize design(768, 547);
  struct Case {
    QRect available;
    QSize minimum, first;
  };
  const Case cases[] = {
      {QRect(0, 0, 1280, 1024), design, QSize(1152, 921)},
      {QRect(0, 24, 1920, 1056), design, QSize(1728, 950)},
      {QRect(0, 0, 800, 600), design, QSize(768, 547)},           // nine tenths is too small
      {QRect(0, 0, 960, 516), QSize(768, 516), QSize(864, 516)},  // scale 2 on 1920x1080
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MinimumWindowSize(design, c.available), c.minimum) << c.available.width();
    EXPECT_EQ(FirstStartSize(c.available, c.minimum), c.first) << c.available.width();
  }
}

class WindowSizeTest : public WindowTest {
 protected:
  RecordView& view() { return *window->recordView(); }
  // A wage record with long field names shown in the viewer.
  void ShowWageRecord() {
    Open();
    Run({Submission("wages.txt", CleanRecords(1))});
    Button("cmdView")->click();
    auto* grid3 = Find<QTableView>("DBGrid3");
    grid3->setCurrentIndex(grid3->model()->index(2, 0));
    QApplication::processEvents();
    ASSERT_EQ(view().row_count(), 78);
  }
  // Rows whose name is cut by its box.
  std::vector<int> CutNames() {
    std::vector<int> cut;
    for (int i = 0; i < view().row_count(); ++i) {
      const QLineEdit* name = view().NameBox(i);
      const int frame = name->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
      const int inner = name->width() - 2 * (frame + 2);
      if (name->fontMetrics().horizontalAdvance(name->text()) > inner) cut.push_back(i);
    }
    return cut;
  }
};

TEST_F(WindowSizeTest, ALargerWindowGrowsTheGridAndTheViewerAndShowsEveryNameWhole) {
  ShowWageRecord();
  const QSize smallest = window->minimumSize();
  window->resize(smallest);
  QApplication::processEvents();
  auto* grid3 = Find<QTableView>("DBGrid3");
  const int rows_small = view().scroll().rows_shown();
  const int value_small = view().ValueBox(0)->width();
  const int grid_small = grid3->height();
  EXPECT_FALSE(CutNames().empty());  // the designed size cuts the longest names

  // The size of a first start on a 1280x1024 screen.
  window->resize(FirstStartSize(QRect(0, 0, 1280, 1024), smallest));
  QApplication::processEvents();
  EXPECT_GE(view().scroll().rows_shown(), 20);
  EXPECT_GT(view().scroll().rows_shown(), rows_small);
  EXPECT_GT(grid3->height(), grid_small);
  EXPECT_GT(view().ValueBox(0)->width(), value_small);
  EXPECT_EQ(CutNames(), std::vector<int>{});
  // The value boxes reach the scroll bar; the headings follow the columns.
  const QScrollBar* bar = view().scrollBar();
  EXPECT_EQ(view().ValueBox(0)->x() + view().ValueBox(0)->width(), bar->x());
  EXPECT_EQ(Find<QLabel>("lblFData")->x() - Find<QLabel>("lblFName")->x(),
            view().NameColumnWidth());
  EXPECT_EQ(view().ValueBox(0)->x(), view().NameColumnWidth());
  EXPECT_EQ(bar->height(), view().scroll().rows_shown() * view().NameBox(0)->height());

  // Back to the smallest: everything returns.
  window->resize(QSize(200, 150));  // below the smallest size
  QApplication::processEvents();
  EXPECT_EQ(window->size(), smallest);
  EXPECT_EQ(view().scroll().rows_shown(), rows_small);
  EXPECT_EQ(grid3->height(), grid_small);
}

TEST_F(WindowSizeTest, LaterStartsOpenAtTheLastPlace) {
  Open();
  const QRect first = window->geometry();
  // The designed width, unless the screen is narrower.
  EXPECT_EQ(window->minimumSize().width(),
            std::min(window->Twips(11520), window->screen()->availableGeometry().width()));
  window->setGeometry(QRect(first.topLeft() + QPoint(7, 5), first.size() + QSize(90, 60)));
  QApplication::processEvents();
  const QRect left = window->geometry();
  window->close();  // Exit saves the place
  window.reset();
  keep_placement = true;
  Open();
  EXPECT_EQ(window->size(), left.size());
  // Without a saved place (or with one that cannot be read) the first
  // start's size again.
  window.reset();
  QFile(WindowPlacement::DefaultFile()).open(QIODevice::WriteOnly | QIODevice::Truncate);
  Open();
  EXPECT_EQ(window->size(), first.size());
}

}  // namespace
}  // namespace lintaro::testing
