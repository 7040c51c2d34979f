#include "app/flowlayout.h"

#include <QLabel>
#include <QWidget>
#include <algorithm>

namespace kursolin::gui {

FlowLayout::FlowLayout(QWidget* parent, int wordSpacing, int widgetSpacing, int lineSpacing)
    : QLayout(parent),
      wordSpacing_(wordSpacing),
      widgetSpacing_(widgetSpacing),
      lineSpacing_(lineSpacing) {
  setContentsMargins(0, 0, 0, 0);
}

int FlowLayout::gap(const QLayoutItem* left, const QLayoutItem* right) const {
  auto isWord = [](const QLayoutItem* i) { return qobject_cast<QLabel*>(i->widget()) != nullptr; };
  return isWord(left) && isWord(right) ? wordSpacing_ : widgetSpacing_;
}

FlowLayout::~FlowLayout() {
  while (QLayoutItem* item = takeAt(0)) delete item;
}

void FlowLayout::addItem(QLayoutItem* item) {
  items_.append(item);
}

int FlowLayout::count() const {
  return static_cast<int>(items_.size());
}

QLayoutItem* FlowLayout::itemAt(int index) const {
  return index >= 0 && index < items_.size() ? items_.at(index) : nullptr;
}

QLayoutItem* FlowLayout::takeAt(int index) {
  return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

Qt::Orientations FlowLayout::expandingDirections() const {
  return {};
}

bool FlowLayout::hasHeightForWidth() const {
  return true;
}

int FlowLayout::heightForWidth(int width) const {
  return arrange(QRect(0, 0, width, 0), false);
}

QSize FlowLayout::minimumSize() const {
  QSize size;
  for (const QLayoutItem* item : items_) size = size.expandedTo(item->minimumSize());
  const QMargins m = contentsMargins();
  return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize FlowLayout::sizeHint() const {
  // One line holding everything.
  int width = 0, height = 0;
  const QLayoutItem* previous = nullptr;
  for (const QLayoutItem* item : items_) {
    if (item->isEmpty()) continue;
    const QSize s = item->sizeHint();
    width += (previous ? gap(previous, item) : 0) + s.width();
    height = std::max(height, s.height());
    previous = item;
  }
  const QMargins m = contentsMargins();
  return {width + m.left() + m.right(), height + m.top() + m.bottom()};
}

void FlowLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  arrange(rect, true);
}

int FlowLayout::arrange(const QRect& rect, bool apply) const {
  const QRect area = rect.marginsRemoved(contentsMargins());
  int y = area.y();
  int used = 0;
  // Items of one line, placed once the line's height is known so they share a middle.
  QList<QPair<QLayoutItem*, int>> line;
  int lineWidth = 0, lineHeight = 0;
  auto flush = [&] {
    if (line.isEmpty()) return;
    if (apply) {
      for (const auto& [item, x] : line) {
        const QSize s = item->sizeHint();
        const int w = std::min(s.width(), area.width());
        item->setGeometry(QRect(x, y + (lineHeight - s.height()) / 2, w, s.height()));
      }
    }
    used = y + lineHeight - area.y();
    y += lineHeight + lineSpacing_;
    line.clear();
    lineWidth = lineHeight = 0;
  };
  for (QLayoutItem* item : items_) {
    if (item->isEmpty()) continue;
    const QSize s = item->sizeHint();
    const int g = line.isEmpty() ? 0 : gap(line.back().first, item);
    if (!line.isEmpty() && lineWidth + g + s.width() > area.width()) flush();
    const int x = area.x() + lineWidth + (line.isEmpty() ? 0 : g);
    line.append({item, x});
    lineWidth = x - area.x() + s.width();
    lineHeight = std::max(lineHeight, s.height());
  }
  flush();
  const QMargins m = contentsMargins();
  return used + m.top() + m.bottom();
}

}  // namespace kursolin::gui
