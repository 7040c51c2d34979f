#include "dialogs/split_dialog.h"

#include <algorithm>
#include <cstdio>

#include "core/cp1252.h"
#include "core/fileio.h"
#include "dialogs/folders.h"
#include "formats/registry.h"

namespace kursolin {

namespace {

// The spin box's text as the number it stands for; nullopt-like false when it is no number.
bool parseSpinText(const std::string& text, long long& value) {
  std::size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  if (b == e) return false;
  bool negative = false;
  if (text[b] == '+' || text[b] == '-') {
    negative = text[b] == '-';
    ++b;
  }
  if (b == e) return false;
  long long v = 0;
  for (std::size_t i = b; i < e; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    // A long digit string is still a number, just far outside the range.
    if (v < 1'000'000'000'000LL) v = v * 10 + (text[i] - '0');
  }
  value = negative ? -v : v;
  return true;
}

}  // namespace

SplitDialog::SplitDialog(Session& s, SplitDialogTexts texts) : s_(s), texts_(std::move(texts)) {}

void SplitDialog::FormActivate() {
  const int n = splitMaximum(s_);
  const int count = splitPointCount(s_);
  const bool limited = n > 0;
  const OutputFormatInfo* f = chosenOutputFormat(s_);
  if (f && f->alwaysSplitDialog) {
    ROUTENAME_E = f->saveBase ? s_.opt.get(*f->saveBase) : std::string();
    BCRDir_E = initialFolder(s_, f->saveDir ? s_.opt.get(*f->saveDir) : s_.opt.SaveDir);
    showTourenplaner = true;
    // Without a maximum the BCR file is always one file, so there is nothing to choose.
    showSplitRow = limited && count > n;
  } else {
    showTourenplaner = false;
    showSplitRow = true;
  }
  height = kBaseHeight + (showSplitRow ? splitRowHeight : 0) +
           (showTourenplaner ? tourenplanerHeight : 0);

  caption = texts_.caption;
  RpInfoLabel = caption.empty() ? std::string()
                                : "Die Datei enthält mehr als die "_cp +
                                      std::to_string(std::max(n, 0)) + texts_.infoTail;

  // No maximum: one file holding every point.
  spinMax = limited ? n : std::max(1, count);
  spinValue = spinMax;
  spinMin = 1;
  Berechnen();
}

void SplitDialog::AnzSplitEditChange(long long value) {
  spinValue = static_cast<int>(std::clamp<long long>(value, spinMin, spinMax));
  Berechnen();
}

void SplitDialog::AnzSplitEditText(const std::string& text) {
  long long v = 1;
  if (!parseSpinText(text, v)) v = 1;
  AnzSplitEditChange(v);
}

void SplitDialog::Berechnen() {
  spinValue = std::clamp(spinValue, spinMin, std::max(spinMin, spinMax));
  planSplit(s_, spinValue);
  DateiAnzahl = s_.doc.split.SplitFiles;
  RestAnzahl = s_.doc.split.SplitRest;
  if (s_.doc.split.SplitFiles < 2) {
    OkBtn = "Datei erstellen";
    Label4 = "Es wird ";
    Label5 = "Datei mit je";
  } else {
    OkBtn = "Dateien erstellen";
    Label4 = "Es werden ";
    Label5 = "Dateien mit je ";
  }
}

void SplitDialog::close() {
  height = kBaseHeight;
}

void SplitDialog::BCRDir_EChange(const std::string& text) {
  BCRDir_E = text;
  if (const OutputFormatInfo* f = chosenOutputFormat(s_); f && f->saveDir)
    s_.opt.set(*f->saveDir, text);
}

void SplitDialog::BCRDirButtonClick() {
  // The browser is titled by the folder's field: "BCR Verzeichnis auswählen".
  std::string title;
  if (const OutputFormatInfo* f = chosenOutputFormat(s_)) {
    for (const OptionInfo* o : f->options) {
      for (const OptionField& field : o->fields) {
        if (field.role == FieldRole::Folder) title = std::string(field.label) + " auswählen"_cp;
      }
    }
  }
  if (auto folder = s_.port().browseFolder(title)) BCRDir_EChange(*folder);
}

bool SplitDialog::planNameable() const {
  return splitPlanNameable(s_.doc.split.SplitFiles);
}

int splitMaximum(const Session& s) {
  const OutputFormatInfo* f = chosenOutputFormat(s);
  if (!f || !f->limit) return -1;
  return s.opt.get(*f->limit);
}

int splitPointCount(const Session& s) {
  const OutputFormatInfo* f = chosenOutputFormat(s);
  if (f && f->pointLine) {
    int n = 0;
    for (const auto& l : s.doc.OutputLines.lines()) n += f->pointLine(l);
    return n;
  }
  return f && f->countsRoutePoints ? s.doc.RoutePointCount : s.doc.OutputLines.Count();
}

void planSplit(Session& s, int perFile) {
  s.doc.split = planSplitOver(splitPointCount(s), perFile);
}

}  // namespace kursolin
