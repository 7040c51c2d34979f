#pragma once
// "Zuletzt geöffnet": the files the window opened last, with the input format each was read as,
// kept in a section of the settings file of its own. Only the window keeps the list; the batch
// converter neither reads nor writes it.

#include <cstddef>
#include <string>
#include <vector>

#include "settings/profile.h"

namespace kursolin {

/// Files the list holds at most.
inline constexpr std::size_t kRecentFilesMax = 8;
/// The list's section of the settings file: "Datei1" .. "Datei8" (the paths, quoted) and
/// "Format1" .. "Format8" (the input format codes).
inline constexpr char kRecentFilesSection[] = "Zuletzt";

/// A file opened, and the input format it was read as.
struct RecentFile {
  std::string path;  // cp1252, absolute
  int format = 0;
};

class RecentFiles {
 public:
  /// The files, newest first.
  const std::vector<RecentFile>& entries() const { return entries_; }
  bool empty() const { return entries_.empty(); }

  /// Puts the file at the top; an entry of the same path moves there, the oldest beyond the
  /// limit goes.
  void add(const std::string& path, int format);
  /// Removes the entry of the path; false when there was none.
  bool remove(const std::string& path);
  void clear() { entries_.clear(); }

  /// Takes the list from the profile's section (entries without a path or a format are passed
  /// over, duplicates and entries beyond the limit too).
  void read(const Profile& p);
  /// Writes the list into the profile's section; the keys of entries no longer there are emptied.
  void write(Profile& p) const;

 private:
  std::vector<RecentFile> entries_;
};

}  // namespace kursolin
