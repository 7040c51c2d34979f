#pragma once
// Printing the lines of a text pane as plain text: every line from the page margin, long lines
// continued on the next printed line a little indented, tabs at every eighth average character
// width, full pages continued on the next. The layout is computed apart from the drawing so it
// can be checked.

#include <QFont>
#include <QList>
#include <QSizeF>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace kursolin::gui {

/// The warning shown (warning icon, "OK") when the pane to print holds no line.
inline constexpr char kNothingToPrint[] = "Kein Text zum Drucken vorhanden";

/// The rows that continue a long line start this many average character widths in, so they
/// read as part of the line above.
inline constexpr int kPrintContinuationIndent = 4;

/// The least page margin, in millimetres, on every side; a larger one of the printer stays.
inline constexpr qreal kPrintLeastMarginMm = 15;

/// Tab stops lie at every this many average character widths.
inline constexpr int kPrintTabChars = 8;

/// What the layout needs to know of a font on the printing device.
struct PrintMetrics {
  std::function<qreal(QChar)> advance;  // width of one character
  qreal averageCharWidth = 0;
  qreal lineHeight = 0;  // distance between two printed lines
  qreal ascent = 0;      // from the top of a printed line to its baseline
};

/// The metrics of the font as it prints on the device.
PrintMetrics printMetrics(const QFont& font, const QPaintDevice* device);

/// Text drawn from x on a printed line.
struct PrintRun {
  qreal x = 0;
  QString text;
};

/// One printed line; tabs split it into runs.
struct PrintRow {
  QList<PrintRun> runs;
};

/// Printed lines, top to bottom; row i lies at i times the line height.
using PrintPage = QList<PrintRow>;

/// The whole job: the pages with their rows, and the line geometry they were laid out with.
struct PrintLayout {
  QList<PrintPage> pages;
  qreal lineHeight = 0;
  qreal ascent = 0;
};

/// The pane's lines (cp1252) laid out on pages of the given size (the area inside the margins).
/// No lines give no pages.
PrintLayout layoutPrintLines(const std::vector<std::string>& lines, const PrintMetrics& metrics,
                             QSizeF pageSize);

/// Draws one page of the layout with the painter's font.
void paintPrintPage(QPainter& painter, const PrintLayout& layout, int pageIndex);

/// Prints the lines with the font on the device (a printer or PDF writer), one job, starting a
/// new page wherever the layout does. False when nothing could be printed (no lines, or the
/// device would not start).
bool printLines(const std::vector<std::string>& lines, const QFont& font,
                QPagedPaintDevice& device);

}  // namespace kursolin::gui
