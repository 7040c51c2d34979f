#include "session/isolated.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "core/cp1252.h"
#include "session/prompt.h"

namespace kursolin {

namespace {

using Clock = std::chrono::steady_clock;

// Exit codes of the child beyond the body's own 0..99.
constexpr int kOutOfMemoryExit = 100;
constexpr int kBodyFailedExit = 101;
constexpr int kOrphanExit = 102;

// A printed line longer than this is cut: one line of a library can be a whole page.
constexpr std::size_t kDiagnosticLineBytes = 300;
// The longest a single round of the wait blocks, so the window answers at once.
constexpr int kSliceMs = 20;
constexpr std::size_t kReadChunk = 64 * 1024;
// The writer hands its result on in pieces of this size.
constexpr std::size_t kWriteChunk = 64 * 1024;

// Texts a memory allocator prints when it gives up (GLib, the C++ runtime, the sanitizers).
constexpr const char* kOutOfMemoryMarks[] = {"failed to allocate", "Cannot allocate memory",
                                             "out of memory", "bad_alloc",
                                             "allocation-size-too-big"};

bool writeAll(int fd, const char* data, std::size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, data, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

// The size of the address space mapped now, 0 when unknown.
std::uint64_t mappedBytes() {
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (!f) return 0;
  unsigned long long pages = 0;
  const bool ok = std::fscanf(f, "%llu", &pages) == 1;
  std::fclose(f);
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  return ok && pageSize > 0 ? pages * static_cast<std::uint64_t>(pageSize) : 0;
}

// The limits the child sets on itself: no core file of a crash, and an address space that can
// grow only by the memory limit (counted from what it inherited, so a sanitizer's reservations
// do not use it up).
void limitSelf(const ChildLimits& limits) {
  const rlimit noCore{0, 0};
  ::setrlimit(RLIMIT_CORE, &noCore);
  if (const std::uint64_t now = mappedBytes(); now > 0) {
    const auto cap = static_cast<rlim_t>(now + limits.memoryBytes);
    rlimit current{};
    if (::getrlimit(RLIMIT_AS, &current) == 0 &&
        (current.rlim_max == RLIM_INFINITY || cap < current.rlim_max)) {
      const rlimit as{cap, cap};
      ::setrlimit(RLIMIT_AS, &as);
    }
  }
}

[[noreturn]] void runChild(const ChildBody& body, const ChildLimits& limits, pid_t parent,
                           int resultFd, int diagnosticFd) {
  // Ends with the parent: nobody would read the result, and a loop would run on unseen.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != parent) ::_exit(kOrphanExit);
  const int devNull = ::open("/dev/null", O_RDONLY);
  if (devNull >= 0) ::dup2(devNull, STDIN_FILENO);
  ::dup2(diagnosticFd, STDOUT_FILENO);
  ::dup2(diagnosticFd, STDERR_FILENO);
  limitSelf(limits);
  int code = kBodyFailedExit;
  try {
    ChildResultWriter writer(resultFd);
    code = body(writer);
    if (!writer.flush()) code = kBodyFailedExit;
  } catch (const std::bad_alloc&) {
    code = kOutOfMemoryExit;
  } catch (...) {
    code = kBodyFailedExit;
  }
  std::fflush(stdout);
  std::fflush(stderr);
  // No destructors, no atexit handlers: they belong to the parent's objects.
  ::_exit(code);
}

// Collects what the child prints: the first few lines, and how many there were.
class DiagnosticLines {
 public:
  explicit DiagnosticLines(ChildOutcome& out) : out_(out) {}

  void add(const char* data, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      if (data[i] == '\n') {
        endLine();
      } else if (partial_.size() < kDiagnosticLineBytes) {
        partial_ += data[i];
        open_ = true;
      }
    }
  }
  void finish() {
    if (open_) endLine();
  }

 private:
  void endLine() {
    ++out_.diagnosticLines;
    if (!partial_.empty() && partial_.back() == '\r') partial_.pop_back();
    if (out_.diagnostics.size() < static_cast<std::size_t>(kChildDiagnosticLines)) {
      out_.diagnostics.push_back(std::move(partial_));
    } else {
      out_.lastDiagnostic = std::move(partial_);
    }
    partial_.clear();
    open_ = false;
  }

  ChildOutcome& out_;
  std::string partial_;
  bool open_ = false;
};

bool mentionsOutOfMemory(const ChildOutcome& out) {
  std::vector<std::string> lines = out.diagnostics;
  lines.push_back(out.lastDiagnostic);
  for (const std::string& l : lines) {
    for (const char* mark : kOutOfMemoryMarks) {
      if (l.find(mark) != std::string::npos) return true;
    }
  }
  return false;
}

class Pipe {
 public:
  Pipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) == 0) {
      read = fds[0];
      write = fds[1];
    }
  }
  ~Pipe() {
    closeRead();
    closeWrite();
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;
  bool ok() const { return read >= 0; }
  void closeRead() {
    if (read >= 0) ::close(read);
    read = -1;
  }
  void closeWrite() {
    if (write >= 0) ::close(write);
    write = -1;
  }
  int read = -1;
  int write = -1;
};

}  // namespace

