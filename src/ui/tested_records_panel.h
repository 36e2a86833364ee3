// The record view of the main window: the tested records (DBGrid3 under its
// caption) and, below them, the record viewer (RecordView in viewerArea)
// under its headings "Field Name" and "Field Data" (lblFName, lblFData).
// Its widgets are children of the window's shared area, beside the other
// parts' widgets.
#ifndef LINTARO_UI_TESTED_RECORDS_PANEL_H_
#define LINTARO_UI_TESTED_RECORDS_PANEL_H_

#include <QObject>
#include <cstdint>
#include <functional>
#include <string>

#include "ui/window_metrics.h"

class QLabel;

namespace lintaro {

class RecordGridView;
class RecordView;

class TestedRecordsPanel : public QObject {
 public:
  explicit TestedRecordsPanel(QWidget* area);

  // Puts the record viewer, reading the records and findings at
  // results_path, in the viewer's area (once, after the window's commands,
  // so that Tab reaches its fields after them).
  RecordView* AttachViewer(const std::string& results_path);

  // Called with the record number of a record made current in the grid.
  void set_record_chosen(std::function<void(int64_t rec_num)> f) { record_chosen_ = std::move(f); }

  // The grid is 1,510 twips high in the designed window and grows with a
  // larger one, or takes the share of the area the user dragged the
  // divider ("splitTested", between the grid and the headings) to; the
  // headings start below the divider, the viewer's rows below the headings.
  void Layout(const AreaColumn& column, bool maximized);
  // The share of the area's height the grid was dragged to (0: never).
  double share() const { return share_; }
  void set_share(double share) { share_ = share; }
  // Called when the user has dragged the divider.
  void set_share_changed(std::function<void(double)> f) { share_changed_ = std::move(f); }

  // Puts the tested records of the database at results_path in the grid
  // under a caption counting tested; false when they cannot be read (the
  // grid is left empty).
  bool Load(const std::string& results_path, int64_t tested);
  // Shows the grid and its caption.
  void ShowGrid();
  // Scrolls to the top, takes the focus and makes the first record current.
  void StartBrowsing();
  // Shows the headings and the viewer's rows.
  void ShowViewer();
  void Hide();
  void Clear();  // empties the grid

  RecordGridView* grid() const { return grid_; }
  RecordView* record_view() const { return record_view_; }

 private:
  int Twips(int twips) const { return TwipsToPixels(area_, twips); }
  void RowChanged(int row);
  // "Field Name" over the name boxes, "Field Data" over the value boxes.
  void PlaceHeadings();
  // The divider dragged to y (in the area).
  void DragDivider(int y);
  bool eventFilter(QObject* watched, QEvent* event) override;

  QWidget* area_;
  QLabel* caption_ = nullptr;
  RecordGridView* grid_ = nullptr;
  QLabel* field_name_heading_ = nullptr;
  QLabel* field_data_heading_ = nullptr;
  QWidget* viewer_area_ = nullptr;
  RecordView* record_view_ = nullptr;
  std::function<void(int64_t)> record_chosen_;
  std::function<void(double)> share_changed_;
  QWidget* divider_ = nullptr;
  double share_ = 0;
  AreaColumn column_;
  bool maximized_ = false;
  bool dragging_ = false;
};

}  // namespace lintaro

#endif  // LINTARO_UI_TESTED_RECORDS_PANEL_H_
