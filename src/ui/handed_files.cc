#include "ui/handed_files.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <system_error>

#include "ui/main_window.h"
#include "ui/qt_platform.h"

namespace lintaro {
namespace {

// The local files (not folders) a drag carries, in its order.
QStringList DraggedFiles(const QMimeData* data) {
  QStringList files;
  if (data == nullptr || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) continue;
    // The name's bytes: a name that is not UTF-8 comes percent-encoded, and
    // QUrl keeps it so where its decoded text would lose the bytes.
    QByteArray name = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (!url.host().isEmpty()) name.prepend("//" + url.host().toUtf8());
    std::error_code failed;
    if (std::filesystem::is_regular_file(name.toStdString(), failed))
      files << ToQString(name.toStdString());
  }
  return files;
}

}  // namespace

void HandedFilePrompts::Hand(const QStringList& files) {
  files_.clear();
  for (const QString& f : files) files_.push_back(AbsoluteFilePath(f));
}

Answer HandedFilePrompts::Message(const std::string& title, const std::string& text, Icon icon,
                                  Buttons buttons) {
  return screen_.Message(title, text, icon, buttons);
}

std::optional<std::string> HandedFilePrompts::OpenFile(const std::string& title,
                                                       const std::string& filter) {
  if (files_.empty()) return screen_.OpenFile(title, filter);
  std::string file = std::move(files_.front());
  files_.pop_front();
  return file;
}

std::optional<std::string> HandedFilePrompts::SaveFile(const std::string& title,
                                                       const std::string& filter,
                                                       const std::string& suggested_name) {
  return screen_.SaveFile(title, filter, suggested_name);
}

FileHandOver::FileHandOver(MainWindow& window, HandedFilePrompts& prompts)
    : window_(window), prompts_(prompts) {
  window_.setAcceptDrops(true);
  window_.installEventFilter(this);
}

bool FileHandOver::CanStart() const {
  return !start_posted_ && !window_.running() && window_.commands().enabled(Command::cmdStart);
}

bool FileHandOver::Start(const QStringList& files) {
  if (files.isEmpty() || !CanStart()) return false;
  prompts_.Hand(files);
  start_posted_ = true;
  // Posted, so that a drop finishes before the run's own event rounds.
  QTimer::singleShot(0, &window_, [this] {
    start_posted_ = false;
    window_.StartTesting();
    prompts_.Clear();
  });
  return true;
}

bool FileHandOver::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &window_) return false;
  if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
    auto* drag = static_cast<QDragMoveEvent*>(event);
    if (CanStart() && !DraggedFiles(drag->mimeData()).isEmpty())
      drag->acceptProposedAction();
    else
      drag->ignore();
    return true;
  }
  if (event->type() == QEvent::Drop) {
    auto* drop = static_cast<QDropEvent*>(event);
    if (Start(DraggedFiles(drop->mimeData())))
      drop->acceptProposedAction();
    else
      drop->ignore();
    return true;
  }
  return false;
}

}  // namespace lintaro
