#pragma once
// The time mode of the menu "Zeitangabe" (NMEA time, summer time, winter time) and the hours it
// adds to the record times of one generation.

#include <optional>
#include <string>

#include "core/datetime.h"
#include "session/session.h"

namespace kursolin {

/// Sets TimeMode (modes 1 to 3 only; the menu's check marks follow it).
void TimeArtChange(Session& s, int mode);
void NMEATimeClick(Session& s);
void SommerTimeClick(Session& s);
void WinterTimeClick(Session& s);

/// The hours to add during one generation for a log made at fileTime (nullopt: unknown);
/// may ask the user.
int activeTimeOffsetFor(Session& s, const std::optional<LocalDateTime>& fileTime);

/// Chooses ActiveTimeOffset for one generation from TimeMode and when the input was recorded
/// (the log's own date, else the date the loaded file had when it was loaded).
void chooseActiveTimeOffset(Session& s, const std::optional<LocalDateTime>& recorded);
/// chooseActiveTimeOffset with the date the loaded file had when it was loaded.
void chooseActiveTimeOffset(Session& s);

/// A record time as the session shows it: the host's long time format, shifted by
/// ActiveTimeOffset. A text that gives no valid time of day throws ConvertError.
std::string TimeChange(const Session& s, const std::string& time);

}  // namespace kursolin
