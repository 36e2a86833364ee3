#include "cli/cli_platform.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "cli/terminal_wording.h"
#include "core/submission_file.h"
#include "run/run_ending.h"

namespace lintaro {
namespace {

// Set from the signal handler, read by every run's event pump.
std::atomic<int> g_signal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free flag");

// The signals that stop the runs between two records.
constexpr int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP};

void OnInterrupt(int signal) {
  int none = 0;
  g_signal.compare_exchange_strong(none, signal);
  // Whichever comes next of them ends the program at once (sigaction is
  // async-signal-safe).
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  for (int s : kInterruptSignals) sigaction(s, &fallback, nullptr);
}

// A terminal that rewrites a line in place: not a dumb one, nor one that
// does not say what it is.
bool CanRewriteLine(std::FILE* err) {
  const char* term = std::getenv("TERM");
  return isatty(fileno(err)) != 0 && term != nullptr && term[0] != '\0' &&
         std::strcmp(term, "dumb") != 0;
}

}  // namespace

ProgressLine::ProgressLine(std::FILE* err, bool wanted)
    : err_(err), terminal_(wanted && CanRewriteLine(err)) {}

void ProgressLine::Show(const std::string& text) {
  if (!terminal_) return;
  std::fprintf(err_, "\r%s\033[K", text.c_str());
  std::fflush(err_);
  shown_ = true;
}

void ProgressLine::Erase() {
  if (!terminal_ || !shown_) return;
  std::fputs("\r\033[K", err_);
  std::fflush(err_);
  shown_ = false;
}

Answer CliPrompts::Message(const std::string& title, const std::string& text, Icon icon,
                           Buttons buttons) {
  const std::string file = next_ > 0 ? files_[next_ - 1] : std::string();
  const std::string next_file = next_ < files_.size() ? files_[next_] : std::string();
  const TerminalLine line = TerminalWording(title, text, file, next_file);
  if (!line.text.empty() && (line.problem || !quiet_)) {
    if (progress_ != nullptr) progress_->Erase();
    // A file's name may hold control characters: none reaches the terminal.
    std::fprintf(err_, "lintaro-cli: %s\n", OneLineName(line.text).c_str());
    std::fflush(err_);
  }
  return UnattendedAnswer(buttons);
}

std::optional<std::string> CliPrompts::OpenFile(const std::string& title,
                                                const std::string& filter) {
  if (next_ >= files_.size()) return std::nullopt;
  const std::string& file = files_[next_++];
  if (file == kStandardInputName) return file;
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(file, ec);
  return ec ? file : full.lexically_normal().string();
}

void CliRunView::Draw(int32_t rec_ctr, double fraction) {
  char text[96];
  if (fraction >= 0) {
    const int percent = static_cast<int>(fraction * 100 > 100 ? 100 : fraction * 100);
    std::snprintf(text, sizeof text, "Processing Record Number: %d (%3d%%)", rec_ctr, percent);
  } else {
    std::snprintf(text, sizeof text, "Processing Record Number: %d", rec_ctr);
  }
  line_.Show(text);
  drawn_ = true;
  last_draw_ = std::chrono::steady_clock::now();
}

void CliRunView::RecordStarted(int32_t rec_ctr, double fraction) {
  last_record_ = rec_ctr;
  if (!line_.terminal()) return;
  if (drawn_ && std::chrono::steady_clock::now() - last_draw_ < std::chrono::milliseconds(200))
    return;
  Draw(rec_ctr, fraction);
}

void CliRunView::CompletionStarted() {
  // The last file was read to its end: the line ends at 100%.
  if (line_.terminal() && last_record_ > 0) Draw(last_record_, 1.0);
}

void CliRunView::RunEnded() { line_.Erase(); }

void InstallInterruptHandlers() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // The first signal asks the runs to stop; the handler puts back the
  // default action of all three, so that a second one ends the program. None
  // of them interrupts the handler of the first.
  for (int s : kInterruptSignals) sigaddset(&action.sa_mask, s);
  for (int s : kInterruptSignals) sigaction(s, &action, nullptr);
}

int InterruptSignal() { return g_signal.load(); }

int InterruptedExitStatus() { return 128 + g_signal.load(); }

void CliEventPump::ProcessEvents() {
  if (g_signal.load(std::memory_order_relaxed) != 0 && run_ != nullptr)
    run_->RequestAbort(RunEnding::kStoppedBySignal);
}

}  // namespace lintaro
