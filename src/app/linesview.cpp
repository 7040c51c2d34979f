#include "app/linesview.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <limits>

#include "app/qtext.h"

namespace kursolin::gui {

LinesView::LinesView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
}

void LinesView::setLines(const TextLines* lines) {
  lines_ = lines;
  anchor_ = caret_ = Place{};
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  linesChanged();
}

void LinesView::linesChanged() {
  widest_ = 0;
  const long long n = count();
  for (long long i = 0; i < n; ++i) {
    widest_ = std::max(widest_, static_cast<long long>(lines_->full(i).size()));
  }
  if (caret_.line >= std::max(1LL, n)) anchor_ = caret_ = Place{};
  updateRanges();
  viewport()->update();
}

long long LinesView::lineLength(long long line) const {
  return lines_ ? static_cast<long long>(lines_->full(line).size()) : 0;
}

int LinesView::rowHeight() const { return std::max(1, fontMetrics().lineSpacing()); }

int LinesView::charWidth() const {
  // The panes use a fixed-pitch font: every character is as wide as any other.
  return std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('M')));
}

int LinesView::visibleRows() const { return std::max(1, viewport()->height() / rowHeight()); }

long long LinesView::firstVisibleLine() const { return verticalScrollBar()->value(); }

void LinesView::updateRanges() {
  // A scroll bar counts in int; two billion lines is far beyond a TextLines anyway.
  const long long rows = std::min<long long>(count(), std::numeric_limits<int>::max());
  verticalScrollBar()->setRange(0, static_cast<int>(std::max(0LL, rows - visibleRows())));
  verticalScrollBar()->setPageStep(visibleRows());
  verticalScrollBar()->setSingleStep(1);
  const long long width = std::min<long long>(widest_ * charWidth() + 2 * charWidth(),
                                              std::numeric_limits<int>::max());
  horizontalScrollBar()->setRange(0, static_cast<int>(std::max(0LL, width - viewport()->width())));
  horizontalScrollBar()->setPageStep(viewport()->width());
  horizontalScrollBar()->setSingleStep(charWidth());
}

void LinesView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateRanges();
}

void LinesView::scrollContentsBy(int, int) {
  // The vertical bar counts lines, not pixels: the view is drawn afresh.
  viewport()->update();
}

void LinesView::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  const int h = rowHeight();
  const int cw = charWidth();
  const int x0 = 2 - horizontalScrollBar()->value();
  const int ascent = fontMetrics().ascent();
  const long long first = firstVisibleLine();
  const long long last = std::min(count(), first + visibleRows() + 1);
  // Only the columns in view are drawn: a line may be megabytes long.
  const long long c0 = std::max(0, horizontalScrollBar()->value() / cw - 1);
  const long long c1 = c0 + viewport()->width() / cw + 3;
  const Place from = std::min(anchor_, caret_);
  const Place to = std::max(anchor_, caret_);
  const QPalette& pal = palette();
  auto part = [&](const std::string& line, long long a, long long b) {
    a = std::max(a, c0);
    b = std::min({b, c1, static_cast<long long>(line.size())});
    if (b <= a) return QString();
    return toQString(line.substr(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a)));
  };
  for (long long i = first; i < last; ++i) {
    const int y = static_cast<int>(i - first) * h;
    const std::string line(lines_->full(i));
    const long long size = static_cast<long long>(line.size());
    const bool selected = hasSelection() && i >= from.line && i <= to.line;
    const long long a = selected && i == from.line ? from.column : 0;
    // A selection running on to the next line covers the line break as one blank.
    const long long b = selected && i == to.line ? to.column : size + 1;
    if (selected) {
      p.fillRect(QRect(x0 + static_cast<int>(a * cw), y, static_cast<int>((b - a) * cw), h),
                 pal.brush(QPalette::Highlight));
    }
    p.setPen(pal.color(QPalette::Text));
    p.drawText(x0 + static_cast<int>(c0 * cw), y + ascent, part(line, c0, c1));
    if (selected) {
      // The selected part once more in the highlight's own text colour.
      const long long start = std::max(a, c0);
      p.setPen(pal.color(QPalette::HighlightedText));
      p.drawText(x0 + static_cast<int>(start * cw), y + ascent, part(line, start, b));
    }
  }
  if (hasFocus() && caret_.line >= first && caret_.line < last) {
    const int x = x0 + static_cast<int>(caret_.column * cw);
    const int y = static_cast<int>(caret_.line - first) * h;
    p.fillRect(QRect(x, y, 1, h), pal.color(QPalette::Text));
  }
}

