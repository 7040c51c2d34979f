#include "workflow/recent_open.h"

#include "core/cp1252.h"
#include "core/fileio.h"
#include "session/prompt.h"
#include "workflow/loading.h"
#include "workflow/presentation.h"

namespace kursolin {

std::string recentFileCaption(const Session& s, std::size_t index, const RecentFile& f) {
  std::string label = inputLabelFor(s, f.format);
  while (!label.empty() && label.back() == ' ') label.pop_back();
  return std::to_string(index + 1) + ' ' + nameOf(f.path) + " (" + label + ')';
}

std::string recentFileMissingText(const std::string& path) {
  return "Die Datei " + path + " wurde nicht gefunden und wird aus der Liste entfernt.";
}

bool openRecentFile(Session& s, RecentFiles& list, std::size_t index) {
  if (index >= list.entries().size()) return false;
  const RecentFile f = list.entries()[index];
  if (!fileExists(f.path)) {
    list.remove(f.path);
    singleButtonMessage(s, PromptKind::Information, PromptButtons::Ok,
                        recentFileMissingText(f.path));
    return false;
  }
  if (!mayDiscardWork(s)) return false;
  return loadInputFileAs(s, f.path, f.format);
}

void noteLoadedFile(const Session& s, RecentFiles& list) {
  // A file that failed its format's check offers no route; it is not worth opening again.
  if (!s.shell.items.count("Route") || !s.shell.items.at("Route").enabled) return;
  const std::string& path = s.doc.InputFileName;
  if (path.empty() || path.front() != '/' || !fileExists(path)) return;
  list.add(path, s.opt.InputFormat);
}

}  // namespace kursolin
