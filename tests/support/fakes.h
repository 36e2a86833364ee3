// Scripted fakes of the platform interfaces and helpers shared by the tests.
#ifndef LINTARO_TESTS_SUPPORT_FAKES_H_
#define LINTARO_TESTS_SUPPORT_FAKES_H_

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "run/check_run.h"

namespace lintaro::testing {

// A message box as shown.
struct ShownMessage {
  std::string title;
  std::string text;
  Icon icon;
  Buttons buttons;
};

// "title | icon buttons | text", e.g. "Results | information ok | ...": the
// icon none, information, exclamation, critical or question; the buttons ok,
// yes-no or ok-cancel.
std::string Describe(const ShownMessage& m);

// Prompts that answer from a script: files to hand out from the open dialog
// (none left = cancel), answers to give (none left = the default button).
class ScriptedPrompts : public Prompts {
 public:
  std::deque<std::string> files;
  std::deque<Answer> answers;
  std::deque<std::optional<std::string>> save_names;
  std::vector<ShownMessage> messages;
  std::vector<std::string> dialog_titles;
  std::vector<std::string> dialog_filters;
  std::vector<std::string> save_folders;  // where each save dialog started
  // Called as each message is shown (to see the screen at that moment).
  std::function<void(const ShownMessage&)> on_message;

  Answer Message(const std::string& title, const std::string& text, Icon icon,
                 Buttons buttons) override;
  std::optional<std::string> OpenFile(const std::string& title, const std::string& filter) override;
  std::optional<std::string> SaveFile(const std::string& title, const std::string& filter,
                                      const std::string& start_folder) override;
};

class FixedClock : public Clock {
 public:
  explicit FixedClock(Date d = {2026, 12, 6}) : date(d) {}
  Date Today() override { return date; }
  Date date;
};

// Records what the run showed in the window.
class RecordingView : public RunView {
 public:
  std::vector<std::string> events;
  void FileOpened() override { events.push_back("FileOpened"); }
  void RecordStarted(int32_t, double) override {}
  void CompletionStarted() override { events.push_back("CompletionStarted"); }
  void CompletedClean(bool has_records) override {
    events.push_back(has_records ? "CompletedClean" : "CompletedNoData");
  }
  void ShowResults() override { events.push_back("ShowResults"); }
  void RunEnded() override {
    events.push_back("RunEnded");
    if (on_run_ended) on_run_ended();
  }
  void OpenOnlineServices() override { events.push_back("OpenOnlineServices"); }
  // Called as the run ends (to change the disk at that moment).
  std::function<void()> on_run_ended;
};

// A fresh temporary folder, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  // Writes a file in the folder and returns its full name.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path path_;
};

// Places each text at its 1-based position in record.
std::string Patch(std::string record, const std::map<int, std::string>& changes);
// A 1,024-character record: the identifier at positions 1-3, spaces
// elsewhere, then each text placed at its 1-based position.
std::string MakeRecord(const std::string& id, const std::map<int, std::string>& fields = {});

// Joins records with CR LF after each.
std::string JoinRecords(const std::vector<std::string>& records, const std::string& sep = "\r\n");

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_FAKES_H_
