#include "ui/report_form.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <vector>

#include "browse/window_texts.h"
#include "store/results_db.h"
#include "ui/dialog_buttons.h"
#include "ui/font_dialog.h"
#include "ui/qt_platform.h"
#include "ui/window_metrics.h"

namespace lintaro {
namespace {

void CentreOnScreen(QWidget* w) {
  QScreen* screen = w->screen() != nullptr ? w->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect available = screen->availableGeometry();
  w->move(available.center() - QPoint(w->width() / 2, w->height() / 2));
}

}  // namespace

// ------------------------------------------------------------ Report Option

ReportOptionDialog::ReportOptionDialog(const ReportFormat& current, QWidget* parent)
    : QDialog(parent) {
  setObjectName("frmReportOption");
  setWindowTitle("Report Option");
  setModal(true);
  auto* frame = new QGroupBox(this);
  frame->setObjectName("fraOption");
  auto* options = new QVBoxLayout(frame);
  for (const ReportFormat& format : ReportFormats()) {
    if (format.desktop == DesktopShows::kNotOffered) continue;
    const QString caption = ToQString(std::string(format.desktop_caption));
    auto* button = new QRadioButton(caption, frame);
    button->setObjectName("opt" + QString(caption).remove('&'));
    button->setChecked(&format == &current);
    options->addWidget(button);
    choices_.emplace_back(button, &format);
  }
  if (!choices_.empty() && current.desktop == DesktopShows::kNotOffered)
    choices_.front().first->setChecked(true);

  const OkCancelButtons buttons =
      MakeOkCancelButtons(this, EnterPresses::kFocusedButton, "&OK", "&Cancel");
  connect(buttons.ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addLayout(buttons.row);
  setFixedWidth(TwipsToPixels(this, 3600));
}

const ReportFormat& ReportOptionDialog::choice() const {
  for (const auto& [button, format] : choices_)
    if (button->isChecked()) return *format;
  return *choices_.front().second;
}

void ReportOptionDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOnScreen(this);
}

// ------------------------------------------------------------ frmReport

ReportForm::ReportForm(ReportContext context, std::shared_ptr<ResultsDb> db, QWidget* parent)
    : QWidget(parent, Qt::Window), db_(std::move(db)) {
  setObjectName("frmReport");
  setWindowTitle("Report");
  setAttribute(Qt::WA_DeleteOnClose, false);

  preview_ = new QPlainTextEdit(this);
  preview_->setObjectName("txtReport");
  preview_->setAccessibleName("Error report");
  // Escape closes the report window as it closes a dialog.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &QWidget::close);
  preview_->setReadOnly(true);
  preview_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  preview_->setLineWrapMode(QPlainTextEdit::NoWrap);

  auto command = [this](const char* name, const char* caption) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
  };
  save_button_ = command("cmdSave", "&Save As...");
  font_button_ = command("cmdFont", "&Font...");
  print_button_ = command("cmdPrint", "&Print...");
  close_button_ = command("cmdClose", "&Close");
  connect(save_button_, &QPushButton::clicked, this, [this] { SaveAs(); });
  connect(font_button_, &QPushButton::clicked, this, [this] { ChooseFont(); });
  connect(print_button_, &QPushButton::clicked, this, [this] { Print(); });
  connect(close_button_, &QPushButton::clicked, this, [this] { close(); });

  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {save_button_, font_button_, print_button_, close_button_})
    buttons->addWidget(b);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(preview_, 1);
  layout->addLayout(buttons);

  choose_font_ = [](const QFont& current, QWidget* owner) {
    return ReportFontDialog::Choose(current, owner);
  };

  context.view = this;
  context.db = db_.get();
  logic_ = std::make_unique<ReportWindow>(std::move(context));
  ApplyFont();
  Place();
}

ReportForm::~ReportForm() {
  while (busy_depth_ > 0) SetBusy(false);
}

