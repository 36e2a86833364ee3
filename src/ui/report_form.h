// The error report's windows: the "Report Option" dialog that asks for text
// or HTML, and the text report window frmReport (preview, Save As, Font,
// Print, Close) around the report logic of ReportWindow.
#ifndef LINTARO_UI_REPORT_FORM_H_
#define LINTARO_UI_REPORT_FORM_H_

#include <QDialog>
#include <QFont>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "reports/report_format.h"
#include "reports/report_window.h"

class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace lintaro {

// "Report Option": the report formats the desktop offers ("&Text" and
// "&HTML") in a frame, "&OK" and "&Cancel", centred on the screen. The
// option of the current choice is preselected.
class ReportOptionDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ReportOptionDialog(const ReportFormat& current, QWidget* parent = nullptr);
  // The format chosen, after OK.
  const ReportFormat& choice() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::vector<std::pair<QRadioButton*, const ReportFormat*>> choices_;
};

// The text report window, "Report". Created fresh for every report request
// and shown by the report logic; it owns that logic and the results
// database it reads, so that Print and Save As keep working after the
// request has ended.
class ReportForm : public QWidget, public ReportView {
  Q_OBJECT

 public:
  // context.view is set to this window; db is kept open while it lives.
  ReportForm(ReportContext context, std::shared_ptr<ResultsDb> db, QWidget* parent = nullptr);
  ~ReportForm() override;

  ReportWindow& logic() { return *logic_; }

  // The font dialog ("Select Print Font"); replaced in tests. Returns the
  // chosen font, or nothing when cancelled.
  using FontChooser = std::function<std::optional<QFont>(const QFont& current, QWidget* owner)>;
  void set_font_chooser(FontChooser f) { choose_font_ = std::move(f); }
  // Called before the Print command runs (the host gives this window the
  // print dialog) and after it (the host takes it back and reports a
  // printer that refused the job).
  void set_before_print(std::function<void()> f) { before_print_ = std::move(f); }
  void set_after_print(std::function<void()> f) { after_print_ = std::move(f); }

  // The commands.
  void SaveAs();
  void ChooseFont();
  void Print();

  QPlainTextEdit* preview() const { return preview_; }
  // The preview's text with CR LF line ends, as the widget gives it back
  // (a no-break space as a plain space).
  std::string PreviewText() const;

  // ReportView.
  void ShowPreview(const std::string& text) override;
  void SetSaveEnabled(bool enabled) override;
  void ShowWindow() override;
  void SetBusy(bool busy) override;

 private:
  void ApplyFont();
  void Place();
  // Widens the window (from its place, within the screen) so that the
  // report's longest line is shown whole in the chosen font.
  void FitWidthToText();

  std::shared_ptr<ResultsDb> db_;
  std::unique_ptr<ReportWindow> logic_;
  FontChooser choose_font_;
  std::function<void()> before_print_;
  std::function<void()> after_print_;
  QPlainTextEdit* preview_;
  QPushButton* save_button_;
  QPushButton* font_button_;
  QPushButton* print_button_;
  QPushButton* close_button_;
  int busy_depth_ = 0;
};

}  // namespace lintaro

#endif  // LINTARO_UI_REPORT_FORM_H_
