#pragma once
// "Route auf höchstens N Punkte verringern": fits a route to a device's point limit by removing
// the points whose loss changes its shape least, then emits the kept points again as a
// generation of just those points would.

#include <cstddef>
#include <vector>

#include "session/session.h"

namespace kursolin {

/// The presets the dialog offers: TomTom, Garmin and app limits.
inline constexpr int kReducePresets[] = {48, 50, 100, 250, 255};

/// Indices of the points to keep, ascending. Points are removed one at a time, always the one
/// nearest to the line through its two remaining neighbours (recomputed after each removal),
/// until at most maxPoints remain; the first, the last and every `fixed` point always stay.
std::vector<std::size_t> pointsToKeep(const std::vector<GeoPosition>& points,
                                      const std::vector<bool>& fixed, int maxPoints);

/// What a reduction did.
struct ReduceResult {
  bool done = false;  // false: no route to reduce, or the emission failed (after a message)
  int before = 0;
  int after = 0;
};

/// Reduces the route in OutputLines to at most maxPoints points, keeping start, end and stop
/// points, and emits the kept points again through RouteOut with their original records.
ReduceResult RouteVerringern(Session& s, int maxPoints);

/// Emits the records again, in their order, as a generation of just these points would (numbers,
/// labels, the format's finishing pass), each with its rule note when `notes` holds one per
/// record. On a conversion error the route stays as it was, after the message; false then.
bool emitPointsAgain(Session& s, const std::vector<PackedPointRecord>& records,
                     std::vector<RuleNote> notes);

/// The position of a record with its hemisphere signs.
GeoPosition signedPosition(const PointRecord& p);

}  // namespace kursolin
