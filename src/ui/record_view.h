// The record viewer's widgets: one stored record of the last run, field by
// field, in the main window's viewer area below the tested-records grid.
//
// Row i is a name box "Text1_<i>" and a value box "Text2_<i>" (read-only
// line edits); "VScroll1" is the scroll bar at the right edge. Row 0 always
// exists; rows 1 and up are created for the record shown and removed by
// Unload. The value box of a field in error has the back colour 0x80FFFF
// (red 255, green 255, blue 128); all others the system's text-box colour.
//
// What the rows hold and which are marked comes from RecordViewer (the
// record's checks run again in viewing mode); which rows are visible, the
// scroll range and the Tab steps between rows come from ViewerScroll. This
// class only places and paints the boxes as they say.
#ifndef LINTARO_UI_RECORD_VIEW_H_
#define LINTARO_UI_RECORD_VIEW_H_

#include <QColor>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "browse/record_viewer.h"
#include "browse/viewer_scroll.h"

class QAbstractItemView;
class QLineEdit;
class QScrollBar;

namespace lintaro {

class ResultsDb;

// Light yellow, the colour of a value box whose field is in error.
inline const QColor kMarkedFieldColour(255, 255, 128);

class RecordView : public QWidget {
  Q_OBJECT

 public:
  // results_path: the results database the viewer reads (read-only).
  RecordView(std::string results_path, QWidget* parent = nullptr);
  ~RecordView() override;

  // The tested-records grid above the viewer: after each record shown it
  // is widened so that its right edge meets the scroll bar's, and its
  // current row is kept in view.
  void set_tested_grid(QAbstractItemView* grid);

  // ViewFile: shows stored record rec_num and sets the main window's
  // caption. A record that is not stored (a damaged results file), or a
  // database that cannot be read, empties the rows and the caption says
  // the record cannot be read.
  ViewResult ShowRecord(int64_t rec_num);
  // UnloadLabels: removes rows 1 and up, hides the scroll bar and lets go
  // of the results database (a run is about to replace it, or the grids
  // have let go of it).
  void Unload();
  // Whether a later test has replaced the results file the viewer reads.
  bool ResultsReplaced() const;

  // The boxes of row i (null past the last row).
  QLineEdit* NameBox(int row) const;
  QLineEdit* ValueBox(int row) const;
  QScrollBar* scroll_bar() const { return scroll_bar_; }
  int row_count() const { return static_cast<int>(names_.size()); }
  const ViewerScroll& scroll() const { return scroll_; }
  // The model behind the rows; null before the first record.
  const RecordViewer* viewer() const { return viewer_.get(); }

  // Column widths: every value box reaches from name box 0 to the scroll
  // bar (its left edge when shown, its right edge when hidden), and the
  // tested-records grid ends where the scroll bar does.
  void AlignColumns();

  // Width of the name boxes: wide enough for the longest field name of the
  // record shown, but at least two fifths and at most seven tenths of the
  // viewer's width, so that a wide window shows every name whole while a
  // narrow one keeps room for the values.
  int NameColumnWidth() const { return name_width_; }

 signals:
  // The name column changed width (the headings above follow it).
  void columns_moved();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* NewBox(const QString& name, bool value_box);
  void Fill();
  // Removes rows 1 and up and hides the scroll bar.
  void DropRows();
  void LayoutRows();
  void PlaceRows();
  void Paint(int row, bool marked);
  void UpdateNameColumn();
  void ScrollMoved(int value);
  bool OpenDatabase();

  std::string results_path_;
  std::unique_ptr<ResultsDb> db_;
  std::unique_ptr<RecordViewer> viewer_;
  ViewerScroll scroll_;
  std::vector<QLineEdit*> names_;
  std::vector<QLineEdit*> values_;
  QScrollBar* scroll_bar_ = nullptr;
  QPointer<QAbstractItemView> tested_grid_;
  QColor window_colour_;
  QColor text_colour_;
  bool placing_ = false;
  int name_width_ = 0;
};

}  // namespace lintaro

#endif  // LINTARO_UI_RECORD_VIEW_H_
