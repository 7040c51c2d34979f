#pragma once
// The desktop entry of the installed program (freedesktop.org format, UTF-8), built from the
// format rows so the desktop offers Kursolin for exactly the files it can open.

#include <string>
#include <vector>

namespace kursolin::cli {

/// The MIME types of the files of every input format this version reads, each once, in menu
/// order.
std::vector<std::string> openedMimeTypes();

/// The text of "kursolin.desktop".
std::string desktopEntry();

}  // namespace kursolin::cli
