#pragma once
// Whole-file reads and safe writes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kursolin {

/// The most an input file may hold; more is refused before anything is read.
inline constexpr std::uint64_t kMaxInputFileBytes = 2ULL << 30;

/// A German text for a system error number, for messages that name a file.
std::string systemErrorText(int err);

/// The bytes of a file, or nullopt (with a German reason in *error) when it cannot be read:
/// missing, a folder, not readable, or larger than maxBytes.
std::optional<std::string> readFileBytes(const std::string& path, std::string* error = nullptr,
                                         std::uint64_t maxBytes = kMaxInputFileBytes);

/// Writes the bytes to the file the path names (following links). A regular or new file gets a
/// temporary file beside it that is renamed into place, so the target is either the old file or
/// the whole new one, with the old file's owner and mode; a device or pipe is written directly.
/// false with a German reason on failure; no temporary file is left behind.
bool writeFileAtomic(const std::string& path, const std::string& bytes,
                     std::string* error = nullptr);

/// The path with its symbolic links followed to the file they finally name (which need not
/// exist); the path itself when it is no link. nullopt for a loop of links.
std::optional<std::string> followLinks(const std::string& nativePath);

/// A short unused-looking name in the folder of the target, for a temporary file that is later
/// renamed over it; short so that a target name near the length limit still has one.
std::string temporaryNameBeside(const std::string& nativeTarget);

/// The lines joined, each followed by CR LF.
std::string joinLinesCrLf(const std::vector<std::string>& lines);

/// The folder part of a path, ending in '/', or "" for a bare name.
std::string folderOf(const std::string& path);
/// The name part of a path.
std::string nameOf(const std::string& path);

}  // namespace kursolin
