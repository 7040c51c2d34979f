#include "core/prompt.h"

namespace kursolin {

bool abortIgnorePrompt(Session& s, const std::string& text) {
  const PromptAnswer a = s.port().prompt(PromptKind::Error, PromptButtons::AbortIgnore, text);
  s.AbortRequested = (a == PromptAnswer::Abort);
  return s.AbortRequested;
}

bool errorPromptIfShown(Session& s, const std::string& text) {
  if (!s.ShowErrors) return false;
  return abortIgnorePrompt(s, text);
}

void singleButtonMessage(Session& s, PromptKind kind, PromptButtons button,
                         const std::string& text) {
  s.port().prompt(kind, button, text);
}

bool askYes(Session& s, PromptButtons buttons, const std::string& text) {
  return s.port().prompt(PromptKind::Confirmation, buttons, text) == PromptAnswer::Yes;
}

}  // namespace kursolin
