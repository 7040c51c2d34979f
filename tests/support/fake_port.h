#pragma once
// A user-interface port for tests: records every prompt, dialog and caption, and answers from a
// script. When the script runs dry it answers as a cautious user would (Ignore, OK, No, Cancel)
// and counts the prompt as unscripted, so a test can insist that it foresaw every question.

#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "session/port.h"

namespace kursolin::test {

struct RecordedPrompt {
  PromptKind kind;
  PromptButtons buttons;
  std::string text;
};

class ScriptedPort : public UserPort {
 public:
  std::vector<RecordedPrompt> prompts;
  std::deque<PromptAnswer> answers;
  int unscripted = 0;

  std::vector<FileDialogRequest> openRequests;
  std::deque<std::optional<std::string>> openAnswers;
  std::vector<FileDialogRequest> saveRequests;
  std::deque<std::optional<std::string>> saveAnswers;
  std::vector<std::string> folderTitles;
  std::deque<std::optional<std::string>> folderAnswers;

  /// Decides the split dialog; default: OK with the proposed points per file.
  std::function<bool(SplitDialogView&)> onSplitDialog;
  int splitDialogs = 0;

  /// Programs run so far; they really run, and the port waits for their end.
  std::vector<ProcessRequest> processRequests;
  /// Cancels the wait this long after a program or a waited step started, as the user's
  /// "Abbrechen" does.
  std::optional<std::chrono::milliseconds> cancelAfter;
  /// Texts of the waits so far.
  std::vector<std::string> waitTexts;

  std::vector<std::string> inputCaptions;
  std::vector<std::string> outputCaptions;
  std::vector<std::string> statusTexts;
  /// Progress texts of long steps, the empty one ending a step included.
  std::vector<std::string> progressTexts;
  long long pendingEventCalls = 0;
  /// Runs where the window would handle its events (a click on "Abbrechen", say).
  std::function<void()> onPendingEvents;
  int busyOn = 0, busyOff = 0, focusOutput = 0, stateChanges = 0;

  /// Queues answers for the next prompts.
  ScriptedPort& answer(std::initializer_list<PromptAnswer> a) {
    answers.insert(answers.end(), a);
    return *this;
  }

  PromptAnswer prompt(PromptKind kind, PromptButtons buttons, const std::string& text) override;
  std::optional<std::string> openFile(const FileDialogRequest& request) override;
  std::optional<std::string> saveFile(const FileDialogRequest& request) override;
  std::optional<std::string> browseFolder(const std::string& title) override;
  bool showSplitDialog(SplitDialogView& dialog) override;
  ProcessOutcome runProcess(const ProcessRequest& request) override;
  bool waitWhile(const std::string& text, const std::function<bool()>& step) override;
  void processPendingEvents() override {
    ++pendingEventCalls;
    if (onPendingEvents) onPendingEvents();
  }
  void setInputCaption(const std::string& t) override { inputCaptions.push_back(t); }
  void setOutputCaption(const std::string& t) override { outputCaptions.push_back(t); }
  void setStatusText(const std::string& t) override { statusTexts.push_back(t); }
  void showProgress(const std::string& t) override { progressTexts.push_back(t); }
  void setBusy(bool b) override { (b ? busyOn : busyOff)++; }
  void focusOutputPane() override { ++focusOutput; }
  void stateChanged() override { ++stateChanges; }

  /// Texts of all prompts so far.
  std::vector<std::string> promptTexts() const;
  void clearRecords();
};

/// The answer a cautious user gives to a button set.
PromptAnswer cautiousAnswer(PromptButtons buttons);

}  // namespace kursolin::test
