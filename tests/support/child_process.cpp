#include "support/child_process.h"

#include <fcntl.h>
#include <grp.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "core/cp1252.h"

extern char** environ;

namespace kursolin::test {

ProcessOutcome runChild(const ProcessRequest& request,
                        std::optional<std::chrono::milliseconds> cancelAfter) {
  std::vector<std::string> args{nativePath(request.program)};
  for (const auto& a : request.arguments) args.push_back(nativePath(a));
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  const std::string dir = nativePath(request.workingDir);
  if (!dir.empty()) posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attr, 0);
  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, args[0].c_str(), &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return {ProcessEnd::NotStarted, 0, std::strerror(rc)};

  const auto started = std::chrono::steady_clock::now();
  int status = 0;
  for (;;) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) return {ProcessEnd::Crashed, 0, std::strerror(errno)};
    if (cancelAfter && std::chrono::steady_clock::now() - started >= *cancelAfter) {
      ::kill(-pid, SIGKILL);
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      return {ProcessEnd::Cancelled, 0, {}};
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFSIGNALED(status)) return {ProcessEnd::Crashed, 128 + WTERMSIG(status), {}};
  return {ProcessEnd::Finished, WEXITSTATUS(status), {}};
}

int inChild(bool unprivileged, const std::function<int()>& body) {
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
