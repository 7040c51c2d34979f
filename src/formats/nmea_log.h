#pragma once
// NMEA 0183 logs as an input format: the checks at load, which lines are records, the detection
// test and the date a log was recorded on. The sentences themselves are parsed by the track layer
// (GetGGA, GetVTG, GetRMC); any talker is read, one per kind of sentence in a log.

#include <optional>
#include <string>
#include <string_view>

#include "core/datetime.h"
#include "formats/format.h"
#include "session/session.h"

namespace kursolin {

/// Some line is a GGA sentence (with or without VTG sentences beside it).
bool ggaVtgRecognized(Session& s);

/// Some line is an RMC sentence.
bool rmcRecognized(Session& s);

/// true when the log in InputLines holds VTG sentences to pair with its GGA sentences.
bool ggaLogHasVtg(const Session& s);

/// The GGA record of a line: as the log pairs it with VTG, or with speed and course worked out
/// where the log has no VTG sentences.
bool readGgaRecord(Session& s, const std::string& line, int index);

/// A GGA or VTG sentence of the log's talkers.
bool isGgaVtgRecordLine(const Session& s, std::string_view line);

/// An RMC sentence of the log's talker.
bool isRmcRecordLine(const Session& s, std::string_view line);

/// The local (Central European) date and time of the first fix of the log that carries a date:
/// an RMC sentence with status A, or a ZDA sentence; nullopt when the log has none.
std::optional<LocalDateTime> nmeaRecordedAt(const Session& s);

/// Detection: a log of GGA sentences with VTG sentences, or of GGA alone (a log of GGA and RMC
/// without VTG is read as RMC, which carries the receiver's own speed and course).
bool ggaVtgLogFound(const Session& s, const FileSample& file);

/// Detection: a log of RMC sentences.
bool rmcLogFound(const Session& s, const FileSample& file);

}  // namespace kursolin
