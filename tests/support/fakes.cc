#include "support/fakes.h"

#include <unistd.h>

#include <fstream>
#include <stdexcept>

namespace lintaro::testing {

namespace {

// The front of the queue, taken off it; nothing when it is empty.
template <typename T>
std::optional<T> Pop(std::deque<T>& queue) {
  if (queue.empty()) return std::nullopt;
  T front = std::move(queue.front());
  queue.pop_front();
  return front;
}

}  // namespace

std::string Describe(const ShownMessage& m) {
  static const char* const kIcons[] = {"none", "information", "exclamation", "critical",
                                       "question"};
  static const char* const kButtons[] = {"ok", "yes-no", "ok-cancel"};
  return m.title + " | " + kIcons[static_cast<int>(m.icon)] + " " +
         kButtons[static_cast<int>(m.buttons)] + " | " + m.text;
}

Answer ScriptedPrompts::Message(const std::string& title, const std::string& text, Icon icon,
                                Buttons buttons) {
  messages.push_back({title, text, icon, buttons});
  if (on_message) on_message(messages.back());
  return Pop(answers).value_or(buttons == Buttons::kYesNo ? Answer::kNo : Answer::kOk);
}

std::optional<std::string> ScriptedPrompts::OpenFile(const std::string& title,
                                                     const std::string& filter) {
  dialog_titles.push_back(title);
  dialog_filters.push_back(filter);
  return Pop(files);
}

std::optional<std::string> ScriptedPrompts::SaveFile(const std::string& title,
                                                     const std::string& filter,
                                                     const std::string& start_folder) {
  dialog_titles.push_back(title);
  dialog_filters.push_back(filter);
  save_folders.push_back(start_folder);
  return Pop(save_names).value_or(std::nullopt);
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lintaro-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  const std::filesystem::path file = path_ / name;
  std::ofstream(file, std::ios::binary) << bytes;
  return file.string();
}

std::string Patch(std::string record, const std::map<int, std::string>& changes) {
  for (const auto& [position, text] : changes) {
    if (position < 1 || position - 1 + text.size() > record.size())
      throw std::out_of_range("a text at " + std::to_string(position) + " outside the record");
    record.replace(static_cast<size_t>(position - 1), text.size(), text);
  }
  return record;
}

std::string MakeRecord(const std::string& id, const std::map<int, std::string>& fields) {
  return Patch(id + std::string(1024 - id.size(), ' '), fields);
}

std::string JoinRecords(const std::vector<std::string>& records, const std::string& sep) {
  std::string out;
  for (const auto& r : records) out += r + sep;
  return out;
}

}  // namespace lintaro::testing
