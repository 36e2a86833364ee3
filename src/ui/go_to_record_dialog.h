// "Go to Record": asks for a record number to select in the grid shown.
// Only digits can be typed; OK is the default button and stays disabled
// while the entry is empty. A number the grid has not is refused with a
// message while the dialog stays open, the number selected to be typed over.
#ifndef LINTARO_UI_GO_TO_RECORD_DIALOG_H_
#define LINTARO_UI_GO_TO_RECORD_DIALOG_H_

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;

namespace lintaro {

class GoToRecordDialog : public QDialog {
  Q_OBJECT

 public:
  // tested: the number of records tested, named in the prompt.
  GoToRecordDialog(int64_t tested, QWidget* parent = nullptr);

  // The number typed, or nothing while the entry is empty.
  std::optional<int64_t> number() const;
  QLineEdit* entry() const { return record_entry_; }

  // Called with the number typed on OK: true closes the dialog; false (the
  // caller has said why) keeps it open with the number selected.
  using Acceptance = std::function<bool(int64_t rec_num)>;

  // Shows the dialog modally; the number accepted, or nothing after Cancel.
  static std::optional<int64_t> Ask(int64_t tested, const Acceptance& accept, QWidget* parent);

 private:
  QLineEdit* record_entry_;
  QPushButton* ok_button_;
};

}  // namespace lintaro

#endif  // LINTARO_UI_GO_TO_RECORD_DIALOG_H_
