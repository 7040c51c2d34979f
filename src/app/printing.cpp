#include "app/printing.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>

#include "app/qtext.h"

namespace kursolin::gui {
namespace {

// Rounding in the advances must not push a character that fits exactly onto the next line.
constexpr qreal kSlack = 1e-6;

class RowBuilder {
 public:
  RowBuilder(PrintLayout& layout, int rowsPerPage) : layout_(layout), rowsPerPage_(rowsPerPage) {}

  qreal x() const { return x_; }
  bool rowEmpty() const { return row_.runs.isEmpty(); }

  void put(QChar c, qreal width) {
    if (row_.runs.isEmpty() || runBroken_) {
      row_.runs.append(PrintRun{x_, QString()});
      runBroken_ = false;
    }
    row_.runs.last().text += c;
    x_ += width;
  }

  // Moves to x on the same row; what follows starts a new run.
  void jump(qreal x) {
    x_ = x;
    runBroken_ = true;
  }

  void endRow() {
    if (layout_.pages.isEmpty() || layout_.pages.last().size() >= rowsPerPage_) {
      layout_.pages.append(PrintPage());
    }
    layout_.pages.last().append(row_);
    row_ = PrintRow();
    x_ = 0;
    runBroken_ = false;
  }

 private:
  PrintLayout& layout_;
  const int rowsPerPage_;
  PrintRow row_;
  qreal x_ = 0;
  bool runBroken_ = false;
};

}  // namespace

PrintMetrics printMetrics(const QFont& font, const QPaintDevice* device) {
  auto fm = std::make_shared<QFontMetricsF>(font, device);
  PrintMetrics m;
  m.advance = [fm](QChar c) { return fm->horizontalAdvance(c); };
  m.averageCharWidth = fm->averageCharWidth();
  m.lineHeight = fm->lineSpacing();
  m.ascent = fm->ascent();
  return m;
}

PrintLayout layoutPrintLines(const std::vector<std::string>& lines, const PrintMetrics& metrics,
                             QSizeF pageSize) {
  PrintLayout layout;
  layout.lineHeight = metrics.lineHeight > 0 ? metrics.lineHeight : 1;
  layout.ascent = metrics.ascent;
  const qreal width = pageSize.width();
  const int rowsPerPage =
      std::max(1, static_cast<int>(std::floor(pageSize.height() / layout.lineHeight + kSlack)));
  const qreal tabWidth = kPrintTabChars * metrics.averageCharWidth;

  // A pane holds few distinct characters; measuring each once keeps a day-long log quick.
  std::unordered_map<char16_t, qreal> widths;
  auto advance = [&](QChar c) {
    auto it = widths.find(c.unicode());
    if (it == widths.end()) it = widths.emplace(c.unicode(), metrics.advance(c)).first;
    return it->second;
  };

  // A page too narrow for the indent and some text continues at the margin.
  qreal hang = kPrintContinuationIndent * metrics.averageCharWidth;
  if (!(hang < width / 2)) hang = 0;
  RowBuilder row(layout, rowsPerPage);
  auto continueLine = [&] {
    row.endRow();
    row.jump(hang);
  };
  for (const std::string& line : lines) {
    const QString text = toQString(line);
    for (QChar c : text) {
      if (c == QChar(u'\t')) {
        if (!(tabWidth > 0)) continue;
        const qreal next = (std::floor(row.x() / tabWidth + kSlack) + 1) * tabWidth;
        if (next > width + kSlack) {
          // The stop lies beyond the page: the line goes on at the start of the next row.
          if (!row.rowEmpty()) continueLine();
          continue;
        }
        row.jump(next);
        continue;
      }
      if (c.unicode() < 0x20) continue;  // other control characters print nothing
      const qreal w = advance(c);
      // A character wider than the whole page still gets a row of its own.
      if (row.x() + w > width + kSlack && !row.rowEmpty()) continueLine();
      row.put(c, w);
    }
    row.endRow();
  }
  return layout;
}

void paintPrintPage(QPainter& painter, const PrintLayout& layout, int pageIndex) {
  if (pageIndex < 0 || pageIndex >= layout.pages.size()) return;
  const PrintPage& page = layout.pages[pageIndex];
  for (qsizetype i = 0; i < page.size(); ++i) {
    const qreal baseline = i * layout.lineHeight + layout.ascent;
    for (const PrintRun& run : page[i].runs) painter.drawText(QPointF(run.x, baseline), run.text);
  }
}

bool printLines(const std::vector<std::string>& lines, const QFont& font,
                QPagedPaintDevice& device) {
  if (lines.empty()) return false;
  // Some printers and PDF files have no margin at all; text never touches the paper's edge.
  const QMarginsF m = device.pageLayout().margins(QPageLayout::Millimeter);
  const QMarginsF least(
      std::max(m.left(), kPrintLeastMarginMm), std::max(m.top(), kPrintLeastMarginMm),
      std::max(m.right(), kPrintLeastMarginMm), std::max(m.bottom(), kPrintLeastMarginMm));
  if (least != m) device.setPageMargins(least, QPageLayout::Millimeter);
  QPainter painter;
  if (!painter.begin(&device)) return false;
  const QFont deviceFont(font, &device);
  painter.setFont(deviceFont);
  painter.setPen(Qt::black);
  const PrintLayout layout = layoutPrintLines(lines, printMetrics(deviceFont, &device),
                                              QSizeF(device.width(), device.height()));
  for (int p = 0; p < layout.pages.size(); ++p) {
    if (p > 0 && !device.newPage()) {
      painter.end();
      return false;
    }
    paintPrintPage(painter, layout, p);
  }
  return painter.end();
}

}  // namespace kursolin::gui
