#include "ui/progress_line.h"

#include <QLabel>
#include <algorithm>

#include "browse/window_texts.h"
#include "ui/qt_platform.h"

namespace lintaro {

ProgressLine::ProgressLine(QWidget* parent) : QWidget(parent) {
  setObjectName("progressLine");
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
  hide();
}

void ProgressLine::Start() {
  announced_.invalidate();
  record_ = 0;
  share_ = 0;
  waiting_ = false;
  shown_record_ = 0;
  shown_share_ = 0;
  PlaceBar();
  hide();
}

void ProgressLine::Record(int32_t rec_ctr, double share) {
  record_ = rec_ctr;
  if (share >= 0) share_ = std::clamp(share, 0.0, 1.0);
  waiting_ = true;
  if (isHidden()) Flush();
}

void ProgressLine::FileRead() {
  share_ = 1;
  waiting_ = true;
  Flush();
}

void ProgressLine::Flush() {
  if (!waiting_) return;
  waiting_ = false;
  Draw();
}

void ProgressLine::Draw() {
  counter_label_->setText(ToQString(ProcessingRecordText(record_)));
  // The count is announced every two seconds, and the last one at once.
  if (!announced_.isValid() || announced_.hasExpired(2000) || share_ >= 1) {
    counter_label_->setAccessibleName(counter_label_->text());
    bar_frame_->setAccessibleDescription(
        QString("%1% of the file tested").arg(qRound(share_ * 100)));
    announced_.start();
  }
  shown_record_ = record_;
  shown_share_ = share_;
  PlaceBar();
  show();
  // Painted before the caller goes on (a message box may come next).
  repaint();
}

void ProgressLine::Hide() {
  waiting_ = false;
  hide();
}

void ProgressLine::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceBar();
}

// The counter on the top half, the bar on the bottom half; the bar's
// length is the share drawn of its frame's.
void ProgressLine::PlaceBar() {
  const int line = std::max(1, height() * 5 / 12);
  counter_label_->setGeometry(0, 0, width(), line);
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
