#pragma once
// Whole-file reads and safe writes.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kursolin {

/// A file that should be read cannot be opened; what() is the message for the user.
class FileOpenError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// The bytes of a file, or nullopt (with a reason in *error) when it cannot be read.
std::optional<std::string> readFileBytes(const std::string& path, std::string* error = nullptr);

/// At most the first n bytes of a file ("" when it cannot be read).
std::string fileHead(const std::string& path, std::size_t n);

/// Writes the bytes to a temporary file beside the target and renames it into place, so the
/// target is either the old file or the whole new one. false with a reason on failure.
bool writeFileAtomic(const std::string& path, const std::string& bytes,
                     std::string* error = nullptr);

/// Copies the whole source over the target (replaced, never left half-written); false when the
/// target cannot be written. A source that cannot be opened throws FileOpenError.
bool FileCopy(const std::string& source, const std::string& target);

/// true when path names an existing regular file (or a link to one).
bool fileExists(const std::string& path);

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

/// The folder part of a path, ending in '/', or "" for a bare name.
std::string folderOf(const std::string& path);
/// The name part of a path.
std::string nameOf(const std::string& path);

}  // namespace kursolin
