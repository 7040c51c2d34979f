#include "cli/desktop_entry.h"

#include <algorithm>

#include "formats/registry.h"
#include "workflow/presentation.h"

namespace kursolin::cli {

std::vector<std::string> openedMimeTypes() {
  std::vector<std::string> types;
  for (const InputPresentation& p : inputPresentations()) {
    if (!inputFormatAvailable(p.code)) continue;
    for (const std::string& t : p.mimeTypes) {
      if (std::find(types.begin(), types.end(), t) == types.end()) types.push_back(t);
    }
  }
  return types;
}

std::string desktopEntry() {
  std::string mime;
  for (const std::string& t : openedMimeTypes()) mime += t + ";";
  // The program opens one file at a time (%f); without one it starts empty.
  std::string e =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Version=1.4\n"
      "Name=Kursolin\n"
      "GenericName=Routendaten-Konverter\n"
      "Comment=GPS-Aufzeichnungen und Routendateien in Routen für Navigationsgeräte umwandeln\n"
      "Keywords=GPS;Route;Track;Navigation;Konverter;\n"
      "TryExec=kursolin\n"
      "Exec=kursolin %f\n"
      "Icon=kursolin\n"
      "Terminal=false\n"
      "StartupNotify=true\n"
      "Categories=Utility;Maps;\n";
  if (!mime.empty()) e += "MimeType=" + mime + "\n";
  return e;
}

}  // namespace kursolin::cli
