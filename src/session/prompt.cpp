#include "session/prompt.h"

#include "core/numtext.h"

namespace kursolin {

bool abortIgnorePrompt(Session& s, const std::string& text) {
  const PromptAnswer a = s.port().prompt(PromptKind::Error, PromptButtons::AbortIgnore, text);
  s.AbortRequested = (a == PromptAnswer::Abort);
  return s.AbortRequested;
}

bool errorPromptIfShown(Session& s, const std::string& text) {
  if (!s.opt.ShowErrors) return false;
  return abortIgnorePrompt(s, text);
}

void errorPromptsIfShown(Session& s, const std::vector<std::string>& texts) {
  for (const std::string& t : texts) errorPromptIfShown(s, t);
}

std::string isDigit(Session& s, const std::string& text) {
  const auto bad = firstNonNumberChar(text);
  if (!bad) return text;
  abortIgnorePrompt(s, invalidCharacterText(*bad));
  return {};
}

void singleButtonMessage(Session& s, PromptKind kind, PromptButtons button,
                         const std::string& text) {
  s.port().prompt(kind, button, text);
}

bool askYes(Session& s, PromptButtons buttons, const std::string& text) {
  return s.port().prompt(PromptKind::Confirmation, buttons, text) == PromptAnswer::Yes;
}

PromptAnswer QuietScope::QuietPort::prompt(PromptKind, PromptButtons b, const std::string&) {
  switch (b) {
    case PromptButtons::AbortIgnore:
      return PromptAnswer::Ignore;
    case PromptButtons::YesNo:
      return PromptAnswer::No;
    case PromptButtons::YesCancel:
      return PromptAnswer::Cancel;
    case PromptButtons::Abort:
      return PromptAnswer::Abort;
    case PromptButtons::Ok:
      return PromptAnswer::Ok;
  }
  return PromptAnswer::Ok;
}

QuietScope::QuietScope(Session& s) : s_(s), port_(s.port()), errors_(s.opt.ShowErrors) {
  s.setPort(quiet_);
  s.opt.ShowErrors = false;
}

QuietScope::~QuietScope() {
  s_.setPort(port_);
  s_.opt.ShowErrors = errors_;
}

}  // namespace kursolin
