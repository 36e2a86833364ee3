#include "browse/commands.h"

#include <span>
#include <utility>

namespace lintaro {
namespace {

using C = Command;
using E = CommandEvent;

constexpr std::string_view kNames[kCommandCount] = {
    "cmdStart",    "cmdView",  "cmdGrid",     "cmdErrors",    "cmdPrint",
    "cmdLast",     "cmdExit",  "mnuTStart",   "mnuTOpenLast", "mnuTPrint",
    "mnuTSet",     "mnuTExit", "mnuVReport",  "mnuRLast",     "mnuRCurrent",
    "mnuVRecords", "mnuVRAll", "mnuVRErrors", "mnuHContents", "mnuHAbout",
};

// One step of an event: the command and its new state. The steps of an event
// are applied in order, so a later step can undo an earlier one (the grid
// view enables cmdGrid with the others and then disables it again).
struct Step {
  Command command;
  bool on;
};

constexpr bool kOn = true;
constexpr bool kOff = false;

// The enable rules, event by event.
constexpr Step kStepsOnWindowOpened[] = {
    {C::cmdStart, kOn},     {C::cmdLast, kOn},     {C::cmdExit, kOn},      {C::mnuTStart, kOn},
    {C::mnuTOpenLast, kOn}, {C::mnuTSet, kOn},     {C::mnuTExit, kOn},     {C::mnuVReport, kOn},
    {C::mnuRLast, kOn},     {C::mnuVRErrors, kOn}, {C::mnuVRAll, kOn},     {C::mnuHContents, kOn},
    {C::mnuHAbout, kOn},    {C::cmdView, kOff},    {C::cmdGrid, kOff},     {C::cmdErrors, kOff},
    {C::cmdPrint, kOff},    {C::mnuTPrint, kOff},  {C::mnuRCurrent, kOff}, {C::mnuVRecords, kOff},
};

// Once a run has started, the last results can no longer be reopened:
// the run has replaced them.
constexpr Step kStepsOnRunStarted[] = {
    {C::cmdStart, kOff}, {C::cmdLast, kOff}, {C::cmdPrint, kOff},     {C::cmdErrors, kOff},
    {C::cmdView, kOff},  {C::cmdGrid, kOff}, {C::mnuTOpenLast, kOff}, {C::mnuRLast, kOff},
};

constexpr Step kStepsOnRunCompletion[] = {
    {C::cmdStart, kOn}, {C::cmdView, kOn}, {C::mnuVReport, kOn}};

constexpr Step kStepsOnRunEnded[] = {{C::cmdStart, kOn}};

constexpr Step kStepsOnRunClean[] = {
    {C::mnuVRecords, kOn}, {C::mnuVRAll, kOn}, {C::mnuVReport, kOff}, {C::mnuVRErrors, kOff}};

constexpr Step kStepsOnRunNoValidData[] = {{C::mnuVRecords, kOn},
                                           {C::mnuVRAll, kOn},
                                           {C::mnuVReport, kOff},
                                           {C::mnuVRErrors, kOff},
                                           {C::cmdView, kOff}};

constexpr Step kStepsOnGridViewWithErrors[] = {
    {C::cmdStart, kOn},  {C::cmdPrint, kOn},    {C::cmdView, kOn},     {C::cmdGrid, kOn},
    {C::cmdErrors, kOn}, {C::mnuRCurrent, kOn}, {C::mnuVRErrors, kOn}, {C::mnuVRAll, kOn},
    {C::mnuTPrint, kOn}, {C::mnuVRecords, kOn}, {C::mnuVReport, kOn},  {C::mnuTOpenLast, kOff},
    {C::mnuRLast, kOff}, {C::cmdLast, kOff},    {C::cmdGrid, kOff},    {C::cmdView, kOn},
};

constexpr Step kStepsOnGridViewNoErrors[] = {
    {C::mnuVReport, kOff}, {C::mnuVRErrors, kOff}, {C::cmdGrid, kOff}, {C::cmdView, kOn}};

constexpr Step kStepsOnRecordViewOpened[] = {{C::cmdGrid, kOn}, {C::cmdView, kOff}};

constexpr Step kStepsOnRecordViewEmpty[] = {{C::cmdView, kOff}};

constexpr Step kStepsOnLastNoReport[] = {
    {C::cmdLast, kOff}, {C::mnuVReport, kOff}, {C::mnuTOpenLast, kOff}, {C::mnuRLast, kOff}};

constexpr Step kStepsOnLastUnreadable[] = {
    {C::cmdLast, kOff}, {C::mnuRLast, kOff},    {C::mnuTOpenLast, kOff}, {C::mnuVRErrors, kOff},
    {C::cmdView, kOff}, {C::mnuVRecords, kOff}, {C::mnuVRAll, kOff},
};

constexpr Step kStepsOnLastWithErrors[] = {
    {C::cmdLast, kOff}, {C::mnuRLast, kOff}, {C::mnuTOpenLast, kOff}};

constexpr Step kStepsOnLastNoErrors[] = {
    {C::cmdLast, kOff}, {C::mnuRLast, kOff},   {C::mnuTOpenLast, kOff}, {C::mnuVRErrors, kOff},
    {C::cmdView, kOn},  {C::mnuVRecords, kOn}, {C::mnuVRAll, kOn},
};

// Either view can be opened again on the results that replaced them.
constexpr Step kStepsOnViewsReplaced[] = {{C::cmdView, kOn},
                                          {C::cmdGrid, kOn},
                                          {C::mnuVRecords, kOn},
                                          {C::mnuVRAll, kOn},
                                          {C::mnuVRErrors, kOn}};

std::span<const Step> StepsOf(CommandEvent event) {
  switch (event) {
    case E::kWindowOpened:
      return kStepsOnWindowOpened;
    case E::kRunStarted:
      return kStepsOnRunStarted;
    case E::kRunCompletion:
      return kStepsOnRunCompletion;
    case E::kRunEnded:
      return kStepsOnRunEnded;
    case E::kRunClean:
      return kStepsOnRunClean;
    case E::kRunNoValidData:
      return kStepsOnRunNoValidData;
    case E::kGridViewWithErrors:
      return kStepsOnGridViewWithErrors;
    case E::kGridViewNoErrors:
      return kStepsOnGridViewNoErrors;
    case E::kRecordViewOpened:
      return kStepsOnRecordViewOpened;
    case E::kRecordViewEmpty:
      return kStepsOnRecordViewEmpty;
    case E::kLastNoReport:
      return kStepsOnLastNoReport;
    case E::kLastUnreadable:
      return kStepsOnLastUnreadable;
    case E::kLastWithErrors:
      return kStepsOnLastWithErrors;
    case E::kLastNoErrors:
      return kStepsOnLastNoErrors;
    case E::kViewsReplaced:
      return kStepsOnViewsReplaced;
  }
  return {};
}

// Held disabled while a run is in progress: the commands that would start
// another run or read the results the run is writing.
constexpr Command kHeldByRun[] = {
    C::cmdStart,    C::cmdView,      C::cmdGrid,   C::cmdErrors,   C::cmdPrint,   C::cmdLast,
    C::mnuTStart,   C::mnuTOpenLast, C::mnuTPrint, C::mnuTSet,     C::mnuVReport, C::mnuRLast,
    C::mnuRCurrent, C::mnuVRecords,  C::mnuVRAll,  C::mnuVRErrors,
};

// Held disabled while a report request is in progress.
constexpr Command kHeldByReport[] = {C::cmdErrors, C::cmdPrint, C::mnuTPrint, C::mnuRCurrent};

template <size_t N>
bool Contains(const Command (&list)[N], Command c) {
  for (Command x : list)
    if (x == c) return true;
  return false;
}

}  // namespace

std::string_view CommandName(Command command) { return kNames[static_cast<size_t>(command)]; }

std::optional<Command> CommandByName(std::string_view name) {
  for (size_t i = 0; i < kCommandCount; ++i)
    if (kNames[i] == name) return static_cast<Command>(i);
  return std::nullopt;
}

std::optional<Command> SubmenuOf(Command command) {
  switch (command) {
    case C::mnuRLast:
    case C::mnuRCurrent:
      return C::mnuVReport;
    case C::mnuVRAll:
    case C::mnuVRErrors:
      return C::mnuVRecords;
    default:
      return std::nullopt;
  }
}

CommandState::CommandState() { Apply(E::kWindowOpened); }

void CommandState::Set(Command command, bool on) {
  const size_t i = Index(command);
  if (on && latched_off_[i]) return;
  own_[i] = on;
  if (!on && (command == C::cmdLast || command == C::mnuTOpenLast || command == C::mnuRLast))
    latched_off_[i] = true;
}

void CommandState::Apply(CommandEvent event) {
  for (const Step& step : StepsOf(event)) Set(step.command, step.on);
}

bool CommandState::enabled(Command command) const {
  if (!own(command)) return false;
  if (run_in_progress_ && Contains(kHeldByRun, command)) return false;
  if (report_in_progress_ && Contains(kHeldByReport, command)) return false;
  if (auto submenu = SubmenuOf(command)) return enabled(*submenu);
  return true;
}

}  // namespace lintaro
