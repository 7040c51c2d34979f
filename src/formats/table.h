#pragma once
// The table output (".csv", separated by CsvSeparator): one header line, then one line per route
// point with all notations and the recorded values. The same points fill the on-screen table.

#include <string>
#include <vector>

#include "core/route_point.h"
#include "formats/format.h"
#include "session/session.h"

namespace kursolin {

/// The separator of the table's columns.
inline constexpr TextOption CsvSeparator{
    {.section = "Pref", .key = "CSVTrenner", .defaultText = ";"}};

/// The header line of the table file.
std::string tableHeaderLine(const Session& s);

/// The data line of the current point; `distance` is the text of the distance from the previous
/// route point in whole metres.
std::string tableDataLine(Session& s, const std::string& distance);

/// Header texts of the 17 columns of the on-screen route point table.
const std::vector<std::string>& pointTableHeaders();
/// Widths in pixels of those columns.
const std::vector<int>& pointTableWidths();

/// The 17 cells of the current point's row; `number` is the row number, `distance` the text of
/// the distance from the previous route point.
std::vector<std::string> pointTableRow(Session& s, int number, const std::string& distance);

/// Line builder: header before the first point, a row in the on-screen table, the data line.
void buildTable(Session& s, const RoutePoint& p);

}  // namespace kursolin

namespace kursolin {
/// Adds the current point as the next row of the on-screen route point table.
void ShowTabGrid(Session& s, const std::string& distance);
}  // namespace kursolin
