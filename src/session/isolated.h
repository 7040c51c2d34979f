#pragma once
// Runs a step whose library may crash, loop or eat memory on a damaged file in a forked child
// process. The child hands its result back over a pipe; what it prints is kept for a few lines;
// a crash, a signal, a time-out, too much memory or the user's "Abbrechen" end only the child.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "session/port.h"

namespace kursolin {

/// What a step in a child process may take.
struct ChildLimits {
  /// Wall-clock time from the start of the child.
  std::chrono::milliseconds time{60000};
  /// Memory the child may map beyond what it inherited.
  std::uint64_t memoryBytes = std::uint64_t{1} << 30;
  /// Bytes it may hand back.
  std::uint64_t resultBytes = std::uint64_t{512} << 20;
};

/// How a step in a child process ended.
enum class ChildEnd {
  Finished,       // it returned; exitCode is the body's result
  Crashed,        // a signal ended it (signal), or it died in a way of its own (exitCode)
  TimedOut,       // it ran past the time limit and was ended
  OutOfMemory,    // it ran out of the memory it may use
  TooMuchResult,  // it handed back more than it may and was ended
  Cancelled,      // the user cancelled the wait and it was ended
  NotStarted,     // it could not be started (error)
};

/// The end of a step in a child process, with what it handed back and printed.
struct ChildOutcome {
  ChildEnd end = ChildEnd::NotStarted;
  int exitCode = 0;
  int signal = 0;
  std::string result;
  /// The first lines it printed on standard output or error, each cut to a few hundred bytes.
  std::vector<std::string> diagnostics;
  /// How many lines it printed in all.
  long long diagnosticLines = 0;
  /// The last line it printed, when that is not among the first: a library's last word before
  /// it gives up tells most.
  std::string lastDiagnostic;
  std::string error;
};

/// Where the body in the child writes its result.
class ChildResultWriter {
 public:
  explicit ChildResultWriter(int fd) : fd_(fd) {}
  ChildResultWriter(const ChildResultWriter&) = delete;
  ChildResultWriter& operator=(const ChildResultWriter&) = delete;
  /// Appends bytes to the result.
  void write(std::string_view bytes);
  /// Hands what was written so far to the parent; false once the parent no longer reads.
  bool flush();

 private:
  int fd_;
  std::string buffer_;
  bool broken_ = false;
};

/// The body run in the child: writes its result and returns its exit code (0..99).
using ChildBody = std::function<int(ChildResultWriter&)>;

/// The number of printed lines an outcome keeps: a damaged file can make a library print
/// millions.
inline constexpr int kChildDiagnosticLines = 3;

/// Runs body in a forked child within the limits while the port shows waitText with "Abbrechen".
ChildOutcome runInChild(UserPort& port, const std::string& waitText, const ChildLimits& limits,
                        const ChildBody& body);

/// Why a step gave no result, as one German sentence (cp1252) for the user, followed by the
/// lines the child printed; "" for Finished and Cancelled.
std::string childFailureText(const ChildOutcome& outcome, const ChildLimits& limits);

}  // namespace kursolin
