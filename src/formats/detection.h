#pragma once
// Format detection ("Automatisch erkennen"): the content tests of the registry's input rows in
// their fixed order, and the file's extension where more than one accepts the file.

#include <cstddef>
#include <string>
#include <vector>

#include "formats/format.h"
#include "session/session.h"

namespace kursolin {

/// How many bytes of the beginning of a file the content tests see as its bytes.
inline constexpr std::size_t kDetectionHeadBytes = 64 * 1024;

/// The lower-case extension of a path without its dot ("" for none).
std::string fileExtension(const std::string& path);

/// The input formats whose content test accepts the file, in detection order.
std::vector<const InputFormatInfo*> formatsAccepting(const Session& s, const FileSample& file);

/// The format of a file: of the formats that accept its content, the first in detection order
/// that names the file's extension, else the first; nullptr when none accepts it.
const InputFormatInfo* detectInputFormat(const Session& s, const FileSample& file);

}  // namespace kursolin
