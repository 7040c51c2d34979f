#pragma once
// The only way the core reaches the user. The desktop program implements it with Qt dialogs,
// the batch converter answers by policy on standard error, the tests answer from a script.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kursolin {

class SplitDialogView;

enum class PromptKind { Error, Warning, Information, Confirmation };

enum class PromptButtons { AbortIgnore, Abort, Ok, YesNo, YesCancel };

enum class PromptAnswer { Abort, Ignore, Ok, Yes, No, Cancel };

/// A file dialog as the core prepares it. `filter` holds description|pattern pairs joined by "|".
struct FileDialogRequest {
  std::string title;
  std::string filter;
  std::string moreFilters;  // further entries, listed after those of `filter`; same form
  std::string defaultExt;
  std::string fileName;
  std::string initialDir;
};

/// An external program to run and wait for. Paths are cp1252 like every text of the session.
struct ProcessRequest {
  std::string program;                 // full path of the executable
  std::vector<std::string> arguments;  // handed over one by one, never through a shell
  std::string workingDir;
  std::string waitText;  // shown while the user waits, beside "Abbrechen"
};

/// How a run of an external program ended.
enum class ProcessEnd {
  Finished,    // it ended by itself with exitCode
  Crashed,     // it was ended by a signal; what it wrote may be incomplete
  NotStarted,  // it could not be started (reason in `error`)
  Cancelled,   // the user cancelled the wait; the program was ended
};

struct ProcessOutcome {
  ProcessEnd end = ProcessEnd::NotStarted;
  int exitCode = 0;
  std::string error;
};

class UserPort {
 public:
  virtual ~UserPort() = default;

  /// Shows a modal message (CR breaks lines) and returns the button chosen.
  virtual PromptAnswer prompt(PromptKind kind, PromptButtons buttons, const std::string& text) = 0;

  /// The file chosen in an open dialog, or nullopt when cancelled.
  virtual std::optional<std::string> openFile(const FileDialogRequest& request) = 0;

  /// The file chosen in a save dialog (which asks before overwriting), or nullopt.
  virtual std::optional<std::string> saveFile(const FileDialogRequest& request) = 0;

  /// The folder chosen in the folder browser, or nullopt.
  virtual std::optional<std::string> browseFolder(const std::string& title) = 0;

  /// Shows the split dialog modally; true for OK. The dialog object computes its own texts.
  virtual bool showSplitDialog(SplitDialogView& dialog) = 0;

  /// Runs the program and waits for its end while the user may cancel the wait, which ends the
  /// program. A port that cannot offer that wait starts nothing.
  virtual ProcessOutcome runProcess(const ProcessRequest& /*request*/) {
    return {ProcessEnd::NotStarted, 0, "Externe Programme k\xF6nnen hier nicht gestartet werden"};
  }

  /// Calls step again and again until it returns false, while the user sees text with
  /// "Abbrechen" and the window stays alive (each call may block for a few milliseconds); false
  /// when the user cancelled before step ended the wait.
  virtual bool waitWhile(const std::string& /*text*/, const std::function<bool()>& step) {
    while (step()) {
    }
    return true;
  }

  /// Lets the user interface repaint and handle input during a long run.
  virtual void processPendingEvents() {}

  /// Caption of the input pane (InFileLabel).
  virtual void setInputCaption(const std::string& /*text*/) {}
  /// Caption of the output pane (OutFileLabel).
  virtual void setOutputCaption(const std::string& /*text*/) {}
  /// Text of the status line.
  virtual void setStatusText(const std::string& /*text*/) {}
  /// How far a long step got (lines read, records scanned), shown over the status text; an
  /// empty text ends the step and shows the status text again.
  virtual void showProgress(const std::string& /*text*/) {}

  /// The busy (hourglass) cursor over the output pane and the route button, on or off.
  virtual void setBusy(bool /*busy*/) {}
  /// Keyboard focus into the output pane, caret at its start, nothing selected.
  virtual void focusOutputPane() {}
  /// Menus, actions or control states of the session changed and want repainting.
  virtual void stateChanged() {}
};

}  // namespace kursolin
