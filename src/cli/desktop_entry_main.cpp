// Writes the desktop entry into the file named by its argument; the build installs that file.
#include <iostream>
#include <string>

#include "cli/desktop_entry.h"
#include "core/cp1252.h"
#include "core/fileio.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "Aufruf: kursolin-desktop-entry DATEI\n";
    return 2;
  }
  std::string why;
  if (!kursolin::writeFileAtomic(kursolin::sessionPath(argv[1]), kursolin::cli::desktopEntry(),
                                 &why)) {
    std::cerr << "kursolin-desktop-entry: " << argv[1] << ": " << why << "\n";
    return 1;
  }
  return 0;
}
