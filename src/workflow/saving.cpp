#include "workflow/saving.h"

#include <algorithm>

#include "core/cp1252.h"
#include "core/fileio.h"
#include "dialogs/folders.h"
#include "dialogs/split_dialog.h"
#include "formats/registry.h"
#include "session/panes.h"
#include "session/prompt.h"
#include "workflow/presentation.h"

namespace kursolin {

std::string formatNotSavableText(const std::string& formatCaption) {
  return "Das Format \""_cp + formatCaption +
         "\" kann in dieser Version von Kursolin noch nicht gespeichert werden."_cp;
}

std::string writeFailureText(const std::string& path, const std::string& why) {
  return "Die Datei " + path + " kann nicht geschrieben werden: " + why + kCR +
         "Die Route wurde nicht gespeichert; eine vorhandene Datei dieses Namens ist unverändert."_cp;
}

namespace {

std::string splitNotAvailableText(const std::string& formatCaption) {
  return "Das Aufteilen in mehrere Dateien ist für das Format \""_cp + formatCaption +
         "\" in dieser Version von Kursolin noch nicht möglich."_cp;
}

std::string partFailureText(int k, int files, const std::string& path, const std::string& why) {
  std::string done;
  if (k == 1) {
    done = "Es wurde keine Datei geschrieben.";
  } else if (k == 2) {
    done = "Die Teildatei 1 wurde geschrieben und bleibt erhalten; die übrigen wurden nicht "
           "erstellt."_cp;
  } else {
    done = "Die Teildateien 1 bis " + std::to_string(k - 1) +
           " wurden geschrieben und bleiben erhalten; die übrigen wurden nicht erstellt."_cp;
  }
  return "Die Teildatei " + std::to_string(k) + " von " + std::to_string(files) + " (" + path +
         ") kann nicht geschrieben werden: " + why + kCR + done;
}

// The menu caption of the chosen output format ("" for a code without a row).
std::string captionOf(const Session& s) {
  const OutputPresentation* p = chosenOutputPresentation(s);
  return p ? p->caption : std::string();
}

void refuse(Session& s, const std::string& text) {
  singleButtonMessage(s, PromptKind::Information, PromptButtons::Abort, text);
}

// Name of a file without folder and extension.
std::string bareName(const std::string& path) {
  std::string name = nameOf(path);
  const auto dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

// The plan must cover every line exactly once; a plan left from an earlier route is renewed.
void ensurePlan(Session& s) {
  const long long planned =
      static_cast<long long>(std::max(s.doc.split.SplitSize, 0)) * s.doc.split.SplitFiles +
      (s.doc.split.SplitRestFile ? s.doc.split.SplitRest : 0);
  if (s.doc.split.SplitSize < 1 || planned != splitPointCount(s))
    planSplit(s, s.doc.split.SplitSize);
}

// Writes the parts; `written` counts the files written before a failure.
bool writeParts(Session& s, const std::string& chosen, LinesPass finish, int& written) {
  written = 0;
  const int files = s.doc.split.fileCount();
  // Formats with a header and footer split their point lines; the finishing pass frames each part.
  const OutputFormatInfo* f = chosenOutputFormat(s);
  std::vector<std::string> points;
  if (f && f->pointLine) {
    for (const auto& l : s.doc.OutputLines.lines())
      if (f->pointLine(l)) points.push_back(l);
  }
  const auto& lines = f && f->pointLine ? points : s.doc.OutputLines.lines();
  std::size_t next = 0;
  for (int i = 1; i <= files; ++i) {
    const std::size_t size = static_cast<std::size_t>(
        i <= s.doc.split.SplitFiles ? s.doc.split.SplitSize : s.doc.split.SplitRest);
    const std::size_t from = std::min(next, lines.size());
    const std::size_t to = std::min(next + size, lines.size());
    next += size;
    TextLines part;
    part.assign(std::vector<std::string>(lines.begin() + from, lines.begin() + to));
    if (finish) finish(s, part);
    const std::string name = partFileName(chosen, i, s.doc.split.SplitFiles);
    std::string why;
    if (!writeFileAtomic(name, routeFileBytes(s, part.lines()), &why)) {
      s.port().prompt(PromptKind::Error, PromptButtons::Ok, partFailureText(i, files, name, why));
      return false;
    }
    ++written;
  }
  return true;
}

// Every file of a save was written: the route in the pane counts as saved, and the status line
// says where it went.
void routeSaved(Session& s, const std::string& chosen, int files) {
  s.doc.savedOutputRevision = s.doc.OutputLines.revision();
  s.setStatusText(savedStatusText(chosen, files));
}

}  // namespace

SplitDialog splitDialogFor(Session& s) {
  const OutputPresentation* p = chosenOutputPresentation(s);
  return SplitDialog(s,
                     p ? SplitDialogTexts{p->splitCaption, p->splitInfoTail} : SplitDialogTexts{});
}

namespace {

bool runSplitDialog(Session& s, SplitDialogView& dialog) {
  dialog.FormActivate();
  const bool ok = s.port().showSplitDialog(dialog);
  dialog.close();
  return ok;
}

// Writes the files of a split (or, for formats that write their files themselves, of every)
// save after the save dialog; false when cancelled or not every file was written.
bool saveFiles(Session& s, const OutputFormatInfo& f) {
  if (!f.writeFiles) return SaveToSplit(s);
  ensurePlan(s);
  const auto chosen = s.port().saveFile(saveDialogRequest(s));
  if (!chosen) return false;
  if (!f.writeFiles(s, *chosen)) return false;
  routeSaved(s, *chosen, s.doc.split.fileCount());
  // A format with a folder of its own starts there next time.
  if (f.saveDir && !folderOf(*chosen).empty()) s.opt.set(*f.saveDir, folderOf(*chosen));
  return true;
}

// Formats whose split dialog carries the route settings of every save (the Tourenplaner form).
void saveWithRouteSettings(Session& s, const OutputFormatInfo& f) {
  if (f.saveBase) s.opt.set(*f.saveBase, bareName(s.doc.InputFileName));
  SplitDialog dialog = splitDialogFor(s);
  if (!runSplitDialog(s, dialog)) return;
  if (f.routeTitle) s.opt.set(*f.routeTitle, dialog.ROUTENAME_E);
  if (f.titleNamesFile && f.saveBase && s.opt.get(*f.titleNamesFile))
    s.opt.set(*f.saveBase, dialog.ROUTENAME_E);
  saveFiles(s, f);
}

void plainSave(Session& s) {
  const auto chosen = s.port().saveFile(saveDialogRequest(s));
  if (!chosen) return;
  if (!writeRouteFile(s, *chosen, s.doc.OutputLines)) return;
  routeSaved(s, *chosen, 1);
  s.doc.SaveBaseName = *chosen;
  if (!folderOf(*chosen).empty()) s.opt.SaveDir = folderOf(*chosen);
  s.port().stateChanged();
}

}  // namespace

std::string savedStatusText(const std::string& path, int files) {
  return "Gespeichert: " + path + " (" + std::to_string(files) +
         (files == 1 ? " Datei)" : " Dateien)");
}

std::string proposedSaveName(const Session& s) {
  const OutputFormatInfo* f = chosenOutputFormat(s);
  if (!f) return s.doc.SaveBaseName;
  if (f->saveBase) return s.opt.get(*f->saveBase) + f->saveExt;
  if (!f->saveFixedName.empty()) return f->saveFixedName + f->saveExt;
  // Nothing loaded yet: propose no name rather than a bare ".rte".
  if (nameOf(s.doc.SaveBaseName).empty()) return "";
  return withExtension(s.doc.SaveBaseName, f->saveExt);
}

FileDialogRequest saveDialogRequest(const Session& s) {
  FileDialogRequest req;
  if (const OutputPresentation* f = chosenOutputPresentation(s)) {
    req.title = f->saveTitle;
    req.filter = f->saveFilter;
    req.defaultExt = f->defaultExt;
  }
  req.fileName = proposedSaveName(s);
  const OutputFormatInfo* f = chosenOutputFormat(s);
  req.initialDir = initialFolder(s, f && f->saveDir ? s.opt.get(*f->saveDir) : s.opt.SaveDir);
  return req;
}

std::string routeFileBytes(const Session& s, const std::vector<std::string>& lines) {
  const OutputFormatInfo* f = chosenOutputFormat(s);
  if (!f || !f->fileBytes) return joinLinesCrLf(lines);
  TextLines finished;
  finished.assign(lines);
  return f->fileBytes(finished);
}

std::string routeFileBytes(const Session& s, const TextLines& lines) {
  const OutputFormatInfo* f = chosenOutputFormat(s);
  if (!f || !f->fileBytes) return lines.text();
  return f->fileBytes(lines);
}

bool writeRouteFile(Session& s, const std::string& path, const TextLines& lines) {
  std::string why;
  if (writeFileAtomic(path, routeFileBytes(s, lines), &why)) return true;
  s.port().prompt(PromptKind::Error, PromptButtons::Ok, writeFailureText(path, why));
  return false;
}

bool writeRouteFile(Session& s, const std::string& path, const std::vector<std::string>& lines) {
  std::string why;
  if (writeFileAtomic(path, routeFileBytes(s, lines), &why)) return true;
  s.port().prompt(PromptKind::Error, PromptButtons::Ok, writeFailureText(path, why));
  return false;
}

bool writeSplitParts(Session& s, const std::string& chosen, LinesPass finish) {
  ensurePlan(s);
  if (!splitPlanNameable(s.doc.split.SplitFiles)) {
    refuse(s, splitTooManyFilesText(s.doc.split));
    return false;
  }
  int written = 0;
  return writeParts(s, chosen, finish, written);
}

bool writeSplitParts(Session& s, const std::string& chosen) {
  const OutputFormatInfo* f = chosenOutputFormat(s);
  if (!f || !f->available()) {
    refuse(s, formatNotSavableText(captionOf(s)));
    return false;
  }
  if (!f->splittable()) {
    refuse(s, splitNotAvailableText(captionOf(s)));
    return false;
  }
  if (f->writeFiles) {
    ensurePlan(s);
    if (!splitPlanNameable(s.doc.split.SplitFiles)) {
      refuse(s, splitTooManyFilesText(s.doc.split));
      return false;
    }
    return f->writeFiles(s, chosen);
  }
  return writeSplitParts(s, chosen, f->finish);
}

bool SaveToSplit(Session& s) {
  ensurePlan(s);
  if (!splitPlanNameable(s.doc.split.SplitFiles)) {
    refuse(s, splitTooManyFilesText(s.doc.split));
    return false;
  }
  const auto chosen = s.port().saveFile(saveDialogRequest(s));
  if (!chosen) return false;
  const OutputFormatInfo* f = chosenOutputFormat(s);
  int written = 0;
  const bool ok = writeParts(s, *chosen, f ? f->finish : nullptr, written);
  if (ok) routeSaved(s, *chosen, written);
  if (written > 0 && !folderOf(*chosen).empty()) {
    s.opt.SaveDir = folderOf(*chosen);
    s.port().stateChanged();
  }
  return ok;
}

void SaveNaviExecute(Session& s) {
  // The command is off without a route; an empty file is never written in its name.
  if (!paneSortsAfter(s.doc.OutputLines, '\x1F')) return;
  const OutputFormatInfo* f = chosenOutputFormat(s);
  if (!f) {
    refuse(
        s,
        "Es ist kein Ausgabeformat gewählt; die Routendaten können nicht gespeichert werden."_cp);
    return;
  }
  // A format without its writer has no lines of its own to save.
  if (!f->available()) {
    refuse(s, formatNotSavableText(captionOf(s)));
    return;
  }
  if (f->alwaysSplitDialog) {
    saveWithRouteSettings(s, *f);
    return;
  }
  const int maximum = splitMaximum(s);
  if (f->splittable() && maximum > 0 && splitPointCount(s) > maximum) {
    SplitDialog dialog = splitDialogFor(s);
    if (runSplitDialog(s, dialog)) saveFiles(s, *f);
    return;
  }
  plainSave(s);
}

void updateSaveAvailability(Session& s) { NaviChange(s); }

}  // namespace kursolin
