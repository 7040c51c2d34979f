#pragma once
// The desktop program's side of the user-interface port: German message boxes, the file and
// folder dialogs, and the hooks through which the core updates the main window.

#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "session/port.h"

namespace kursolin::gui {

/// The window title of every message box of the program.
inline constexpr char kMessageTitle[] = "Kursolin";

/// How long an external program runs before the wait dialog appears.
inline constexpr int kProcessDialogDelayMs = 400;

/// A message box for the prompt, ready to exec(): icon of the kind, German buttons, CR as line
/// break, the cancel-like button bound to Escape and the close button.
std::unique_ptr<QMessageBox> buildPromptBox(QWidget* parent, PromptKind kind, PromptButtons buttons,
                                            const std::string& text);

/// The answer for the standard button a prompt box returned; a button outside the set (or
/// none) counts as the set's cancel-like answer.
PromptAnswer answerForButton(PromptButtons buttons, QMessageBox::StandardButton clicked);

/// The answer a closed (Escape, close button) prompt gives: Abort, Abort, Ok, No, Cancel.
PromptAnswer cancelAnswer(PromptButtons buttons);

/// The warning for a path that cp1252 cannot hold.
QString unusablePathText(const QString& path);

/// The entry that ends the filter list of every open dialog.
inline constexpr char16_t kAllFilesFilter[] = u"Alle Dateien (*)";

/// The name filters of a file dialog in Qt's form: the request's own entries first, exactly as
/// given, then its further entries, and for an open dialog "Alle Dateien (*)" last.
QStringList dialogNameFilters(const FileDialogRequest& request, bool save);

/// The file dialog of the program: non-native, German labels, extensions matched in any letter
/// case, asks in German before it overwrites a file (save) or when the file does not exist
/// (open), and refuses paths that cp1252 cannot hold.
class FileDialog : public QFileDialog {
  Q_OBJECT
 public:
  /// An open (save = false) or save dialog prepared from the request.
  FileDialog(QWidget* parent, const FileDialogRequest& request, bool save);

  /// The accepted file as cp1252, or nullopt when nothing was accepted.
  std::optional<std::string> chosenFile() const;

 public slots:
  void accept() override;
};

/// A folder browser with the title, non-native and German-labelled, that only shows folders.
class FolderDialog : public QFileDialog {
  Q_OBJECT
 public:
  FolderDialog(QWidget* parent, const QString& title);

  /// The accepted folder as cp1252, or nullopt.
  std::optional<std::string> chosenFolder() const;

 public slots:
  void accept() override;
};

class QtPort : public UserPort {
 public:
  /// A port whose dialogs are owned by the parent window (may be null).
  explicit QtPort(QWidget* parent = nullptr);

  /// Changes the window the dialogs belong to.
  void setParentWidget(QWidget* parent) { parent_ = parent; }
  QWidget* parentWidget() const { return parent_; }

  PromptAnswer prompt(PromptKind kind, PromptButtons buttons, const std::string& text) override;
  std::optional<std::string> openFile(const FileDialogRequest& request) override;
  std::optional<std::string> saveFile(const FileDialogRequest& request) override;
  std::optional<std::string> browseFolder(const std::string& title) override;
  bool showSplitDialog(SplitDialogView& dialog) override;
  /// Runs the program without a shell in its own process group and waits in an event loop; a
  /// progress dialog appears when the wait lasts, and its "Abbrechen" ends the whole group.
  ProcessOutcome runProcess(const ProcessRequest& request) override;
  /// Runs the wait in an event loop; a progress dialog with "Abbrechen" appears when it lasts.
  bool waitWhile(const std::string& text, const std::function<bool()>& step) override;

  /// Processes pending events at most once per eventInterval, so a long run stays fast.
  void processPendingEvents() override;
  /// Sets the least time between two event rounds of processPendingEvents (default 30 ms).
  void setEventInterval(int milliseconds) { eventIntervalMs_ = milliseconds; }

  void setInputCaption(const std::string& text) override;
  void setOutputCaption(const std::string& text) override;
  void setStatusText(const std::string& text) override;
  void showProgress(const std::string& text) override;
  void setBusy(bool busy) override;
  void focusOutputPane() override;
  void stateChanged() override;

  // Hooks the main window installs; an empty hook makes its call do nothing.
  std::function<void(const QString&)> inputCaptionHandler;
  std::function<void(const QString&)> outputCaptionHandler;
  std::function<void(const QString&)> statusTextHandler;
  /// Progress of a long step; empty when the step ended.
  std::function<void(const QString&)> progressHandler;
  std::function<void(bool)> busyHandler;
  std::function<void()> focusOutputPaneHandler;
  std::function<void()> stateChangedHandler;
  /// Shows the split dialog modally and returns true for OK; without it the dialog counts as
  /// cancelled.
  std::function<bool(SplitDialogView&)> splitDialogHandler;

 private:
  QPointer<QWidget> parent_;
  QElapsedTimer sinceEvents_;
  int eventIntervalMs_ = 30;
};

}  // namespace kursolin::gui