LinesView::Place LinesView::placeAt(const QPoint& pos) const {
  if (count() == 0) return {};
  const long long line = std::clamp(firstVisibleLine() + pos.y() / rowHeight(), 0LL, count() - 1);
  const int x = pos.x() - 2 + horizontalScrollBar()->value();
  const long long column =
      std::clamp(static_cast<long long>((x + charWidth() / 2) / charWidth()), 0LL,
                 lineLength(line));
  return {line, column};
}

void LinesView::moveCaret(Place to, bool keepAnchor) {
  caret_ = to;
  if (!keepAnchor) anchor_ = to;
  ensureVisible(caret_);
  viewport()->update();
  emit selectionChanged();
}

void LinesView::ensureVisible(Place p) {
  QScrollBar* v = verticalScrollBar();
  if (p.line < v->value()) {
    v->setValue(static_cast<int>(p.line));
  } else if (p.line >= v->value() + visibleRows()) {
    v->setValue(static_cast<int>(p.line - visibleRows() + 1));
  }
  QScrollBar* hb = horizontalScrollBar();
  const long long x = p.column * charWidth();
  if (x < hb->value()) {
    hb->setValue(static_cast<int>(std::max(0LL, x - 4 * charWidth())));
  } else if (x > hb->value() + viewport()->width() - 2 * charWidth()) {
    hb->setValue(static_cast<int>(x - viewport()->width() + 4 * charWidth()));
  }
}

bool LinesView::selectInLine(long long line, long long column, long long length) {
  if (line < 0 || line >= count() || column < 0 || length < 0 ||
      column + length > lineLength(line)) {
    return false;
  }
  anchor_ = {line, column};
  moveCaret({line, column + length}, true);
  return true;
}

std::string LinesView::selectedText() const {
  if (!hasSelection()) return {};
  const Place from = std::min(anchor_, caret_);
  const Place to = std::max(anchor_, caret_);
  std::string out;
  for (long long i = from.line; i <= to.line; ++i) {
    const std::string line(lines_->full(i));
    const auto a = static_cast<std::size_t>(i == from.line ? from.column : 0);
    const std::size_t b = i == to.line ? static_cast<std::size_t>(to.column) : line.size();
    if (a < b) out.append(line, a, b - a);
    if (i < to.line) out += '\n';
  }
  return out;
}

void LinesView::copy() const {
  if (!hasSelection()) return;
  if (QClipboard* c = QApplication::clipboard()) c->setText(toQString(selectedText()));
}

void LinesView::selectAll() {
  anchor_ = {};
  const long long last = std::max(0LL, count() - 1);
  moveCaret({last, lineLength(last)}, true);
}

void LinesView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton) {
    // The middle button pastes the selection into an editable field.
    emit editRequested(QKeyCombination(), {});
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  moveCaret(placeAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void LinesView::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) moveCaret(placeAt(event->position().toPoint()), true);
}

void LinesView::keyPressEvent(QKeyEvent* event) {
  if (event == QKeySequence::Copy) {
    copy();
    return;
  }
  if (event == QKeySequence::SelectAll) {
    selectAll();
    return;
  }
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  const long long last = std::max(0LL, count() - 1);
  Place to = caret_;
  switch (event->key()) {
    case Qt::Key_Up: to.line = std::max(0LL, to.line - 1); break;
    case Qt::Key_Down: to.line = std::min(last, to.line + 1); break;
    case Qt::Key_PageUp: to.line = std::max(0LL, to.line - visibleRows()); break;
    case Qt::Key_PageDown: to.line = std::min(last, to.line + visibleRows()); break;
    case Qt::Key_Left:
      if (to.column > 0) {
        --to.column;
      } else if (to.line > 0) {
        --to.line;
        to.column = lineLength(to.line);
      }
      break;
    case Qt::Key_Right:
      if (to.column < lineLength(to.line)) {
        ++to.column;
      } else if (to.line < last) {
        ++to.line;
        to.column = 0;
      }
      break;
    case Qt::Key_Home: to = ctrl ? Place{} : Place{to.line, 0}; break;
    case Qt::Key_End:
      to.line = ctrl ? last : to.line;
      to.column = lineLength(to.line);
      break;
    default: {
      const bool edits = event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete ||
                         event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                         event == QKeySequence::Paste || event == QKeySequence::Cut ||
                         event == QKeySequence::Undo ||
                         (!event->text().isEmpty() && event->text().at(0).isPrint() && !ctrl);
      if (edits) {
        emit editRequested(event->keyCombination(), event->text());
      } else {
        QAbstractScrollArea::keyPressEvent(event);
      }
      return;
    }
  }
  to.column = std::min(to.column, lineLength(to.line));
  moveCaret(to, shift);
}

void LinesView::inputMethodEvent(QInputMethodEvent* event) {
  if (!event->commitString().isEmpty()) emit editRequested(QKeyCombination(), {});
}

}  // namespace kursolin::gui
