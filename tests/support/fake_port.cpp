#include "support/fake_port.h"

#include "support/child_process.h"

namespace kursolin::test {

PromptAnswer cautiousAnswer(PromptButtons buttons) {
  switch (buttons) {
    case PromptButtons::AbortIgnore: return PromptAnswer::Ignore;
    case PromptButtons::Abort: return PromptAnswer::Abort;
    case PromptButtons::Ok: return PromptAnswer::Ok;
    case PromptButtons::YesNo: return PromptAnswer::No;
    case PromptButtons::YesCancel: return PromptAnswer::Cancel;
  }
  return PromptAnswer::Ok;
}

PromptAnswer ScriptedPort::prompt(PromptKind kind, PromptButtons buttons, const std::string& text) {
  prompts.push_back({kind, buttons, text});
  if (answers.empty()) {
    ++unscripted;
    return cautiousAnswer(buttons);
  }
  const PromptAnswer a = answers.front();
  answers.pop_front();
  return a;
}

std::optional<std::string> ScriptedPort::openFile(const FileDialogRequest& request) {
  openRequests.push_back(request);
  if (openAnswers.empty()) return std::nullopt;
  auto a = openAnswers.front();
  openAnswers.pop_front();
  return a;
}

std::optional<std::string> ScriptedPort::saveFile(const FileDialogRequest& request) {
  saveRequests.push_back(request);
  if (saveAnswers.empty()) return std::nullopt;
  auto a = saveAnswers.front();
  saveAnswers.pop_front();
  return a;
}

std::optional<std::string> ScriptedPort::browseFolder(const std::string& title) {
  folderTitles.push_back(title);
  if (folderAnswers.empty()) return std::nullopt;
  auto a = folderAnswers.front();
  folderAnswers.pop_front();
  return a;
}

bool ScriptedPort::showSplitDialog(SplitDialogView& dialog) {
  ++splitDialogs;
  if (onSplitDialog) return onSplitDialog(dialog);
  return true;
}

ProcessOutcome ScriptedPort::runProcess(const ProcessRequest& request) {
  processRequests.push_back(request);
  return runChild(request, cancelAfter);
}

bool ScriptedPort::waitWhile(const std::string& text, const std::function<bool()>& step) {
  waitTexts.push_back(text);
  const auto start = std::chrono::steady_clock::now();
  while (step()) {
    if (cancelAfter && std::chrono::steady_clock::now() - start >= *cancelAfter) return false;
  }
  return true;
}

std::vector<std::string> ScriptedPort::promptTexts() const {
  std::vector<std::string> out;
  for (const auto& p : prompts) out.push_back(p.text);
  return out;
}

void ScriptedPort::clearRecords() {
  prompts.clear();
  inputCaptions.clear();
  outputCaptions.clear();
  statusTexts.clear();
  progressTexts.clear();
  openRequests.clear();
  saveRequests.clear();
  processRequests.clear();
  waitTexts.clear();
  unscripted = 0;
}

}  // namespace kursolin::test
