#pragma once
// kursolin-cli: converts one track or route file without a window, by the same rules and
// settings as the desktop program.

#include <iosfwd>
#include <string>
#include <vector>

namespace kursolin::cli {

/// Exit statuses.
inline constexpr int kWritten = 0;
inline constexpr int kStopped = 1;  // Abort, a conversion error, an unwritable file
inline constexpr int kUnusable = 2;  // the input failed its check or is missing; wrong usage

/// Runs the converter with the arguments after the program name. `out` receives the route
/// when it goes to standard output, `err` every message. `exeDir` is the program's folder.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const std::string& exeDir);

/// The German help text.
std::string helpText();

}  // namespace kursolin::cli
