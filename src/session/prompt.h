#pragma once
// Small helpers for the message kinds every part uses.

#include <string>
#include <vector>

#include "session/session.h"

namespace kursolin {

/// The carriage return that breaks lines in every prompt.
inline constexpr char kCR = '\r';

/// Error prompt with Abort and Ignore; sets AbortRequested to (answer is Abort) and returns it.
bool abortIgnorePrompt(Session& s, const std::string& text);

/// The same prompt, shown only while ShowErrors is on; returns AbortRequested's new value
/// (false and unchanged when nothing was shown).
bool errorPromptIfShown(Session& s, const std::string& text);

/// The prompts of a conversion's messages in order, each as errorPromptIfShown shows it.
void errorPromptsIfShown(Session& s, const std::vector<std::string>& texts);

/// s unchanged when it holds only digits, "," and "."; otherwise "" after the user was asked
/// (whatever ShowErrors says) whether to abort.
std::string isDigit(Session& s, const std::string& text);

/// A message with a single button (Abort or OK) of the given kind.
void singleButtonMessage(Session& s, PromptKind kind, PromptButtons button,
                         const std::string& text);

/// A question with Yes+No or Yes+Cancel; true for Yes.
bool askYes(Session& s, PromptButtons buttons, const std::string& text);

/// Answers every question like a user who wants no interruption (Ignore, No, Cancel, OK) and
/// hides the error prompts, for as long as it lives: passes over lines the user did not ask
/// about (the end point search, the route picture) must not show the readers' prompts.
class QuietScope {
 public:
  explicit QuietScope(Session& s);
  ~QuietScope();
  QuietScope(const QuietScope&) = delete;
  QuietScope& operator=(const QuietScope&) = delete;

 private:
  class QuietPort : public UserPort {
   public:
    PromptAnswer prompt(PromptKind, PromptButtons b, const std::string&) override;
    std::optional<std::string> openFile(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> browseFolder(const std::string&) override { return {}; }
    bool showSplitDialog(SplitDialogView&) override { return false; }
  };
  Session& s_;
  UserPort& port_;
  bool errors_;
  QuietPort quiet_;
};

}  // namespace kursolin
