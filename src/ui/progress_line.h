// The run's progress line in the main window: the record counter
// "lblRecCtr" ("Processing Record Number: " n) and under it the bar
// "lblPrgrss1" growing inside its frame "lblPrgrss2" with the share of the
// file read.
//
// A run reports every record; drawing each would slow it down, so the run
// only sets the newest counter and share, and a timer draws them at most
// every paint interval (50 ms: as often as anyone can see), when the window
// processes its events. Only the counter and the bar are painted then. The
// first record, the full bar at the end of the file, and the counter and
// bar before any message or file dialog of the run are drawn at once
// (ProgressFirstPrompts), so that the counter and bar a box appears over
// are the run's last, never those of an earlier moment or run.
#ifndef LINTARO_UI_PROGRESS_LINE_H_
#define LINTARO_UI_PROGRESS_LINE_H_

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <cstdint>

#include "platform/platform.h"

class QLabel;

namespace lintaro {

class ProgressLine : public QWidget {
  Q_OBJECT

 public:
  explicit ProgressLine(QWidget* parent = nullptr);

  // A run's file was opened: an empty bar, nothing waiting; hidden until
  // its first record.
  void Start();
  // Record rec_ctr is being tested with share (0 to 1) of its file read, or
  // a negative share for a one-record file (the bar stays). The first
  // record of a run is drawn at once, later ones by the timer or at the
  // next Flush.
  void Record(int32_t rec_ctr, double share);
  // The whole file was read: the bar is full, drawn now with the counter.
  void FileRead();
  // Draws what waits, now (nothing when nothing waits).
  void Flush();
  // Hides the line (the run is over, another view takes the area).
  void Hide();

  static constexpr std::chrono::milliseconds kPaintInterval{50};
  // How often the timer draws what waits (tests lengthen it).
  void set_paint_interval(std::chrono::milliseconds interval);

  bool waiting() const { return waiting_.load(std::memory_order_relaxed); }
  // The counter and share drawn last.
  int32_t shown_record() const { return shown_record_; }
  double shown_share() const { return shown_share_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Draws what waits (the timer's, not now).
  void Flush(bool now);
  // Draws the newest counter and share: painted now, or when the window
  // next paints.
  void Draw(bool now);
  void PlaceBar();
  void MeasureCounter();

  QLabel* counter_label_;
  QLabel* bar_frame_;
  QLabel* bar_;
  QTimer paint_timer_;
  // The counter's width (MeasureCounter).
  int counter_width_ = 0;
  // Set by the run at each record, read when drawing.
  std::atomic<int32_t> record_ = 0;
  std::atomic<double> share_ = 0;
  std::atomic<bool> waiting_ = false;
  int32_t shown_record_ = 0;
  double shown_share_ = 0;
  // When the counter was last told to a screen reader (it changes faster
  // than anyone could listen).
  QElapsedTimer announced_;
};

// The prompts of a run in the window: before each message box and file
// dialog the progress line draws what waits, then the window's own prompts
// show it.
class ProgressFirstPrompts : public Prompts {
 public:
  // Both must outlive this object.
  ProgressFirstPrompts(Prompts& prompts, ProgressLine& progress)
      : prompts_(prompts), progress_(progress) {}

  Answer Message(const std::string& title, const std::string& text, Icon icon,
                 Buttons buttons) override;
  std::optional<std::string> OpenFile(const std::string& title, const std::string& filter) override;
  std::optional<std::string> SaveFile(const std::string& title, const std::string& filter,
                                      const std::string& start_folder) override;

 private:
  Prompts& prompts_;
  ProgressLine& progress_;
};

}  // namespace lintaro

#endif  // LINTARO_UI_PROGRESS_LINE_H_
