#pragma once
// Editing the produced route point by point (the route picture's drag, delete and insert): each
// edit changes the list of kept records and emits them again as a generation of just those
// points would, so numbers, labels and the flags of the first and last line stay right.

#include <cstddef>
#include <optional>
#include <vector>

#include "session/session.h"

namespace kursolin {

/// Whether the route's points can be edited now: a route whose records are those of its lines,
/// and none being made.
bool canEditRoute(const Session& s);

/// Moves the point at index to the position; its position texts are made as a reader makes
/// them, every other value of its record stays. false (after a message) when it could not.
bool movePoint(Session& s, std::size_t index, const GeoPosition& to);

/// Deletes the points at the indices (any order, repeats allowed). A route keeps at least two
/// points: a deletion below that is refused with a message. false when nothing was deleted.
bool deletePoints(Session& s, std::vector<std::size_t> indices);

/// Inserts a point after the point at index `after`, at the position. Its record is that of
/// the point before it at the new position, without the names and flags of that point.
bool insertPoint(Session& s, std::size_t after, const GeoPosition& at);

/// Inserts after the point at index `after` the record of the loaded input nearest to the
/// position (time and speed included). false (after a message) when the input has none.
bool insertTrackPoint(Session& s, std::size_t after, const GeoPosition& near);

/// The record of the loaded input with a fix nearest to the position, read as a generation
/// reads it (with its second record where the format pairs them); nullopt when there is none.
/// Reads quietly and leaves the session's current record as it was.
std::optional<PointRecord> nearestInputRecord(Session& s, const GeoPosition& near);

/// The index of the route line (from point i to point i + 1) nearest to the position, and the
/// point on it; nullopt for a route of fewer than two points.
struct LineHit {
  std::size_t after = 0;
  GeoPosition at;
  double metres = 0;  // from the position to the line
};
std::optional<LineHit> nearestRouteLine(const Session& s, const GeoPosition& near);

/// Places a record at a position: every position text made anew from it, as a route file's
/// reader makes them.
void placeRecordAt(const NumberStyle& st, PointRecord& p, const GeoPosition& at);

}  // namespace kursolin
