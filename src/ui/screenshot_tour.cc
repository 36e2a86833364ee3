#include "ui/screenshot_tour.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QTextBrowser>
#include <QWidget>
#include <cstdio>
#include <string>
#include <vector>

#include "core/error_limit.h"
#include "store/results_db.h"
#include "ui/about_box.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"

namespace lintaro {
namespace {

std::string Record(const std::string& id, const std::string& fill = {}) {
  std::string r(1024, ' ');
  r.replace(0, id.size(), id);
  if (!fill.empty()) r.replace(3, fill.size(), fill);
  return r;
}

bool WriteFile(const QString& name, const std::vector<std::string>& records) {
  QFile f(name);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  for (const std::string& r : records) {
    f.write(r.data(), static_cast<qint64>(r.size()));
    f.write("\r\n", 2);
  }
  return true;
}

void Settle() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

// The window's picture under a plain title bar with its caption, as the
// user sees it framed by the desktop.
QPixmap WithTitleBar(QWidget* w) {
  const QPixmap body = w->grab();
  const int bar = 26;
  QPixmap framed(body.width() + 2, body.height() + bar + 1);
  framed.fill(QColor(0x3a, 0x4a, 0x5f));
  QPainter p(&framed);
  p.drawPixmap(1, bar, body);
  p.drawPixmap(6, 5, w->windowIcon().pixmap(16, 16));
  p.setPen(Qt::white);
  QFont f = p.font();
  f.setBold(true);
  p.setFont(f);
  p.drawText(QRect(28, 0, framed.width() - 32, bar), Qt::AlignLeft | Qt::AlignVCenter,
             w->windowTitle());
  return framed;
}

bool Save(QWidget* w, const QString& folder, const char* name) {
  Settle();
  const QString file = folder + "/" + name;
  const bool ok = WithTitleBar(w).save(file, "PNG");
  std::fprintf(stderr, "%s %s\n", ok ? "saved" : "could not save", file.toUtf8().constData());
  return ok;
}

// A results file as a finished run with field findings leaves it: the
// record checkers' findings are ordinary (not critical) rows.
void WriteFindingsResults(const std::string& path, const std::string& tested_file) {
  QFile::remove(ToQString(path));
  auto db = ResultsDb::Create(path);
  db->Begin();
  db->InsertMisc(tested_file, "12/06/2026");
  const char* ids[] = {"RCA", "RCE", "RCW", "RCW", "RCW", "RCW", "RCT", "RCF"};
  const int errors[] = {0, 1, 2, 0, 1, 0, 1, 0};
  for (int i = 0; i < 8; ++i) {
    RecordRow row;
    row.rec_num = i + 1;
    row.id = ids[i];
    row.errors = errors[i];
    row.record = Record(ids[i], i == 2 ? "123456789SMITH" : "");
    db->InsertRecord(row);
  }
  auto finding = [&](int rec, const char* ref, const char* entry, const char* msg) {
    ErrorRow e;
    e.rec_num = rec;
    e.reference = ref;
    e.user_entry = entry;
    e.error = msg;
    db->InsertError(e);
  };
  finding(2, "Employer Identification Number (EIN) [Position 8 - 16]", "[         ]",
          "The EIN must be numeric and must not be blank.");
  finding(3, "Employee's Correct Social Security Number (SSN) [Position 13 - 21]", "[12345678A]",
          "The SSN must be numeric.");
  finding(3, "Employee's Correct Last Name [Position 91 - 110]", "[SM1TH               ]",
          "The last name may contain letters, hyphens, apostrophes and blanks only.");
  finding(5, "Correct Wages, Tips and Other Compensation [Position 232 - 242]",
          "[00000012A00]", "Money fields must be numeric, right-justified and zero-filled.");
  finding(7, "Total Correct Wages, Tips and Other Compensation [Position 235 - 249]",
          "[000000000125000]",
          "The total does not equal the sum of the employees' Correct amounts.");
  db->Commit();
}

}  // namespace

bool RunScreenshotTour(MainWindow& window, UnattendedPrompts& prompts, const QString& folder) {
  QDir().mkpath(folder);
  const QString work = ToQString(window.folders().data) + "tour";
  QDir().mkpath(work);
  bool ok = true;

  window.raise();
  ok &= Save(&window, folder, "01-welcome.png");

  // A run in progress: caught halfway through a long file.
  std::vector<std::string> big = {Record("RCA"), Record("RCE")};
  for (int i = 0; i < 6000; ++i) big.push_back(Record("RCW"));
  big.push_back(Record("RCT"));
  big.push_back(Record("RCF"));
  const QString big_file = work + "/W2CLARGE.TXT";
  WriteFile(big_file, big);
  window.set_max_errors(kMaxErrorLimit);
  bool grabbed = false;
  window.set_record_observer([&](int32_t rec_ctr) {
    if (!grabbed && rec_ctr == 2600) {
      grabbed = true;
      window.RefreshProgress();
      ok &= Save(&window, folder, "02-run-in-progress.png");
    }
  });
  prompts.add_file(ToStdString(big_file));
  window.StartTesting();
  window.set_record_observer(nullptr);

  // A run stopped by a critical finding: a record cut short.
  std::vector<std::string> cut = {Record("RCA"), Record("RCE"), Record("RCW"), Record("RCW"),
                                  Record("RCW").substr(0, 1000), Record("RCT"), Record("RCF")};
  const QString cut_file = work + "/W2CSHORT.TXT";
  WriteFile(cut_file, cut);
  prompts.add_file(ToStdString(cut_file));
  window.StartTesting();
  ok &= Save(&window, folder, "04-grid-critical-stop.png");

  window.ViewTestedRecords();
  ok &= Save(&window, folder, "08-tested-records.png");

  // The grid view of a run with field findings. The field checks are not
  // part of every build, so the results file is written as such a run
  // leaves it, and "View Records With Errors" reads it.
  WriteFindingsResults(window.results_path(), ToStdString(work + "/W2CCORR.TXT"));
  window.ViewRecordsWithErrors();
  ok &= Save(&window, folder, "03-grid-findings.png");

  window.set_max_errors(500);
  window.ShowErrorLimitDialog();
  if (QWidget* dialog = window.errorLimitDialog()) {
    ok &= Save(dialog, folder, "05-error-limit-dialog.png");
    dialog->close();
  }

  AboutBox about(&window);
  about.show();
  ok &= Save(&about, folder, "06-about-box.png");
  about.close();

  window.ShowHelpContents();
  if (QWidget* help = window.helpWindow()) {
    ok &= Save(help, folder, "07-help.png");
    help->close();
  }
  return ok;
}

}  // namespace lintaro
