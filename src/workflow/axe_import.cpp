#include "workflow/axe_import.h"

#include <cstdlib>
#include <optional>
#include <string>

#include "core/cp1252.h"
#include "core/fileio.h"
#include "core/geotime.h"
#include "session/panes.h"
#include "session/prompt.h"
#include "workflow/loading.h"

namespace kursolin {

namespace {

const std::string kLabel = "Autoroute Express Routendatei";

std::string startFailureText() {
  return "Fehler bei der Ausführung des externen Programms"_cp;
}

// Where the converter's input and output live for one run: AppDir, or a private folder of our
// own when AppDir cannot be written (an installed program).
struct WorkFiles {
  std::string folder;
  bool privateFolder = false;

  std::string input() const { return folder + kAxeCopy; }
  std::string output() const { return folder + kAxeOutput; }
  // Ends the run; the copy stays in AppDir only when asked, a private folder never stays.
  void finish(bool keepInput) const {
    if (privateFolder) {
      removeFolder(folder);
      return;
    }
    if (!keepInput) removeFile(input());
    removeFile(output());
  }
};

void abortBox(Session& s, const std::string& text) {
  singleButtonMessage(s, PromptKind::Error, PromptButtons::Abort, text);
}

// Copies the chosen file for the converter. Only what this run writes may be loaded, so an
// output left by an earlier run goes before the converter starts. Throws FileOpenError for a
// chosen file that cannot be opened.
std::optional<WorkFiles> prepare(Session& s, const std::string& chosen) {
  const WorkFiles app{s.AppDir, false};
  if (FileCopy(chosen, app.input())) {
    if (removeFile(app.output())) return app;
    removeFile(app.input());
  }
  std::string why;
  const auto folder = makePrivateFolder(&why);
  if (folder) {
    const WorkFiles own{*folder, true};
    if (FileCopy(chosen, own.input())) return own;
    why = "";
    removeFolder(*folder);
  }
  abortBox(
      s, "Datei " + app.input() + " kann nicht erstellt werden" + (why.empty() ? "" : ": ") + why);
  return std::nullopt;
}

// The output of a finished run into both panes, or the message why there is none.
void loadOutput(Session& s, const WorkFiles& work) {
  if (!fileExists(work.output())) {
    abortBox(s, "Fehler beim konvertieren der Autoroute Express Routendatei !");
    return;
  }
  std::string why;
  const auto bytes = readFileBytes(work.output(), &why);
  if (!bytes) {
    abortBox(s, "Die Datei " + work.output() + " kann nicht gelesen werden: " + why);
    return;
  }
  s.doc.InputLines.setText(*bytes);
  // The lines can be saved as they are or read by the chosen input format's reader.
  s.doc.OutputLines.assign(s.doc.InputLines.lines());
  // A converted file, not a route made here: nothing in the panes counts as unsaved work.
  markInputLoaded(s);
  s.doc.savedOutputRevision = s.doc.OutputLines.revision();
  s.shell.item("NMEADaten").enabled = true;
  s.shell.item("Route").enabled = true;
  s.setInputCaption(kLabel + " - Zeilen = " + std::to_string(s.doc.InputLines.Count()));
}

// The converter itself, or wine for a Windows program; nullopt when that needs wine and there is
// none on the search path.
std::optional<ProcessRequest> converterRequest(const std::string& converter,
                                               const std::string& input, const std::string& output,
                                               const std::string& workingDir,
                                               const std::string& searchPath) {
  ProcessRequest r;
  r.workingDir = workingDir;
  r.waitText = kLabel + " wird konvertiert ...";
  if (fileHead(converter, 2) == "MZ") {
    // A Windows program runs here only through wine, which takes the program as its argument.
    const auto wine = findOnPath("wine", searchPath);
    if (!wine) return std::nullopt;
    r.program = *wine;
    r.arguments = {converter, input, output};
  } else {
    r.program = converter;
    r.arguments = {input, output};
  }
  return r;
}

std::string searchPath() {
  const char* path = std::getenv("PATH");
  return path ? path : "";
}

std::string wineMissingText(const std::string& converter) {
  return startFailureText() + kCR + converter +
         " ist ein Windows-Programm; zum Ausführen wird wine benötigt, das nicht "
         "installiert ist."_cp;
}

}  // namespace

std::optional<std::string> axeImportObstacle(const Session& s) {
  const std::string converter = s.AppDir + kAxeConverter;
  if (!fileExists(converter)) {
    return "Externes Programm nicht gefunden" + std::string(1, kCR) + "Erwartet wird: " + converter;
  }
  if (!converterRequest(converter, kAxeCopy, kAxeOutput, s.AppDir, searchPath())) {
    return wineMissingText(converter);
  }
  return std::nullopt;
}

void updateAxeImportAvailability(Session& s) {
  const bool on = !axeImportObstacle(s).has_value();
  if (s.shell.item("AxeImport").enabled == on) return;
  s.shell.item("AxeImport").enabled = on;
  s.port().stateChanged();
}

void FlatSpeedButton3Click(Session& s) {
  // Before the dialog: a file chosen for nothing, or panes emptied for nothing, help nobody.
  if (const auto obstacle = axeImportObstacle(s)) {
    abortBox(s, *obstacle);
    updateAxeImportAvailability(s);
    return;
  }
  if (!mayDiscardWork(s)) return;
  FileDialogRequest req;
  req.title = kLabel + " laden";
  req.filter = kLabel + "(*.axe)|*.axe";
  req.defaultExt = "axe";
  // Nothing loaded yet: propose no name rather than a bare ".axe".
  req.fileName =
      nameOf(s.doc.SaveBaseName).empty() ? "" : withExtension(s.doc.SaveBaseName, ".axe");
  req.initialDir = s.opt.OpenDir;
  const auto chosen = s.port().openFile(req);
  if (!chosen) return;

  // Emptied panes offer no route and nothing to save until the converter's lines arrive.
  clearPanes(s);
  s.doc.InputFileName = *chosen;
  s.doc.SaveBaseName = nameOf(*chosen);
  s.opt.OpenDir = folderOf(*chosen);
  s.doc.InputFileTime = fileModificationTime(*chosen);

  std::optional<WorkFiles> work;
  try {
    work = prepare(s, *chosen);
  } catch (const FileOpenError& e) {
    s.port().prompt(PromptKind::Error, PromptButtons::Ok, e.what());
    return;
  }
  if (!work) return;
  s.setInputCaption(kLabel + " Fehler!");
  s.port().stateChanged();

  // Checked again: the converter may have gone while the dialog was open.
  const std::string converter = s.AppDir + kAxeConverter;
  if (const auto obstacle = axeImportObstacle(s)) {
    abortBox(s, *obstacle);
    work->finish(true);
    updateAxeImportAvailability(s);
    return;
  }
  const auto request =
      converterRequest(converter, work->input(), work->output(), s.AppDir, searchPath());
  if (!request) {
    abortBox(s, wineMissingText(converter));
    work->finish(true);
    return;
  }
  const ProcessOutcome run = s.port().runProcess(*request);
  switch (run.end) {
    case ProcessEnd::NotStarted:
      abortBox(s, startFailureText());
      work->finish(true);
      return;
    case ProcessEnd::Cancelled:
      // The converter was ended: whatever it wrote is incomplete, and nothing is loaded.
      work->finish(false);
      s.port().stateChanged();
      return;
    case ProcessEnd::Crashed:
      // Killed half-way, its output may lack lines: no output is better than a wrong one.
      removeFile(work->output());
      break;
    case ProcessEnd::Finished:
      // The exit code carries no agreed meaning; what the converter wrote decides.
      break;
  }
  loadOutput(s, *work);
  work->finish(false);
  NaviChange(s);
  s.setStatusText(kLabel + " = " + s.doc.InputFileName);
  s.port().stateChanged();
}

}  // namespace kursolin
