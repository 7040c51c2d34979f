#pragma once
// Whole-file reads and safe writes.

#include <optional>
#include <string>
#include <vector>

namespace kursolin {

/// The bytes of a file, or nullopt (with a reason in *error) when it cannot be read.
std::optional<std::string> readFileBytes(const std::string& path, std::string* error = nullptr);

/// Writes the bytes to a temporary file beside the target and renames it into place, so the
/// target is either the old file or the whole new one. false with a reason on failure.
bool writeFileAtomic(const std::string& path, const std::string& bytes,
                     std::string* error = nullptr);

/// The lines joined, each followed by CR LF.
std::string joinLinesCrLf(const std::vector<std::string>& lines);

/// The folder part of a path, ending in '/', or "" for a bare name.
std::string folderOf(const std::string& path);
/// The name part of a path.
std::string nameOf(const std::string& path);

}  // namespace kursolin
