#include "dialogs/folders.h"

#include "core/fileio.h"

namespace kursolin {

namespace {

std::string withoutTrailingSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

std::string initialFolder(const Session& s, const std::string& lastUsed) {
  const bool programFolder = withoutTrailingSlash(lastUsed) == withoutTrailingSlash(s.AppDir);
  if (!programFolder && folderExists(lastUsed)) return lastUsed;
  const std::string input = folderOf(s.doc.InputFileName);
  if (folderExists(input)) return input;
  return lastUsed;
}

}  // namespace kursolin
