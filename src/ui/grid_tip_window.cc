#include "ui/grid_tip_window.h"

#include <QApplication>
#include <QCursor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QToolTip>

#include "ui/qt_platform.h"
#include "ui/record_grid_view.h"

namespace lintaro {

TipLabel::TipLabel(QWidget* parent) : QWidget(parent) {
  setObjectName("TipText");
  setFont(QToolTip::font());
}

void TipLabel::set_text(const QString& text) {
  text_ = text;
  updateGeometry();
  update();
}

void TipLabel::set_wrap_width(int pixels) {
  wrap_width_ = pixels;
  updateGeometry();
  update();
}

QSize TipLabel::sizeHint() const {
  QSize text = fontMetrics().size(Qt::TextShowMnemonic, text_);
  if (wrap_width_ > 0 && text.width() > wrap_width_)
    text = fontMetrics()
               .boundingRect(QRect(0, 0, wrap_width_, 100000),
                             Qt::TextShowMnemonic | Qt::TextWordWrap, text_)
               .size();
  return text + QSize(8, 4);
}

void TipLabel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(QToolTip::palette().color(QPalette::ToolTipText));
  p.drawText(rect().adjusted(4, 2, -4, -2),
             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextWordWrap, text_);
}

GridTips::GridTips(QTableView* grid, QWidget* main_window, ScreenMetrics metrics)
    : QObject(grid), grid_(grid), main_window_(main_window), metrics_(metrics) {
  grid->viewport()->setMouseTracking(true);
  grid->viewport()->installEventFilter(this);
  grid->horizontalHeader()->setMouseTracking(true);
  grid->horizontalHeader()->installEventFilter(this);
  grid->installEventFilter(this);
  // A tip is about the cell under the pointer in the grid as it was: any
  // change of the focus, of the rows shown or of the view hides it.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget*) { HideShown(); });
  if (auto* view = qobject_cast<RecordGridView*>(grid))
    connect(view, &RecordGridView::model_replaced, this, [this] { HideShown(); });
}

GridTips::~GridTips() { Close(); }

void GridTips::Close() {
  if (timer_) timer_->stop();
  if (tip_) {
    tip_->hide();
    delete tip_.data();
  }
}

void GridTips::EnsureWindow() {
  if (tip_) return;
  auto* tip = new QWidget(main_window_, Qt::ToolTip | Qt::FramelessWindowHint);
  tip->setObjectName("fToolTips");
  tip->setAttribute(Qt::WA_ShowWithoutActivating);
  tip->setAutoFillBackground(true);
  tip->setPalette(QToolTip::palette());
  tip->setStyleSheet("#fToolTips { border: 1px solid #767676; }");
  auto* label = new TipLabel(tip);
  label->setPalette(QToolTip::palette());
  auto* layout = new QHBoxLayout(tip);
  layout->setContentsMargins(1, 1, 1, 1);
  layout->addWidget(label);
  tip_ = tip;
  label_ = label;

  timer_ = new QTimer(this);
  timer_->setObjectName("Timer1");
  timer_->setInterval(GridTipTimer::kIntervalMs);
  connect(timer_, &QTimer::timeout, this, [this] { Tick(QCursor::pos()); });
  timer_->start();
}

bool GridTips::OwnWindowActive() const {
  if (QApplication::activeModalWidget() != nullptr) return false;
  QWidget* active = QApplication::activeWindow();
  // No window of the program is active (another program is in front): the
  // main window is still the program's last active one.
  return active == nullptr || active == main_window_ || active == tip_;
}

void GridTips::PointerMoved(QPoint pos, QPoint global, bool over_heading) {
  if (!grid_) return;
  QAbstractItemModel* model = grid_->model();
  GridTipTimer::Move move;
  move.x = pos.x();
  move.y = over_heading ? -1 - pos.y() : pos.y();
  move.screen = {static_cast<double>(global.x()), static_cast<double>(global.y())};
  int row = over_heading || model == nullptr ? -1 : grid_->rowAt(pos.y());
  const int top = grid_->rowAt(0);
  if (row >= 0 && top >= 0) {
    int bottom = grid_->rowAt(grid_->viewport()->height() - 1);
    if (bottom < 0) bottom = model->rowCount() - 1;
    move.visible_rows = bottom - top + 1;
    move.row = row - top;
  }
  move.column = model == nullptr ? -1 : grid_->columnAt(pos.x());
  move.own_window_active = OwnWindowActive();
  const int model_row = row;
  const int column = move.column;
  const TipAction action = tips_.PointerMoved(move, [&]() -> std::string {
    if (model == nullptr || model_row < 0 || column < 0) return {};
    return ToStdString(model->data(model->index(model_row, column)).toString());
  });
  if (action == TipAction::kPlace) {
    EnsureWindow();
    timer_->start();
  }
  Apply(action);
}

void GridTips::Tick(QPoint global) {
  Apply(tips_.Tick({static_cast<double>(global.x()), static_cast<double>(global.y())},
                   OwnWindowActive()));
  // Past the 15th tick a hidden tip waits for the next pointer move, which
  // starts the timer again: no need to wake the program every 10 ms.
  if (timer_ && !tips_.visible() && tips_.ticks() > GridTipTimer::kShowTick) timer_->stop();
}

void GridTips::FocusLost() { Apply(tips_.FocusLost()); }

void GridTips::HideShown() {
  if (tip_ && tip_->isVisible()) FocusLost();
}

void GridTips::Apply(TipAction action) {
  if (!tip_) return;
  switch (action) {
    case TipAction::kNone:
      return;
    case TipAction::kHide:
      tip_->hide();
      return;
    case TipAction::kPlace: {
      tip_->hide();
      int screen_width = metrics_.screen_width;
      if (screen_width <= 0) {
        QScreen* screen = grid_ ? grid_->screen() : QGuiApplication::primaryScreen();
        screen_width = screen != nullptr ? screen->geometry().width() : 1024;
      }
      label_->set_wrap_width(std::max(320, screen_width / 2));
      label_->set_text(ToQString(tips_.text()));
      tip_->adjustSize();
      const ScreenPoint at = PlaceTip(tips_.anchor(), tip_->width(), metrics_.cursor_width,
                                      metrics_.cursor_height, screen_width);
      tip_->move(static_cast<int>(at.x), static_cast<int>(at.y));
      return;
    }
    case TipAction::kShow:
      tip_->show();
      tip_->raise();
      tip_->repaint();
      return;
  }
}

bool GridTips::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:  // the selection moves or the view changes
    case QEvent::Hide:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
      HideShown();
      break;
    default:
      break;
  }
  if (event->type() == QEvent::MouseMove && grid_) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    const bool heading = watched == grid_->horizontalHeader();
    PointerMoved(mouse->position().toPoint(), mouse->globalPosition().toPoint(), heading);
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace lintaro
