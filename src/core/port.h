#pragma once
// The only way the core reaches the user. The desktop program implements it with Qt dialogs,
// the batch converter answers by policy on standard error, the tests answer from a script.

#include <optional>
#include <string>

namespace kursolin {

class SplitDialogView;

enum class PromptKind { Error, Warning, Information, Confirmation };

enum class PromptButtons { AbortIgnore, Abort, Ok, YesNo, YesCancel };

enum class PromptAnswer { Abort, Ignore, Ok, Yes, No, Cancel };

/// A file dialog as the core prepares it. `filter` holds description|pattern pairs joined by "|".
struct FileDialogRequest {
  std::string title;
  std::string filter;
  std::string defaultExt;
  std::string fileName;
  std::string initialDir;
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

  /// Lets the user interface repaint and handle input during a long run.
  virtual void processPendingEvents() {}

  /// Caption of the input pane (InFileLabel).
  virtual void setInputCaption(const std::string& /*text*/) {}
  /// Caption of the output pane (OutFileLabel).
  virtual void setOutputCaption(const std::string& /*text*/) {}
  /// Text of the status line.
  virtual void setStatusText(const std::string& /*text*/) {}

  /// The busy (hourglass) cursor over the output pane and the route button, on or off.
  virtual void setBusy(bool /*busy*/) {}
  /// Keyboard focus into the output pane, caret at its start, nothing selected.
  virtual void focusOutputPane() {}
  /// Menus, actions or control states of the session changed and want repainting.
  virtual void stateChanged() {}
};

}  // namespace kursolin
