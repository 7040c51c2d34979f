#include "settings/recent_files.h"

#include <algorithm>

namespace kursolin {

namespace {

std::string key(const char* name, std::size_t index) {
  return name + std::to_string(index + 1);
}

}  // namespace

void RecentFiles::add(const std::string& path, int format) {
  if (path.empty()) return;
  remove(path);
  entries_.insert(entries_.begin(), RecentFile{path, format});
  if (entries_.size() > kRecentFilesMax) entries_.resize(kRecentFilesMax);
}

bool RecentFiles::remove(const std::string& path) {
  const auto it = std::find_if(entries_.begin(), entries_.end(),
                               [&](const RecentFile& f) { return f.path == path; });
  if (it == entries_.end()) return false;
  entries_.erase(it);
  return true;
}

void RecentFiles::read(const Profile& p) {
  entries_.clear();
  for (std::size_t i = 0; i < kRecentFilesMax; ++i) {
    const std::string path = p.readString(kRecentFilesSection, key("Datei", i), "");
    const int format = p.readInt(kRecentFilesSection, key("Format", i), 0);
    if (path.empty() || format <= 0) continue;
    const bool seen = std::any_of(entries_.begin(), entries_.end(),
                                  [&](const RecentFile& f) { return f.path == path; });
    if (!seen) entries_.push_back({path, format});
  }
}

void RecentFiles::write(Profile& p) const {
  for (std::size_t i = 0; i < kRecentFilesMax; ++i) {
    if (i < entries_.size()) {
      // Quoted, so blanks at either end of a name survive the reading, which trims them.
      p.writeString(kRecentFilesSection, key("Datei", i), '"' + entries_[i].path + '"');
      p.writeInt(kRecentFilesSection, key("Format", i), entries_[i].format);
    } else if (p.find(kRecentFilesSection, key("Datei", i))) {
      p.writeString(kRecentFilesSection, key("Datei", i), "");
      p.writeString(kRecentFilesSection, key("Format", i), "");
    }
  }
}

}  // namespace kursolin
