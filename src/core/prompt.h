#pragma once
// Small helpers for the message kinds every part uses.

#include <string>

#include "core/session.h"

namespace kursolin {

/// The carriage return that breaks lines in every prompt.
inline constexpr char kCR = '\r';

/// Error prompt with Abort and Ignore; sets AbortRequested to (answer is Abort) and returns it.
bool abortIgnorePrompt(Session& s, const std::string& text);

/// The same prompt, shown only while ShowErrors is on; returns AbortRequested's new value
/// (false and unchanged when nothing was shown).
bool errorPromptIfShown(Session& s, const std::string& text);

/// A message with a single button (Abort or OK) of the given kind.
void singleButtonMessage(Session& s, PromptKind kind, PromptButtons button, const std::string& text);

/// A question with Yes+No or Yes+Cancel; true for Yes.
bool askYes(Session& s, PromptButtons buttons, const std::string& text);

}  // namespace kursolin
