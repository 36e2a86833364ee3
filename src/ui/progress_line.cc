#include "ui/progress_line.h"

#include <QFontMetrics>
#include <QLabel>
#include <algorithm>

#include "browse/window_texts.h"
#include "ui/qt_platform.h"

namespace lintaro {

ProgressLine::ProgressLine(QWidget* parent) : QWidget(parent) {
  setObjectName("progressLine");
  // The line fills its background (the window's): drawing it paints the
  // line alone, not the window under it.
  setAutoFillBackground(true);
  counter_label_ = new QLabel(this);
  counter_label_->setObjectName("lblRecCtr");
  QFont counter = counter_label_->font();
  counter.setBold(true);
  counter_label_->setFont(counter);
  bar_frame_ = new QLabel(this);
  bar_frame_->setObjectName("lblPrgrss2");
  bar_frame_->setFrameShape(QFrame::Panel);
  bar_frame_->setFrameShadow(QFrame::Sunken);
  bar_frame_->setStyleSheet("#lblPrgrss2 { background: white; border: 1px solid #7a8699; }");
  bar_frame_->setAccessibleName("Progress");
  bar_ = new QLabel(this);
  bar_->setObjectName("lblPrgrss1");
  bar_->setStyleSheet("#lblPrgrss1 { background: #1f4e8c; }");
  // The bar is one colour: grown, it paints only its new strip (and the
  // frame under that strip), not its whole length. Its background comes
  // from the style sheet, which an opaque widget would not paint.
  bar_->setAttribute(Qt::WA_StaticContents);
  paint_timer_.setInterval(kPaintInterval);
  connect(&paint_timer_, &QTimer::timeout, this, [this] {
    if (waiting()) Flush(false);
  });
  hide();
}

void ProgressLine::set_paint_interval(std::chrono::milliseconds interval) {
  paint_timer_.setInterval(interval);
}

void ProgressLine::Start() {
  announced_.invalidate();
  record_ = 0;
  share_ = 0;
  waiting_ = false;
  shown_record_ = 0;
  shown_share_ = 0;
  MeasureCounter();
  PlaceBar();
  hide();
  paint_timer_.start();
}

void ProgressLine::Record(int32_t rec_ctr, double share) {
  record_.store(rec_ctr, std::memory_order_relaxed);
  if (share >= 0) share_.store(std::clamp(share, 0.0, 1.0), std::memory_order_relaxed);
  waiting_.store(true, std::memory_order_relaxed);
  if (isHidden()) Flush();
}

void ProgressLine::FileRead() {
  share_ = 1;
  waiting_ = true;
  Flush();
}

void ProgressLine::Flush() { Flush(true); }

void ProgressLine::Flush(bool now) {
  if (!waiting_.exchange(false, std::memory_order_relaxed)) return;
  Draw(now);
}

void ProgressLine::Draw(bool now) {
  const int32_t record = record_.load(std::memory_order_relaxed);
  const double share = share_.load(std::memory_order_relaxed);
  counter_label_->setText(ToQString(ProcessingRecordText(record)));
  // The count is announced every two seconds, and the last one at once.
  if (!announced_.isValid() || announced_.hasExpired(2000) || share >= 1) {
    counter_label_->setAccessibleName(counter_label_->text());
    bar_frame_->setAccessibleDescription(
        QString("%1% of the file tested").arg(qRound(share * 100)));
    announced_.start();
  }
  shown_record_ = record;
  shown_share_ = share;
  PlaceBar();
  show();
  // Painted before the caller goes on (a message box may come next), or
  // with the window's next events.
  if (now) repaint();
}

void ProgressLine::Hide() {
  paint_timer_.stop();
  waiting_ = false;
  hide();
}

void ProgressLine::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  MeasureCounter();
  PlaceBar();
}

// The counter is as wide as the longest count a run can show, the words
// and ten of the widest digit (record numbers stay below 2^31), so that a
// new count repaints the text and not the width of the line; measured when
// the line is placed, not at each count.
void ProgressLine::MeasureCounter() {
  const QFontMetrics metrics = counter_label_->fontMetrics();
  int digit = 0;
  for (char c = '0'; c <= '9'; ++c)
    digit = std::max(digit, metrics.horizontalAdvance(QLatin1Char(c)));
  counter_width_ = metrics.horizontalAdvance(ToQString(ProcessingRecordText(0))) + 10 * digit;
}

// The counter on the top half, the bar on the bottom half; the bar's
// length is the share drawn of its frame's.
void ProgressLine::PlaceBar() {
  const int line = std::max(1, height() * 5 / 12);
  counter_label_->setGeometry(0, 0, std::min(width(), counter_width_), line);
  bar_frame_->setGeometry(0, height() - line, width(), line);
  bar_->setGeometry(0, height() - line, std::max(1, static_cast<int>(width() * shown_share_)),
                    line);
  bar_->raise();
}

Answer ProgressFirstPrompts::Message(const std::string& title, const std::string& text, Icon icon,
                                     Buttons buttons) {
  progress_.Flush();
  return prompts_.Message(title, text, icon, buttons);
}

std::optional<std::string> ProgressFirstPrompts::OpenFile(const std::string& title,
                                                          const std::string& filter) {
  progress_.Flush();
  return prompts_.OpenFile(title, filter);
}

std::optional<std::string> ProgressFirstPrompts::SaveFile(const std::string& title,
                                                          const std::string& filter,
                                                          const std::string& start_folder) {
  progress_.Flush();
  return prompts_.SaveFile(title, filter, start_folder);
}

}  // namespace lintaro
