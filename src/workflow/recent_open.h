#pragma once
// Opening a file of "Zuletzt geöffnet" and keeping the list in step with the files loaded.

#include <cstddef>
#include <string>

#include "session/session.h"
#include "settings/recent_files.h"

namespace kursolin {

/// The menu text of an entry: "1 name.ext (Format)", numbered from 1.
std::string recentFileCaption(const Session& s, std::size_t index, const RecentFile& f);

/// The message for an entry whose file is gone.
std::string recentFileMissingText(const std::string& path);

/// Opens the entry's file with its input format as "Datei laden" does (asking first when unsaved
/// work would go); a file that no longer exists is removed from the list with a message. true
/// when the file was loaded and passed its format's check.
bool openRecentFile(Session& s, RecentFiles& list, std::size_t index);

/// Puts the file loaded last at the top of the list, with the format it was read as, once it
/// was usable.
void noteLoadedFile(const Session& s, RecentFiles& list);

}  // namespace kursolin
