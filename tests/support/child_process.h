#pragma once
// Runs a part of a test in a child process, as the unprivileged user "nobody" where asked, so
// folder and file permissions bind even when the tests run as root.

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <iostream>

namespace kursolin::test {

/// The exit code of a child that could not give up root.
inline constexpr int kCannotDropPrivileges = 77;

/// The exit code of body run in a child process, as an unprivileged user when asked.
inline int inChild(bool unprivileged, const std::function<int()>& body) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (unprivileged && ::geteuid() == 0) {
      if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) {
        ::_exit(kCannotDropPrivileges);
      }
    }
    const int code = body();
    std::cerr.flush();
    ::_exit(code);
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace kursolin::test
