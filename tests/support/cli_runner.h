#pragma once
// Running the batch converter from the tests: in-process through cli::run, or the built
// executable through a shell. Both use a scratch folder as the program folder, so no real
// settings are read.

#include <sys/wait.h>

#include <cstdio>
#include <istream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "support/temp_folder.h"

namespace kursolin::test {

/// Exit status, standard output and standard error of one run.
struct CliResult {
  int rc;
  std::string out, err;
};

/// cli::run with `folder` as program folder; `in` is standard input (nullptr: empty).
inline CliResult runCli(const TempFolder& folder, std::vector<std::string> args,
                        std::istream* in = nullptr) {
  args.insert(args.begin(), {"--appdir", folder.path()});
  cli::Environment env;
  env.in = in;
  std::ostringstream out, err;
  const int rc = cli::run(args, out, err, folder.dir(), env);
  return {rc, out.str(), err.str()};
}

/// Runs the executable with `args` (a shell command line) and `folder` as program folder:
/// standard output is appended to out, standard error goes to the folder's "stderr.txt". The
/// exit status, -1 when it could not run or ended by a signal.
inline int execCli(const std::string& exe, const TempFolder& folder, const std::string& args,
                   std::string* out) {
  const std::string cmd =
      exe + " --appdir " + folder.path() + " " + args + " 2>" + folder.file("stderr.txt");
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return -1;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out->append(buf, n);
  const int status = ::pclose(p);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace kursolin::test
