#pragma once
// Whole-file reads and safe writes.

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kursolin {

/// The most an input file may hold; more is refused before anything is read.
inline constexpr std::uint64_t kMaxInputFileBytes = 2ULL << 30;

/// A German text for a system error number, for messages that name a file.
std::string systemErrorText(int err);

/// The bytes of a file, or nullopt (with a German reason in *error) when it cannot be read:
/// missing, a folder, not readable, or larger than maxBytes. `progress`, when given, hears the
/// bytes read so far after every megabyte.
std::optional<std::string> readFileBytes(
    const std::string& path, std::string* error = nullptr,
    std::uint64_t maxBytes = kMaxInputFileBytes,
    const std::function<void(std::uint64_t)>& progress = {});

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

/// A file that should be read cannot be opened; what() is the message for the user.
class FileOpenError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// At most the first n bytes of a file ("" when it cannot be read).
std::string fileHead(const std::string& path, std::size_t n);

/// Copies the whole source over the target (replaced, never left half-written); false when the
/// target cannot be written. A source that cannot be opened throws FileOpenError.
bool FileCopy(const std::string& source, const std::string& target);

/// true when path names an existing regular file (or a link to one).
bool fileExists(const std::string& path);

/// true when path names an existing folder (or a link to one).
bool folderExists(const std::string& path);

/// Deletes the file; true when no file is left at path (also when there was none).
bool removeFile(const std::string& path);

/// A new folder that only this user can enter, in the system's temporary folder, ending in '/';
/// nullopt (with a reason in *error) when none can be made.
std::optional<std::string> makePrivateFolder(std::string* error = nullptr);

/// Deletes the folder and the files directly in it.
void removeFolder(const std::string& folder);

/// The full path of the first executable file called name in the folders of searchPath (a
/// PATH value, folders separated by ':'), or nullopt.
std::optional<std::string> findOnPath(const std::string& name, const std::string& searchPath);

/// The path with the extension of its name replaced by ext (with its dot), or ext added.
std::string withExtension(const std::string& path, const std::string& ext);

/// The lines joined, each followed by CR LF.
std::string joinLinesCrLf(const std::vector<std::string>& lines);

/// true when files can be created in the folder (it exists and the process may write there).
bool folderWritable(const std::string& folder);

/// Creates the folder and any missing folder above it (new ones only for the owner, as a
/// settings folder should be); false with a reason when it still doesn't exist.
bool makeFolders(const std::string& folder, std::string* error = nullptr);

/// The folder part of a path, ending in '/', or "" for a bare name.
std::string folderOf(const std::string& path);
/// The name part of a path.
std::string nameOf(const std::string& path);

}  // namespace kursolin
