#include "formats/part_files.h"

#include "core/cp1252.h"
#include "core/fileio.h"
#include "core/split_plan.h"
#include "session/prompt.h"

namespace kursolin {

bool splitPlanUsable(Session& s) {
  if (splitPlanNameable(s.doc.split.SplitFiles)) return true;
  singleButtonMessage(s, PromptKind::Information, PromptButtons::Abort,
                      splitTooManyFilesText(s.doc.split));
  return false;
}

std::string PartFileWriter::writtenText() const {
  if (written_.empty()) return "Es wurde keine Datei geschrieben.";
  if (written_.size() == 1) {
    return "Die Datei " + written_[0] + " wurde geschrieben und bleibt erhalten.";
  }
  std::string names;
  for (const auto& w : written_) names += (names.empty() ? "" : ", ") + w;
  return "Die Dateien " + names + " wurden geschrieben und bleiben erhalten.";
}

std::string PartFileWriter::notWrittenText(int i, const std::string& path) const {
  if (files_ <= 1) return "Die Datei " + path + " wurde nicht geschrieben.";
  if (i >= files_) {
    return "Die Teildatei " + std::to_string(i) + " von " + std::to_string(files_) + " (" + path +
           ") wurde nicht geschrieben.";
  }
  return "Die Teildatei " + std::to_string(i) + " von " + std::to_string(files_) + " (" + path +
         ") und die folgenden wurden nicht geschrieben."_cp;
}

bool PartFileWriter::write(int i, const std::string& path, const std::vector<std::string>& lines) {
  std::string why;
  if (writeFileAtomic(path, joinLinesCrLf(lines), &why)) {
    written_.push_back(path);
    return true;
  }
  stop(i, path, "Die Datei " + path + " kann nicht geschrieben werden: " + why);
  return false;
}

void PartFileWriter::stop(int i, const std::string& path, const std::string& reason) {
  s_.port().prompt(PromptKind::Error, PromptButtons::Ok,
                   reason + kCR + notWrittenText(i, path) + kCR + writtenText());
}

void PartFileWriter::remember(const std::string& chosen) {
  if (written_.empty() || folderOf(chosen).empty()) return;
  s_.opt.SaveDir = folderOf(chosen);
  s_.port().stateChanged();
}

}  // namespace kursolin
