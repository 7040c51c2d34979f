#include "workflow/loading.h"

#include "core/cp1252.h"
#include "core/fileio.h"
#include "core/geotime.h"
#include "formats/detection.h"
#include "formats/registry.h"
#include "session/panes.h"
#include "session/progress.h"
#include "session/prompt.h"
#include "workflow/presentation.h"
#include "workflow/rule_groups.h"

namespace kursolin {

std::string formatNotAvailableText(const std::string& formatName) {
  return "Das Format "_cp + '"' + formatName + '"' +
         " kann in dieser Version von Kursolin noch nicht eingelesen werden."_cp;
}

namespace {

// How a format presents itself; a row without a presentation shows nothing.
const InputPresentation& shown(int code) {
  static const InputPresentation none;
  const InputPresentation* p = inputPresentation(code);
  return p ? *p : none;
}

void applyCode(Session& s, const InputFormatInfo& f) {
  setAllRuleGroups(s.shell, false);
  s.doc.InputLabel = inputLabelFor(s, f.code);
  s.doc.InputShortName = shown(f.code).shortName;
  s.doc.ReadVtg = f.pairsRecords;
  s.opt.InputFormat = f.code;
  s.opt.InputAutoDetect = false;
}

// "Automatisch erkennen": the format stays as it is until a file is loaded.
void applyAutoDetect(Session& s, const InputFormatInfo& detect) {
  setAllRuleGroups(s.shell, false);
  s.doc.InputLabel = shown(detect.code).label;
  s.opt.InputAutoDetect = true;
}

// The format found for a file becomes the one its records are read with; the menu keeps
// "Automatisch erkennen". Another format than before starts with its rule groups off, as a
// choice in the menu does.
void useFoundFormat(Session& s, const InputFormatInfo& f) {
  if (f.code != s.opt.InputFormat) setAllRuleGroups(s.shell, false);
  s.doc.InputLabel = inputLabelFor(s, f.code);
  s.doc.InputShortName = shown(f.code).shortName;
  s.doc.ReadVtg = f.pairsRecords;
  s.opt.InputFormat = f.code;
}

std::string successCaption(const Session& s, const InputFormatInfo& f) {
  const int count = s.doc.InputLines.Count();
  switch (shown(f.code).countKind) {
    case CountKind::Lines:
      return s.doc.InputLabel + " - Zeilen = " + std::to_string(count);
    case CountKind::Pairs:
      return s.doc.InputLabel + " := " + std::to_string(count / 2);
    case CountKind::Stations:
      return s.doc.InputLabel + " - Stationen = " + std::to_string(count);
    case CountKind::Plain:
      return s.doc.InputLabel + " = " + std::to_string(count);
    case CountKind::Points:
      return s.doc.InputLabel + " - Punkte = " + std::to_string(count);
  }
  return s.doc.InputLabel;
}

// The lines could not be had: nothing can be made of the input.
bool unreadable(Session& s, const std::string& message) {
  s.port().prompt(PromptKind::Error, PromptButtons::Ok, message);
  s.shell.item("Route").enabled = false;
  s.port().stateChanged();
  return false;
}

// The status line's text before the path. A row whose prefix names no kind of file (only
// " = ") is led by the format's label, so the line never starts with a bare "=".
std::string statusPrefixFor(const Session& s, const InputFormatInfo& f) {
  const std::string& prefix = shown(f.code).statusPrefix;
  if (prefix.find_first_not_of(" =") != std::string::npos) return prefix;
  return inputLabelFor(s, f.code) + prefix;
}

// The check after InputLines were filled for the format f (nullptr: none): the pane, the
// format's check with its captions, message and status; true when usable.
bool checkLoaded(Session& s, const InputFormatInfo* f) {
  s.shell.item("NMEADaten").enabled = true;
  NaviChange(s);
  if (!f || !f->available()) {
    // A stored code without a reader: the lines are shown, nothing can be made of them.
    s.shell.item("Route").enabled = false;
    s.port().stateChanged();
    return false;
  }
  s.setInputCaption(failureCaptionFor(s, f->code));
  const bool usable = f->check(s);
  s.shell.item("Route").enabled = usable;
  if (usable) {
    s.setInputCaption(successCaption(s, *f));
    enableRuleGroups(s.shell, f->groups);
    s.shell.item("AllePunkteCheck").enabled = !f->recordedLog;
  }
  s.port().stateChanged();
  if (!usable) {
    s.port().prompt(PromptKind::Error, PromptButtons::Abort, failureMessageFor(s, f->code));
  }
  if (usable || !shown(f->code).statusOnlyWhenUsable)
    s.setStatusText(statusPrefixFor(s, *f) + s.doc.InputFileName);
  return usable;
}

// The decoded text into InputLines; a day-long log takes a while, shown as lines read.
// The text's buffer becomes the pane's store: a large log is never held twice.
void takeText(Session& s, std::string&& text) {
  ProgressTicker ticker(s.port(), "Zeilen gelesen: ");
  s.doc.InputLines.adoptText(std::move(text), [&ticker](long long lines) { ticker.update(lines); });
}

// The file's text lines into InputLines; `head` (if given) receives its first bytes for the
// content tests. false after the message when the file cannot be read.
bool readTextFile(Session& s, const std::string& path, std::string* head) {
  std::string why;
  std::optional<std::string> bytes;
  {
    ProgressTicker reading(s.port(), "MB gelesen: ");
    bytes = readFileBytes(path, &why, kMaxInputFileBytes, [&reading](std::uint64_t n) {
      reading.update(static_cast<long long>(n >> 20));
    });
  }
  if (!bytes) return unreadable(s, "Die Datei " + path + " kann nicht gelesen werden: " + why);
  if (head) *head = bytes->substr(0, kDetectionHeadBytes);
  // Loggers and Windows tools write UTF-16 or UTF-8 with a mark; the readers expect cp1252.
  takeText(s, decodeTextFile(std::move(*bytes)));
  return true;
}

// Detection as a step of loading, once the file's text is in InputLines: the format found
// becomes the one its records are read with. nullptr after the message listing what was tried
// when no format recognises the file.
const InputFormatInfo* detectLoaded(Session& s, const std::string& name, std::string_view head) {
  const FileSample sample{head, s.doc.InputLines, fileExtension(name)};
  if (const InputFormatInfo* f = detectInputFormat(s, sample)) {
    useFoundFormat(s, *f);
    return f;
  }
  s.shell.item("NMEADaten").enabled = true;
  NaviChange(s);
  s.setInputCaption(failureCaptionFor(s, kAutoInputFormat));
  s.shell.item("Route").enabled = false;
  s.port().stateChanged();
  s.port().prompt(PromptKind::Error, PromptButtons::Abort, notRecognizedText(s, name));
  s.setStatusText("Dateiformat nicht erkannt = " + name);
  return nullptr;
}

// The status line of a file whose format was found: which format, and that it was found.
void detectedStatus(Session& s) {
  s.setStatusText(s.doc.InputLabel + " (automatisch erkannt) = " + s.doc.InputFileName);
}

// A format's own loader (databases, XML) reads the file; false after its message.
bool loadWith(Session& s, const InputFormatInfo& f, const std::string& path) {
  if (f.load(s, path)) return true;
  s.shell.item("Route").enabled = false;
  NMEADatenChange(s);
  return false;
}

// Everything after the file is chosen; the path is known to exist or not. The steps: the file's
// bytes, with "Automatisch erkennen" its format found from them, then the format's load and
// check.
bool readAndCheck(Session& s, const std::string& path) {
  const InputFormatInfo* f = inputFormat(s.opt.InputFormat);
  s.doc.InputFileName = path;
  s.doc.SaveBaseName = nameOf(path);
  s.opt.OpenDir = folderOf(path);
  // The date of the file as loaded: the summer/winter question needs no file access later.
  s.doc.InputFileTime = fileModificationTime(path);
  if (s.opt.InputAutoDetect) {
    std::string head;
    if (!readTextFile(s, path, &head)) return false;
    f = detectLoaded(s, path, head);
    if (!f) return false;
    if (f->load) {
      // The loader makes the lines itself, in place of the file's text.
      s.doc.InputLines.clear();
      if (!loadWith(s, *f, path)) return false;
    }
    const bool usable = checkLoaded(s, f);
    detectedStatus(s);
    return usable;
  }
  if (f && f->load) {
    if (!loadWith(s, *f, path)) return false;
  } else if (!readTextFile(s, path, nullptr)) {
    return false;
  }
  return checkLoaded(s, f);
}

// The open dialog of the current format; the panes are emptied only once a file was chosen.
// false when the dialog was cancelled.
bool loadChosenFile(Session& s) {
  const auto chosen = s.port().openFile(loadDialogRequest(s));
  if (!chosen) return false;
  clearPanes(s);
  readAndCheck(s, *chosen);
  markInputLoaded(s);
  return true;
}

}  // namespace

bool workUnsaved(const Document& doc) {
  const bool routeUnsaved = paneSortsAfter(doc.OutputLines, '\x1F') &&
                            doc.OutputLines.revision() != doc.savedOutputRevision;
  const bool inputEdited = paneSortsAfter(doc.InputLines, '\x1F') &&
                           doc.InputLines.revision() != doc.loadedInputRevision;
  return routeUnsaved || inputEdited;
}

bool mayDiscardWork(Session& s) {
  if (!workUnsaved(s.doc)) return true;
  return s.port().prompt(PromptKind::Confirmation, PromptButtons::YesNo, kDiscardQuestion) ==
         PromptAnswer::Yes;
}

// Both panes and their change handlers, as any change of their text runs them: with nothing in
// them the route, save and reversal commands are off, even when no usable file follows.
void clearPanes(Session& s) {
  s.doc.InputLines.clear();
  s.doc.OutputLines.clear();
  s.doc.savedOutputRevision = s.doc.OutputLines.revision();
  markInputLoaded(s);
  // Nothing of the previous route may stay on show over the emptied pane: not its count, not
  // its table rows, not its points in the picture.
  s.doc.RoutePointCount = 0;
  s.doc.PointTable.rows.clear();
  s.doc.TableRowCount = 1;
  s.doc.emittedPoints.clear();
  s.doc.ruleNotes.clear();
  s.doc.reducedAway.clear();
  s.setOutputCaption(outputCaptionWith(s.shell, 0));
  NMEADatenChange(s);
  NaviChange(s);
}

void markInputLoaded(Session& s) {
  s.doc.loadedInputRevision = s.doc.InputLines.revision();
}

int chosenInputFormat(const Session& s) {
  return s.opt.InputAutoDetect ? kAutoInputFormat : s.opt.InputFormat;
}

void SourceChange(Session& s, int code) {
  const InputFormatInfo* f = inputFormat(code);
  if (!f) return;
  const bool menuEntry = shown(code).menuEntry;
  if (menuEntry && !f->available()) {
    s.port().prompt(PromptKind::Information, PromptButtons::Abort,
                    formatNotAvailableText(inputLabelFor(s, code)));
    return;
  }
  const bool optionsChanged = inputOptionsChanged(s);
  // The choice the file in the panes was loaded for.
  const int previous = chosenInputFormat(s);
  const int newFormat = menuEntry ? code : previous;
  const bool loads = newFormat != previous || optionsChanged;
  // "No" keeps everything, the format included: the choice asks for a file at once.
  if (loads && !mayDiscardWork(s)) return;
  if (menuEntry) {
    if (f->detects) {
      applyAutoDetect(s, *f);
    } else {
      applyCode(s, *f);
    }
  }
  s.setInputCaption(s.doc.InputLabel);
  s.port().stateChanged();
  if (loads) {
    // The new separator counts as seen once the file was loaded again with it.
    if (optionsChanged) markInputOptionsSeen(s);
    if (!loadChosenFile(s) && chosenInputFormat(s) != previous) {
      // The lines kept were checked for the format before: no route from them in this one.
      s.shell.item("Route").enabled = false;
      s.port().stateChanged();
    }
  }
}

FileDialogRequest loadDialogRequest(const Session& s) {
  FileDialogRequest req;
  if (const InputPresentation* f = inputPresentation(chosenInputFormat(s))) {
    req.title = f->dialogTitle;
    req.filter = f->filter;
    req.moreFilters = f->moreFilters;
    req.defaultExt = f->defaultExt;
  }
  req.initialDir = s.opt.OpenDir;
  return req;
}

void LoadNMEAExecute(Session& s) {
  if (!mayDiscardWork(s)) return;
  loadChosenFile(s);
}

bool loadInputFile(Session& s, const std::string& path) {
  clearPanes(s);
  const bool usable = readAndCheck(s, path);
  markInputLoaded(s);
  return usable;
}

bool loadInputFileAs(Session& s, const std::string& path, int code) {
  // "Automatisch erkennen" finds the format again; a chosen format gives way to the file's.
  const InputFormatInfo* f = inputFormat(code);
  if (!s.opt.InputAutoDetect && f && !f->detects && f->available() && code != s.opt.InputFormat) {
    applyCode(s, *f);
    s.setInputCaption(s.doc.InputLabel);
  }
  return loadInputFile(s, path);
}

bool loadInputText(Session& s, const std::string& name, const std::string& bytes) {
  clearPanes(s);
  const InputFormatInfo* f = inputFormat(s.opt.InputFormat);
  s.doc.InputFileName = name;
  s.doc.SaveBaseName = nameOf(name);
  s.doc.InputFileTime.reset();
  const auto refuseLoader = [&](const InputFormatInfo& loader) {
    // Databases and XML files are read by their own loaders, which need a file.
    return unreadable(s, "Das Format "_cp + '"' + inputLabelFor(s, loader.code) + '"' +
                             " kann nicht von der Standardeingabe gelesen werden."_cp);
  };
  if (s.opt.InputAutoDetect) {
    takeText(s, decodeTextFile(bytes));
    f = detectLoaded(s, name, std::string_view(bytes).substr(0, kDetectionHeadBytes));
    if (!f) return false;
    if (f->load) return refuseLoader(*f);
    const bool usable = checkLoaded(s, f);
    detectedStatus(s);
    markInputLoaded(s);
    return usable;
  }
  if (f && f->load) return refuseLoader(*f);
  takeText(s, decodeTextFile(bytes));
  const bool usable = checkLoaded(s, f);
  markInputLoaded(s);
  return usable;
}

void FehlermeldungClick(Session& s) {
  UiItem& item = s.shell.item("Fehlermeldung");
  item.checked = !item.checked;
  s.opt.ShowErrors = item.checked;
  s.port().stateChanged();
}

void In_NaviTextTabClick(Session& s) { SourceChange(s, 7); }

}  // namespace kursolin