// Left and top 10 twips from the screen's; kept within the screen.
void ReportForm::Place() {
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  const int ten = TwipsToPixels(this, 10);
  int w = TwipsToPixels(this, 10800);
  int h = TwipsToPixels(this, 8400);
  if (w + ten > area.width()) w = area.width() - TwipsToPixels(this, 100);
  if (h + ten > area.height()) h = area.height() - TwipsToPixels(this, 150);
  resize(w, h);
  move(area.left() + ten, area.top() + ten);
}

void ReportForm::FitWidthToText() {
  // The longest lines by characters (tabs counted to their stop) are
  // measured; in the report's fixed-pitch font one of them is the widest.
  const QStringList lines = preview_->toPlainText().split('\n');
  std::vector<std::pair<qsizetype, qsizetype>> lengths;  // (characters, line)
  lengths.reserve(static_cast<size_t>(lines.size()));
  for (qsizetype i = 0; i < lines.size(); ++i)
    lengths.emplace_back(lines[i].size() + 7 * lines[i].count('\t'), i);
  const size_t measured = std::min<size_t>(lengths.size(), 16);
  std::partial_sort(lengths.begin(), lengths.begin() + static_cast<std::ptrdiff_t>(measured),
                    lengths.end(), std::greater<>());
  const QFontMetrics metrics(preview_->font());
  int widest = 0;
  for (size_t i = 0; i < measured; ++i)
    widest = std::max(widest, metrics.horizontalAdvance(lines[lengths[i].second]));
  const int chrome = width() - preview_->viewport()->width() +
                     2 * static_cast<int>(preview_->document()->documentMargin()) +
                     style()->pixelMetric(QStyle::PM_ScrollBarExtent) + metrics.averageCharWidth();
  const QScreen* screen =
      this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
  const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  const int room = area.right() + 1 - x() - TwipsToPixels(this, 10);
  const int wanted = std::min(widest + chrome, room);
  if (wanted > width()) resize(wanted, height());
}

void ReportForm::ApplyFont() {
  QFont font(ToQString(logic_->report_font_name));
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSize(logic_->report_font_size);
  preview_->setFont(font);
  // Tabs at eight characters, as a text editor shows the saved report.
  preview_->setTabStopDistance(QFontMetricsF(font).horizontalAdvance(' ') * 8);
}

std::string ReportForm::PreviewText() const {
  std::string text = ToStdString(preview_->toPlainText());
  std::string crlf;
  crlf.reserve(text.size() + text.size() / 32);
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return crlf;
}

// The text the preview was given, as the report built it: the widget's own
// text gives a no-break space back as a plain space.
void ReportForm::SaveAs() { logic_->SaveReportAs(logic_->report_text); }

void ReportForm::ChooseFont() {
  QFont current(ToQString(logic_->report_font_name));
  current.setPointSize(logic_->report_font_size);
  const std::optional<QFont> chosen = choose_font_(current, this);
  if (!chosen) return;
  const double size = chosen->pointSizeF() > 0 ? chosen->pointSizeF() : chosen->pointSize();
  logic_->SetReportFont(ToStdString(chosen->family()), size);
  ApplyFont();
  FitWidthToText();
}

void ReportForm::Print() {
  if (before_print_) before_print_();
  logic_->PrintTextReport();
  if (after_print_) after_print_();
}

void ReportForm::ShowPreview(const std::string& text) {
  preview_->setPlainText(ToQString(ToLineFeeds(text)));
  FitWidthToText();
}

void ReportForm::SetSaveEnabled(bool enabled) { save_button_->setEnabled(enabled); }

void ReportForm::ShowWindow() {
  show();
  raise();
  activateWindow();
}

void ReportForm::SetBusy(bool busy) {
  if (busy) {
    ++busy_depth_;
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busy_depth_ > 0) {
    --busy_depth_;
    QApplication::restoreOverrideCursor();
  }
}

}  // namespace lintaro
