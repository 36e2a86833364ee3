// The grid view of the main window: the records with errors (DBGrid1 under
// its caption, lblRecords above it), the findings of the record selected
// in it (DBGrid2, lblErrors) and, at the bottom, why testing stopped
// (lblCritError, txtCritError). Its widgets are children of the window's
// shared area, beside the other parts' widgets.
#ifndef LINTARO_UI_ERROR_GRIDS_PANEL_H_
#define LINTARO_UI_ERROR_GRIDS_PANEL_H_

#include <QObject>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "ui/window_metrics.h"

class QLabel;
class QPlainTextEdit;

namespace lintaro {

class GridResults;
class RecordGridView;

class ErrorGridsPanel : public QObject {
 public:
  explicit ErrorGridsPanel(QWidget* area);

  // The labels before any results are shown.
  void LoadTexts();
  // The critical error's box at the bottom is as high as its text needs
  // (900 twips at least), as long as the grids keep 2,400 twips; a text
  // taller than that scrolls in the box. The records grid takes 42% of the
  // height left by the labels and the box, the findings grid the rest.
  void Layout(const AreaColumn& column);

  // Fills the grids from results (which must stay open until Clear) and
  // the records with errors of the database at results_path: the count of
  // tested records and records with errors, the findings of the first
  // record, the critical error's sentence or "Not Applicable.".
  void Fill(GridResults& results, const std::string& results_path, int64_t tested);
  // Makes the first record current; a record made current afterwards shows
  // its findings, unless replaced() (asked first) is true: a later test has
  // replaced the results, and the window says so.
  void SelectFirstRecord();
  void set_replaced(std::function<bool()> f) { replaced_ = std::move(f); }
  // The focus goes to the records grid, or, when testing stopped, to the
  // critical error's sentence, selected whole.
  void TakeFocus();
  void Show();
  void Hide();
  // Empties both grids and lets go of the results.
  void Clear();

  RecordGridView* records_grid() const { return records_grid_; }
  RecordGridView* findings_grid() const { return findings_grid_; }
  // The critical error's sentence shown, or empty.
  const std::string& crit_error_text() const { return crit_error_text_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int Twips(int twips) const { return TwipsToPixels(area_, twips); }
  void RecordsRowChanged(int row);
  void SelectCritText();
  // Height the critical error's box needs to show its whole text at width.
  int CritTextHeight(int width) const;

  QWidget* area_;
  GridResults* results_ = nullptr;
  std::function<bool()> replaced_;
  std::string crit_error_text_;
  QLabel* records_label_ = nullptr;
  QLabel* records_caption_ = nullptr;
  RecordGridView* records_grid_ = nullptr;
  QLabel* findings_label_ = nullptr;
  QLabel* findings_caption_ = nullptr;
  RecordGridView* findings_grid_ = nullptr;
  QLabel* crit_label_ = nullptr;
  QPlainTextEdit* crit_text_ = nullptr;
};

}  // namespace lintaro

#endif  // LINTARO_UI_ERROR_GRIDS_PANEL_H_
