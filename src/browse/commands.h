// The main window's commands and menu entries and the rules that enable and
// disable them.
//
// The state of a command changes only at the events below; everything an
// event does not name keeps its state. This is the one place that knows the
// rules: the window applies an event and then copies the states to its
// buttons and menu entries.
#ifndef LINTARO_BROWSE_COMMANDS_H_
#define LINTARO_BROWSE_COMMANDS_H_

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace lintaro {

enum class Command {
  // The command column, top to bottom.
  cmdStart,
  cmdView,
  cmdGrid,
  cmdErrors,
  cmdPrint,
  cmdLast,
  cmdExit,
  // Test menu.
  mnuTStart,
  mnuTOpenLast,
  mnuTPrint,
  mnuTSet,
  mnuTExit,
  // View menu: the Report submenu and its entries, the Records submenu and
  // its entries.
  mnuVReport,
  mnuRLast,
  mnuRCurrent,
  mnuVRecords,
  mnuVRAll,
  mnuVRErrors,
  // Help menu.
  mnuHContents,
  mnuHAbout,
};

inline constexpr size_t kCommandCount = static_cast<size_t>(Command::mnuHAbout) + 1;

// The control's name, as the window's objects are named ("cmdStart").
std::string_view CommandName(Command command);
std::optional<Command> CommandByName(std::string_view name);

// The submenu an entry belongs to, if any.
std::optional<Command> SubmenuOf(Command command);

enum class CommandEvent {
  kWindowOpened,        // initial state
  kRunStarted,          // a file of a test run was chosen
  kRunCompletion,       // the run completed; its findings are being looked at
  kRunEnded,            // the run is over, whichever way it ended
  kRunClean,            // ... it had none
  kRunNoValidData,      // ... and the file held no valid data
  kGridViewWithErrors,  // "View Records With Errors" showed the grids
  kGridViewNoErrors,    // "View Records With Errors" found no findings
  kRecordViewOpened,    // "View Tested Records", records exist
  kRecordViewEmpty,     // "View Tested Records", no records
  kLastNoReport,        // "View Last Test Results": no results file
  kLastUnreadable,      // ... the Records table is empty
  kLastWithErrors,      // ... findings exist (after the grid view)
  kLastNoErrors,        // ... no findings
  kViewsReplaced,       // the views let go of results a later test replaced
};

class CommandState {
 public:
  CommandState();

  void Apply(CommandEvent event);

  // While a test run is in progress, everything that would start another
  // run, open the results being written or reach them through a menu is
  // held disabled; the rules' own state comes back when the run ends.
  void SetRunInProgress(bool running) { run_in_progress_ = running; }
  bool run_in_progress() const { return run_in_progress_; }
  // While a report request is in progress the report commands are held
  // disabled.
  void SetReportInProgress(bool reporting) { report_in_progress_ = reporting; }
  bool report_in_progress() const { return report_in_progress_; }

  // The state the rules gave the command itself.
  bool own(Command command) const { return own_[Index(command)]; }
  // Whether the user can run it now: its own state, not held by a run or a
  // report request, and (for a menu entry) its submenu enabled.
  bool enabled(Command command) const;

 private:
  static size_t Index(Command c) { return static_cast<size_t>(c); }
  void Set(Command command, bool on);

  std::array<bool, kCommandCount> own_{};
  // cmdLast, Open Last and Report > Last, once disabled, stay disabled.
  std::array<bool, kCommandCount> latched_off_{};
  bool run_in_progress_ = false;
  bool report_in_progress_ = false;
};

}  // namespace lintaro

#endif  // LINTARO_BROWSE_COMMANDS_H_
