#include "workflow/split.h"

#include <algorithm>
#include <cstdio>

#include "core/cp1252.h"
#include "workflow/fileio.h"
#include "workflow/output_formats.h"

namespace kursolin {

namespace {

struct SplitTexts {
  std::string caption;  // window caption
  std::string infoTail;  // bold text after the maximum
};

// Caption and bold text of the chosen format; both empty for formats that are never split.
SplitTexts splitTextsFor(const Session& s) {
  if (s.OutMN4)
    return {" Kursolin Ausgabedatei für Navigon MN|4 oder MN|4.1 vorbereiten"_cp,
            " vorgegebenen Routenpunkte für die Navigon MN|4 - RTE Datei "_cp};
  if (s.OutMN42)
    return {" Kursolin Ausgabedatei für Navigon MN|4.2 vorbereiten"_cp,
            " vorgegebenen Routenpunkte für die Navigon MN|4.2 - RTE Datei "_cp};
  if (s.OutMN5)
    return {" Kursolin Ausgabedatei für Navigon MN5 vorbereiten"_cp,
            " vorgegebenen Routenpunkte für die Navigon MN5 - RTE Datei "_cp};
  if (s.OutTT)
    return {" Kursolin Ausgabedatei für TomTom vorbereiten"_cp,
            " vorgegebenen Routenpunkte für die TomTom - ITN Datei "_cp};
  if (s.OutFPrv)
    return {" Kursolin Ausgabedatei für Falk PreviousDestination Datei vorbereiten"_cp,
            " vorgegebenen Routenpunkte für die Falk PreviousDestin. Datei "_cp};
  if (s.OutBCR)
    return {" Kursolin Ausgabedatei für den Tourenplaner vorbereiten"_cp,
            " vorgegebenen Routenpunkte für die Tourenplaner - BCR Datei"_cp};
  return {};
}

int decimalDigits(int v) {
  int digits = 1;
  while (v >= 10) {
    v /= 10;
    ++digits;
  }
  return digits;
}

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

SplitDialog::SplitDialog(Session& s) : s_(s) {}

void SplitDialog::FormActivate() {
  const int n = splitMaximum(s_);
  const int count = splitPointCount(s_);
  const bool limited = n > 0;
  if (s_.OutBCR) {
    ROUTENAME_E = s_.BcrRouteName;
    BCRDir_E = s_.BcrDirectory;
    showTourenplaner = true;
    // Without a maximum the BCR file is always one file, so there is nothing to choose.
    showSplitRow = limited && count > n;
  } else {
    showTourenplaner = false;
    showSplitRow = true;
  }
  height = kBaseHeight + (showSplitRow ? splitRowHeight : 0) +
           (showTourenplaner ? tourenplanerHeight : 0);

  const SplitTexts t = splitTextsFor(s_);
  caption = t.caption;
  RpInfoLabel = t.caption.empty() ? std::string()
                                  : "Die Datei enthält mehr als die "_cp +
                                        std::to_string(std::max(n, 0)) + t.infoTail;

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
  DateiAnzahl = s_.SplitFiles;
  RestAnzahl = s_.SplitRest;
  if (s_.SplitFiles < 2) {
    OkBtn = "Datei erstellen";
    Label4 = "Es wird ";
    Label5 = "Datei mit je";
  } else {
    OkBtn = "Dateien erstellen";
    Label4 = "Es werden ";
    Label5 = "Dateien mit je ";
  }
}

void SplitDialog::close() { height = kBaseHeight; }

void SplitDialog::BCRDir_EChange(const std::string& text) {
  BCRDir_E = text;
  s_.BcrDirectory = text;
}

void SplitDialog::BCRDirButtonClick() {
  if (auto folder = s_.port().browseFolder("BCR Verzeichnis auswählen"_cp)) BCRDir_EChange(*folder);
}

bool SplitDialog::planNameable() const { return splitPlanNameable(s_.SplitFiles); }

int splitMaximum(const Session& s) {
  const OutputFormatInfo* f = chosenOutputFormat(s);
  if (!f || !f->limit) return -1;
  return s.*(f->limit);
}

int splitPointCount(const Session& s) {
  return s.OutFPrv ? s.RoutePointCount : s.OutputLines.Count();
}

void planSplit(Session& s, int perFile) {
  const int count = std::max(0, splitPointCount(s));
  s.SplitSize = std::max(1, perFile);
  s.SplitFiles = count / s.SplitSize;
  s.SplitRest = count % s.SplitSize;
  s.SplitRestFile = s.SplitRest > 0;
}

int splitFileCount(const Session& s) { return s.SplitFiles + (s.SplitRestFile ? 1 : 0); }

std::string partFileName(const std::string& chosen, int i, int splitFiles) {
  if (i <= 1) return chosen;
  char digits[24];
  std::snprintf(digits, sizeof digits, "%.*d", decimalDigits(std::max(splitFiles, 0)), i - 1);
  const std::string suffix = std::string("_") + digits;
  // Only the file name takes the suffix; the folder must stay the one chosen.
  const std::string folder = folderOf(chosen);
  std::string name = nameOf(chosen);
  if (name.size() >= 4) {
    name.insert(name.size() - 4, suffix);
  } else {
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) {
      name.insert(dot, suffix);
    } else {
      name += suffix;
    }
  }
  return folder + name;
}

bool splitPlanNameable(int splitFiles) { return splitFiles < 10000; }

std::string splitTooManyFilesText(const Session& s) {
  return "Mit " + std::to_string(s.SplitSize) + " Routenpunkten je Datei würde die Route in "_cp +
         std::to_string(splitFileCount(s)) +
         " Dateien aufgeteilt; so viele Teildateien können nicht benannt werden (höchstens 10000)."_cp +
         '\r' + "Bitte mehr Routenpunkte je Datei wählen. Es wurde keine Datei geschrieben."_cp;
}

const std::vector<std::string>& vehicleProfiles() {
  static const std::vector<std::string> profiles = {
      "Auto langsam", "Auto mittel",   "Auto schnell",  "Motorrad",
      "Motorrad Anfahrt", "Motorrad mittel", "Motorrad Tour", "Wohnwagen"};
  return profiles;
}

}  // namespace kursolin
