#pragma once
// The folder a file dialog starts in.

#include <string>

#include "session/session.h"

namespace kursolin {

/// The folder a save dialog starts in: lastUsed when it is an existing folder other than the
/// program's own (where nobody keeps routes), else the loaded file's folder, else lastUsed.
std::string initialFolder(const Session& s, const std::string& lastUsed);

}  // namespace kursolin
