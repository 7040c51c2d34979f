#pragma once
// kursolin-cli: converts track or route files without a window, by the same rules and settings
// as the desktop program.

#include <iosfwd>
#include <string>
#include <vector>

namespace kursolin::cli {

/// Exit statuses.
inline constexpr int kWritten = 0;
inline constexpr int kStopped = 1;   // Abort, a conversion error, an unwritable file
inline constexpr int kUnusable = 2;  // the input failed its check or is missing; wrong usage

/// What the converter takes from its surroundings besides its arguments.
struct Environment {
  std::istream* in = nullptr;  // standard input, read for the input "-" (nullptr: empty)
  std::string configDir;       // the user's settings folder (cp1252, ends in '/'), "" for none
};

/// Runs the converter with the arguments after the program name. `out` receives the route
/// when it goes to standard output and the line per file of a run with --output-dir, `err` every
/// message. `exeDir` is the program's folder. Several inputs give the worst status of them.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const std::string& exeDir, const Environment& env = {});

/// The German help text.
std::string helpText();

}  // namespace kursolin::cli
