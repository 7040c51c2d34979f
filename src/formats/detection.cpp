#include "formats/detection.h"

#include <algorithm>
#include <cctype>

#include "core/fileio.h"
#include "formats/registry.h"

namespace kursolin {

std::string fileExtension(const std::string& path) {
  const std::string name = nameOf(path);
  const auto dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return {};
  std::string ext = name.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

std::vector<const InputFormatInfo*> formatsAccepting(const Session& s, const FileSample& file) {
  std::vector<const InputFormatInfo*> found;
  for (int code : detectionOrder()) {
    const InputFormatInfo* f = inputFormat(code);
    if (f && f->available() && f->recognize && f->recognize(s, file)) found.push_back(f);
  }
  return found;
}

const InputFormatInfo* detectInputFormat(const Session& s, const FileSample& file) {
  const std::vector<const InputFormatInfo*> found = formatsAccepting(s, file);
  if (found.empty()) return nullptr;
  for (const InputFormatInfo* f : found) {
    if (std::find(f->extensions.begin(), f->extensions.end(), file.extension) !=
        f->extensions.end())
      return f;
  }
  return found.front();
}

}  // namespace kursolin
