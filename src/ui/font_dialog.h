// "Select Print Font": the report window's font dialog. A list of the
// installed scalable fonts with Western characters and a list of the sizes
// 8 to 20; it opens at the report's current font and size, so that OK
// without a change keeps them, even when that font is not installed.
#ifndef LINTARO_UI_FONT_DIALOG_H_
#define LINTARO_UI_FONT_DIALOG_H_

#include <QDialog>
#include <QFont>
#include <optional>

class QLabel;
class QListWidget;

namespace lintaro {

class ReportFontDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kSmallestSize = 8;
  static constexpr int kLargestSize = 20;

  // current: the report's font; its size is offered rounded into 8 to 20.
  explicit ReportFontDialog(const QFont& current, QWidget* parent = nullptr);

  // The font and size selected now.
  QFont selected_font() const;
  QListWidget* font_list() const { return font_list_; }
  QListWidget* size_list() const { return size_list_; }

  // Shows the dialog modally: the chosen font after OK, nothing after Cancel.
  static std::optional<QFont> Choose(const QFont& current, QWidget* parent);

 private:
  void ShowSample();

  QListWidget* font_list_;
  QListWidget* size_list_;
  QLabel* sample_label_;
};

}  // namespace lintaro

#endif  // LINTARO_UI_FONT_DIALOG_H_
