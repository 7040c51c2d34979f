#pragma once
// Runs an external program for the scripted port as the desktop program would, only without a
// window: no shell, its own process group, and a cancel that ends the whole group.

#include <chrono>
#include <functional>
#include <optional>

#include "session/port.h"

namespace kursolin::test {

/// Runs the request and waits for its end; with cancelAfter, ends the program that long after
/// its start and reports the run as cancelled.
ProcessOutcome runChild(const ProcessRequest& request,
                        std::optional<std::chrono::milliseconds> cancelAfter = std::nullopt);

/// The exit code inChild gives when it cannot become an unprivileged user.
inline constexpr int kCannotDropPrivileges = 77;

/// The exit code of body run in a forked child process, as the user "nobody" when asked
/// (permissions do not bind root); 128 + signal for a child ended by a signal.
int inChild(bool unprivileged, const std::function<int()>& body);

}  // namespace kursolin::test