void ChildResultWriter::write(std::string_view bytes) {
  buffer_.append(bytes);
  if (buffer_.size() >= kWriteChunk) flush();
}

bool ChildResultWriter::flush() {
  if (!broken_ && !buffer_.empty()) broken_ = !writeAll(fd_, buffer_.data(), buffer_.size());
  buffer_.clear();
  return !broken_;
}

ChildOutcome runInChild(UserPort& port, const std::string& waitText, const ChildLimits& limits,
                        const ChildBody& body) {
  ChildOutcome out;
  Pipe result, diagnostics;
  if (!result.ok() || !diagnostics.ok()) {
    out.error = std::strerror(errno);
    return out;
  }
  // What the parent's buffers hold must not be written a second time by the child.
  std::fflush(nullptr);
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid < 0) {
    out.error = std::strerror(errno);
    return out;
  }
  if (pid == 0) {
    result.closeRead();
    diagnostics.closeRead();
    runChild(body, limits, parent, result.write, diagnostics.write);
  }
  result.closeWrite();
  diagnostics.closeWrite();
  for (int fd : {result.read, diagnostics.read}) ::fcntl(fd, F_SETFL, O_NONBLOCK);

  const Clock::time_point deadline = Clock::now() + limits.time;
  DiagnosticLines printed(out);
  bool reaped = false;
  int status = 0;
  std::vector<char> chunk(kReadChunk);

  const auto endChild = [&](ChildEnd why) {
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    reaped = true;
    out.end = why;
  };
  // Takes one chunk of what the pipe holds, or notes its end. One chunk per round: a child that
  // writes without pause must not keep the wait from its time limit and from "Abbrechen".
  const auto drain = [&](Pipe& p, bool isResult) {
    while (p.read >= 0) {
      const ssize_t n = ::read(p.read, chunk.data(), chunk.size());
      if (n > 0) {
        const auto size = static_cast<std::size_t>(n);
        if (isResult) {
          out.result.append(chunk.data(), size);
        } else {
          printed.add(chunk.data(), size);
        }
        return;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
      p.closeRead();
    }
  };

  const auto step = [&]() -> bool {
    if (reaped) return false;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      endChild(ChildEnd::TimedOut);
      return false;
    }
    const int wait = static_cast<int>(std::min<long long>(kSliceMs, left.count()));
    pollfd fds[2];
    nfds_t n = 0;
    for (const Pipe* p : {&result, &diagnostics}) {
      if (p->read >= 0) fds[n++] = pollfd{p->read, POLLIN, 0};
    }
    if (n == 0) {
      // Both pipes closed: the child is ending.
      const pid_t r = ::waitpid(pid, &status, WNOHANG);
      if (r == pid) {
        reaped = true;
        return false;
      }
      ::poll(nullptr, 0, wait);
      return true;
    }
    if (::poll(fds, n, wait) > 0) {
      drain(result, true);
      drain(diagnostics, false);
      if (out.result.size() > limits.resultBytes) {
        endChild(ChildEnd::TooMuchResult);
        return false;
      }
    }
    return true;
  };

  const bool completed = port.waitWhile(waitText, step);
  if (!completed && !reaped) endChild(ChildEnd::Cancelled);
  printed.finish();
  if (out.end != ChildEnd::NotStarted) return out;  // ended by us

  if (WIFSIGNALED(status)) {
    out.signal = WTERMSIG(status);
    out.end = mentionsOutOfMemory(out) ? ChildEnd::OutOfMemory : ChildEnd::Crashed;
  } else if (WIFEXITED(status)) {
    out.exitCode = WEXITSTATUS(status);
    if (out.exitCode == kOutOfMemoryExit) {
      out.end = ChildEnd::OutOfMemory;
    } else if (out.exitCode > kOutOfMemoryExit - 1) {
      out.end = ChildEnd::Crashed;
    } else {
      out.end = ChildEnd::Finished;
    }
  } else {
    out.end = ChildEnd::Crashed;
  }
  return out;
}

