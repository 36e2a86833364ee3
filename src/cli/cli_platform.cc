#include "cli/cli_platform.h"

#include <unistd.h>

#include <csignal>
#include <filesystem>

namespace lintaro {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) { g_interrupted = 1; }

}  // namespace

Answer CliPrompts::Message(const std::string& title, const std::string& text, Icon icon,
                           Buttons buttons) {
  std::fprintf(err_, "%s: %s\n", title.c_str(), ToLineFeeds(text).c_str());
  std::fflush(err_);
  switch (buttons) {
    case Buttons::kOk:
      return Answer::kOk;
    case Buttons::kYesNo:
      return Answer::kNo;
    case Buttons::kOkCancel:
      return Answer::kCancel;
  }
  return Answer::kOk;
}

std::optional<std::string> CliPrompts::OpenFile(const std::string& title,
                                                const std::string& filter) {
  if (files_.empty()) return std::nullopt;
  std::string file = files_.front();
  files_.pop_front();
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(file, ec);
  return ec ? file : full.lexically_normal().string();
}

CliRunView::CliRunView(std::FILE* err) : err_(err), terminal_(isatty(fileno(err)) != 0) {}

void CliRunView::RecordStarted(int32_t rec_ctr, double fraction) {
  if (!terminal_) return;
  auto now = std::chrono::steady_clock::now();
  if (shown_ && now - last_ < std::chrono::milliseconds(200)) return;
  last_ = now;
  shown_ = true;
  if (fraction >= 0)
    std::fprintf(err_, "\rProcessing Record Number: %d (%3d%%)", rec_ctr,
                 static_cast<int>(fraction * 100 > 100 ? 100 : fraction * 100));
  else
    std::fprintf(err_, "\rProcessing Record Number: %d", rec_ctr);
  std::fflush(err_);
}

void CliRunView::RunEnded() {
  if (terminal_ && shown_) std::fprintf(err_, "\r\033[K");
  shown_ = false;
}

CliEventPump::CliEventPump() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

void CliEventPump::ProcessEvents() {
  if (g_interrupted && run_ != nullptr) run_->RequestAbort();
}

}  // namespace lintaro
