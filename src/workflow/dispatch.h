#pragma once
// The record dispatch: the generators read every input format through Get_A / Get_B, which call
// the readers of the chosen input format's row, and emit through RouteOut.

#include <string>

#include "session/session.h"
#include "track/generator.h"

namespace kursolin {

/// Parses one record with the reader of the input format, after the output format's preparation.
bool Get_A(Session& s, const std::string& line, int index);

/// The second record of a point (VTG for GGA + VTG), else the validity of the first.
bool Get_B(Session& s, const std::string& line, int index);

/// The generators' connection to the chosen formats: Get_A, Get_B and RouteOut.
class FormatRouteIO : public RouteIO {
 public:
  bool Get_A(Session& s, const std::string& line, int index) override;
  bool Get_B(Session& s, const std::string& line, int index) override;
  bool isRecordLine(const Session& s, const std::string& line) const override;
  bool pairsRecords(const Session& s) const override;
  bool isRouteFile(const Session& s) const override;
  std::optional<LocalDateTime> recordedAt(const Session& s) const override;
  void RouteOut(Session& s, Real prevLat, Real prevLon, Real curLat, Real curLon) override;
};

/// Makes the route from InputLines with the readers and writer of the chosen formats.
RouteResult RouteErzeugen(Session& s);

}  // namespace kursolin