std::string childFailureText(const ChildOutcome& outcome, const ChildLimits& limits) {
  std::string text;
  switch (outcome.end) {
    case ChildEnd::Finished:
    case ChildEnd::Cancelled:
      return {};
    case ChildEnd::Crashed:
      text = outcome.signal != 0
                 ? "Das Lesen brach mit einem Fehler ab (Signal " + std::to_string(outcome.signal) +
                       "); die Datei ist vermutlich beschädigt."_cp
                 : "Das Lesen brach mit einem Fehler ab (Status " +
                       std::to_string(outcome.exitCode) +
                       "); die Datei ist vermutlich beschädigt."_cp;
      break;
    case ChildEnd::TimedOut: {
      const long long seconds = std::max<long long>(1, limits.time.count() / 1000);
      text = "Das Lesen dauerte länger als "_cp + std::to_string(seconds) +
             (seconds == 1 ? " Sekunde" : " Sekunden") +
             " und wurde abgebrochen; die Datei ist vermutlich beschädigt."_cp;
    } break;
    case ChildEnd::OutOfMemory:
      text = "Das Lesen brauchte mehr als " + std::to_string(limits.memoryBytes >> 20) +
             " MB Speicher und wurde abgebrochen; die Datei ist vermutlich beschädigt."_cp;
      break;
    case ChildEnd::TooMuchResult:
      text = "Das Lesen lieferte mehr als " + std::to_string(limits.resultBytes >> 20) +
             " MB Daten und wurde abgebrochen; die Datei ist vermutlich beschädigt."_cp;
      break;
    case ChildEnd::NotStarted:
      text = "Das Lesen konnte nicht gestartet werden (" + outcome.error + ").";
      break;
  }
  // Library messages are ASCII or UTF-8; nothing in them may break the message apart.
  const auto addLine = [&text](const std::string& line) {
    std::string clean = utf8ToCp1252(line);
    for (char& c : clean) {
      if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    }
    text += kCR;
    text += clean;
  };
  if (!outcome.diagnostics.empty()) {
    text += kCR;
    text += "Meldungen beim Lesen:";
    for (const std::string& line : outcome.diagnostics) addLine(line);
    const long long more =
        outcome.diagnosticLines - static_cast<long long>(outcome.diagnostics.size());
    if (more == 1) {
      addLine(outcome.lastDiagnostic);
    } else if (more > 1) {
      text += kCR;
      text += "(und " + std::to_string(more) + " weitere Zeilen, zuletzt:)";
      addLine(outcome.lastDiagnostic);
    }
  }
  return text;
}

}  // namespace kursolin
