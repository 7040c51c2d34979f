#pragma once
// Sessions set up as the desktop program would have them after start-up.

#include <string>
#include <vector>

#include "session/session.h"

namespace kursolin::test {

/// Creation state of the main window (folders in /tmp, table headers, captions).
void createLikeTheWindow(Session& s);
/// Chooses an input format without asking for a file.
void useInput(Session& s, int code);
/// Chooses an output format without the regeneration question.
void useOutput(Session& s, int code);
/// Rule boxes: only those named on, AllGGACheck off.
void onlyRules(Session& s, bool meter, bool grad, bool pause, bool zeit);
/// Puts lines into the input pane as if typed in.
void setInput(Session& s, const std::vector<std::string>& lines);
/// The lines of the output pane.
std::vector<std::string> output(const Session& s);

}  // namespace kursolin::test
