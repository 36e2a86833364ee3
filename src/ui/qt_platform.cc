#include "ui/qt_platform.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringDecoder>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "browse/window_texts.h"
#include "store/cp1252.h"

namespace lintaro {

namespace {

constexpr char16_t kFirstEscape = 0xDC80, kLastEscape = 0xDCFF;

bool IsEscapedByte(const QString& text, qsizetype i) {
  const char16_t c = text[i].unicode();
  return c >= kFirstEscape && c <= kLastEscape && (i == 0 || !text[i - 1].isHighSurrogate());
}

}  // namespace

QString ToQString(const std::string& utf8) {
  QStringDecoder decode(QStringDecoder::Utf8);
  QString text = decode(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
  if (!decode.hasError()) return text;
  text.clear();
  constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  for (size_t i = 0; i < utf8.size();) {
    const size_t start = i;
    const char32_t c = DecodeUtf8(utf8, i);
    if (c != 0xFFFD || std::string_view(utf8).substr(start, i - start) == kReplacement) {
      text += QString::fromUcs4(&c, 1);
      continue;
    }
    // Malformed: each of its bytes is kept as an escape of its own.
    for (size_t k = start; k < i; ++k)
      text += QChar(char16_t(0xDC00 | static_cast<unsigned char>(utf8[k])));
  }
  return text;
}

std::string ToStdString(const QString& text) {
  qsizetype escaped = 0;
  while (escaped < text.size() && !IsEscapedByte(text, escaped)) ++escaped;
  if (escaped == text.size()) return text.toUtf8().toStdString();
  std::string bytes;
  for (qsizetype i = 0; i < text.size();) {
    qsizetype run = i;
    while (run < text.size() && !IsEscapedByte(text, run)) ++run;
    bytes += QStringView(text).mid(i, run - i).toUtf8().toStdString();
    if (run < text.size()) bytes += static_cast<char>(text[run].unicode() & 0xFF);
    i = run + 1;
  }
  return bytes;
}

std::string AbsoluteFilePath(const QString& file) {
  std::error_code failed;
  const std::filesystem::path path(ToStdString(file));
  std::filesystem::path absolute = std::filesystem::absolute(path, failed);
  return (failed ? path : absolute).lexically_normal().string();
}

QStringList ToNameFilters(const std::string& filter) {
  QStringList parts = ToQString(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString caption = parts[i].trimmed();
    QStringList patterns;
    for (const QString& p : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
      const QString pattern = p.trimmed();
      patterns << (pattern == "*.*" ? QStringLiteral("*") : pattern);
    }
    if (caption.isEmpty() || patterns.isEmpty()) continue;
    // The dialog shows the caption and matches the patterns in the last
    // parentheses, which it hides.
    filters << caption + " (" + patterns.join(' ') + ")";
  }
  return filters;
}

namespace {

// A message box or file dialog shown during a run shows the normal pointer
// instead of the run's busy one for as long as this object lives.
class NormalPointer {
 public:
  NormalPointer() : busy_(QApplication::overrideCursor() != nullptr) {
    if (busy_) QApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~NormalPointer() {
    if (busy_) QApplication::restoreOverrideCursor();
  }
  NormalPointer(const NormalPointer&) = delete;
  NormalPointer& operator=(const NormalPointer&) = delete;

 private:
  bool busy_;
};

// A word longer than this many characters (a file's path and name) may
// break across lines in a message box.
constexpr qsizetype kLongestUnbroken = 40;

// A message box wraps its text at blanks only, and cuts a longer word at
// its edge: a path that names the file tested or the results would lose the
// name. Such a word may break after each "/" and "\\", and after every 40
// characters where it has neither (a zero-width space, neither seen nor
// read).
QString BreakLongWords(const QString& text) {
  QString out;
  out.reserve(text.size() + text.size() / kLongestUnbroken + 8);
  qsizetype i = 0;
  while (i < text.size()) {
    qsizetype end = i;
    while (end < text.size() && !text[end].isSpace()) ++end;
    if (end - i <= kLongestUnbroken) {
      out += QStringView(text).mid(i, end - i);
    } else {
      qsizetype since_break = 0;
      for (qsizetype k = i; k < end; ++k) {
        const QChar c = text[k];
        out += c;
        ++since_break;
        const bool last = k + 1 == end;
        if (last || c.isHighSurrogate()) continue;
        if (c == '/' || c == '\\' || since_break >= kLongestUnbroken) {
          out += QChar(0x200B);
          since_break = 0;
        }
      }
    }
    // The blanks after the word, as they are.
    for (i = end; i < text.size() && text[i].isSpace(); ++i) out += text[i];
  }
  return out;
}

}  // namespace

// The window in front when it is one of parent's own (the report window, a
// dialog that is not modal): a box or dialog asked for from it belongs to
// it, so that it is in front again when they close. Otherwise parent.
QWidget* QtPrompts::Owner() const {
  QWidget* active = QApplication::activeWindow();
  if (active == nullptr || !active->isVisible()) return parent_;
  for (QWidget* w = active; w != nullptr && parent_ != nullptr; w = w->parentWidget())
    if (w == parent_) return active;
  return parent_;
}

Answer QtPrompts::Message(const std::string& title, const std::string& text, Icon icon,
                          Buttons buttons) {
  QMessageBox box(Owner());
  box.setWindowTitle(ToQString(title));
  // File names and entries of a submission are shown as written, never
  // read as markup.
  box.setTextFormat(Qt::PlainText);
  box.setText(BreakLongWords(ToQString(ToLineFeeds(text))));
  switch (icon) {
    case Icon::kNone:
      box.setIcon(QMessageBox::NoIcon);
      break;
    case Icon::kInformation:
      box.setIcon(QMessageBox::Information);
      break;
    case Icon::kExclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case Icon::kCritical:
      box.setIcon(QMessageBox::Critical);
      break;
    case Icon::kQuestion:
      box.setIcon(QMessageBox::Question);
      break;
  }
  switch (buttons) {
    case Buttons::kOk:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case Buttons::kYesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
      break;
    case Buttons::kOkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Ok);
      break;
  }
  const NormalPointer pointer;
  const int chosen = box.exec();
  switch (chosen) {
    case QMessageBox::Yes:
      return Answer::kYes;
    case QMessageBox::No:
      return Answer::kNo;
    case QMessageBox::Cancel:
      return Answer::kCancel;
    default:
      return buttons == Buttons::kOkCancel && chosen != QMessageBox::Ok ? Answer::kCancel
                                                                        : Answer::kOk;
  }
}

std::optional<std::string> QtPrompts::OpenFile(const std::string& title,
                                               const std::string& filter) {
  QFileDialog dialog(Owner(), ToQString(title), last_folder_);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  dialog.setNameFilters(ToNameFilters(filter));
  const NormalPointer pointer;
  const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  if (!accepted) return std::nullopt;
  const QString file = dialog.selectedFiles().first();
  last_folder_ = QFileInfo(file).absolutePath();
  return ToStdString(QFileInfo(file).absoluteFilePath());
}

QString FirstExtension(const std::string& filter) {
  const QStringList parts = ToQString(filter).split('|');
  if (parts.size() < 2) return {};
  const QString pattern = parts[1].split(';').first().trimmed();
  if (!pattern.startsWith("*.") || pattern.indexOf('*', 1) >= 0 || pattern.contains('?')) return {};
  return pattern.mid(2);
}

void PrepareSaveDialog(QFileDialog& dialog, const std::string& title, const std::string& filter,
                       const std::string& start_folder) {
  dialog.setWindowTitle(ToQString(title));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  dialog.setNameFilters(ToNameFilters(filter));
  dialog.setDefaultSuffix(FirstExtension(filter));
  dialog.setDirectory(ToQString(start_folder));
  dialog.selectFile(QString());
}

std::optional<std::string> QtPrompts::SaveFile(const std::string& title, const std::string& filter,
                                               const std::string& start_folder) {
  QFileDialog dialog(Owner());
  PrepareSaveDialog(dialog, title, filter, start_folder);
  for (;;) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString file = dialog.selectedFiles().first();
    // Replacing a file was confirmed in the dialog; creating one is asked
    // here. No goes back to the dialog.
    if (QFileInfo::exists(file)) return ToStdString(file);
    const std::string question = ToStdString(QDir::toNativeSeparators(file)) +
                                 "\r\nThe file does not exist yet.\r\nCreate it?";
    if (Message(title, question, Icon::kQuestion, Buttons::kYesNo) == Answer::kYes)
      return ToStdString(file);
    dialog.selectFile(QFileInfo(file).fileName());
  }
}

Answer UnattendedPrompts::Message(const std::string& title, const std::string& text, Icon icon,
                                  Buttons buttons) {
  std::fprintf(stderr, "%s: %s\n", title.c_str(), ToLineFeeds(text).c_str());
  std::fflush(stderr);
  return UnattendedAnswer(buttons);
}

std::optional<std::string> UnattendedPrompts::OpenFile(const std::string& title,
                                                       const std::string& filter) {
  if (files_.empty()) return std::nullopt;
  std::string file = files_.front();
  files_.pop_front();
  return AbsoluteFilePath(ToQString(file));
}

void QtEventPump::ProcessEvents() {
  if (primed_ && ++asks_ < kAsksPerClockRead) return;
  asks_ = 0;
  const auto now = std::chrono::steady_clock::now();
  if (primed_ && now - last_ < interval_) return;
  primed_ = true;
  last_ = now;
  ++rounds_;
  if (before_events_) before_events_();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace lintaro
