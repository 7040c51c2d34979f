#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "settings/settings.h"

namespace {

std::string executableDir(const char* argv0) {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string path = n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string(argv0);
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::ios::sync_with_stdio(false);
  kursolin::cli::Environment env;
  env.in = &std::cin;
  env.configDir = kursolin::userSettingsFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  const int rc = kursolin::cli::run(args, std::cout, std::cerr, executableDir(argv[0]), env);
  std::cout.flush();
  return rc;
}
