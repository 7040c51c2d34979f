#include "session/time_mode.h"

#include "core/cp1252.h"
#include "core/geotime.h"
#include "session/prompt.h"

namespace kursolin {

void TimeArtChange(Session& s, int mode) {
  if (mode < 1 || mode > 3) return;
  s.opt.TimeMode = mode;
  s.port().stateChanged();
}

void NMEATimeClick(Session& s) {
  TimeArtChange(s, 1);
}
void SommerTimeClick(Session& s) {
  TimeArtChange(s, 2);
}
void WinterTimeClick(Session& s) {
  TimeArtChange(s, 3);
}

int activeTimeOffsetFor(Session& s, const std::optional<LocalDateTime>& fileTime) {
  const std::string tail =
      std::string(1, kCR) + "   Möchten Sie die Zeitangaben trotzdem umstellen ?"_cp;
  switch (s.opt.TimeMode) {
    case 2:
      if (fileTime && CheckBRDSz(*fileTime)) return s.opt.SummerOffset;
      return askYes(s, PromptButtons::YesNo,
                    "Die GPS Log-Datei wurde nicht zur Sommerzeit erstellt" + tail)
                 ? s.opt.SummerOffset
                 : 0;
    case 3:
      if (fileTime && !CheckBRDSz(*fileTime)) return s.opt.WinterOffset;
      return askYes(s, PromptButtons::YesNo,
                    "Die GPS Log-Datei wurde nicht zur Winterzeit erstellt" + tail)
                 ? s.opt.WinterOffset
                 : 0;
    default:
      return 0;
  }
}

void chooseActiveTimeOffset(Session& s, const std::optional<LocalDateTime>& recorded) {
  if (s.opt.TimeMode != 2 && s.opt.TimeMode != 3) {
    s.ActiveTimeOffset = 0;
    return;
  }
  s.ActiveTimeOffset = activeTimeOffsetFor(s, recorded);
}

void chooseActiveTimeOffset(Session& s) {
  chooseActiveTimeOffset(s, s.doc.InputFileTime);
}

std::string TimeChange(const Session& s, const std::string& time) {
  return TimeChange(s.host(), s.numbers.TimeSep, s.ActiveTimeOffset, time);
}

}  // namespace kursolin
