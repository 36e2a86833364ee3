// What the core needs from the platform it runs on, as small interfaces.
//
// The desktop program implements them with real windows and dialogs, the
// command-line checker with standard streams and its argument list, and the
// tests with scripted fakes. Nothing in the core includes a window toolkit.
// The desktop's shell is in core/platform_shell.h, the printer and the print
// dialog in core/platform_print.h.
#ifndef LINTARO_PLATFORM_PLATFORM_H_
#define LINTARO_PLATFORM_PLATFORM_H_

#include <optional>
#include <string>
#include <string_view>

namespace lintaro {

enum class Icon { kNone, kInformation, kExclamation, kCritical, kQuestion };
enum class Buttons { kOk, kYesNo, kOkCancel };
enum class Answer { kOk, kCancel, kYes, kNo };

// Message boxes and the common file dialogs.
class Prompts {
 public:
  virtual ~Prompts() = default;

  // Shows a modal message box and returns the button chosen. Texts use
  // "\r\n" between lines, as the messages are written.
  virtual Answer Message(const std::string& title, const std::string& text, Icon icon,
                         Buttons buttons) = 0;

  // The open-file dialog: returns the chosen file's full name, or nothing
  // when the user cancels. The filter is in "caption|pattern|..." form.
  virtual std::optional<std::string> OpenFile(const std::string& title,
                                              const std::string& filter) = 0;

  // The save-file dialog: starts in start_folder with an empty name, asks
  // before replacing a file and before creating one, and returns the chosen
  // file's full name, or nothing when the user cancels. A name typed without
  // an extension gets the first pattern's extension of the filter.
  virtual std::optional<std::string> SaveFile(const std::string& title, const std::string& filter,
                                              const std::string& start_folder) {
    return std::nullopt;
  }
};

// What a message box answers when nobody is there to choose (the command
// line, unattended runs): the button that lets nothing go on, OK where it
// is the only one.
Answer UnattendedAnswer(Buttons buttons);

// Lets the window repaint and handle input during long work. Implementations
// decide how often a call really processes events; calls must be cheap.
class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void ProcessEvents() = 0;
};

// A calendar date.
struct Date {
  int year = 0;
  int month = 0;  // 1-12
  int day = 0;    // 1-31

  friend bool operator==(const Date&, const Date&) = default;
  friend auto operator<=>(const Date&, const Date&) = default;
};

// Today's date, from the system clock or a test's script.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual Date Today() = 0;
};

// The system clock's local date.
class SystemClock : public Clock {
 public:
  Date Today() override;
};

// Message texts separate lines with CR LF; windows and terminals want LF.
// Removes the "\r" of each CR LF pair.
std::string ToLineFeeds(std::string_view text);

// "mm/dd/yyyy", as test dates are stored.
std::string FormatDate(const Date& date);

}  // namespace lintaro

#endif  // LINTARO_PLATFORM_PLATFORM_H_
