#include "app/textpane.h"

#include <algorithm>
#include <vector>

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "app/qtext.h"

namespace kursolin::gui {

namespace {

// Paragraph and line separators are the document's line breaks; the lines know only "\n".
QString withNewlines(QString t) {
  t.replace(QChar::ParagraphSeparator, u'\n');
  t.replace(QChar::LineSeparator, u'\n');
  return t;
}

}  // namespace

bool holdsText(const QMimeData* source) {
  return source && source->hasText() && !source->text().isEmpty();
}

QString joinedLines(const TextLines& lines, int first, int end) {
  std::size_t total = 0;
  const int count = end < 0 ? lines.Count() : std::min(end, lines.Count());
  for (int i = first; i < count; ++i) total += lines.full(i).size() + 1;
  std::string bytes;
  bytes.reserve(total);
  for (int i = first; i < count; ++i) {
    if (i > first) bytes += '\n';
    bytes += lines.full(i);
  }
  return toQString(bytes);
}

TextPane::TextPane(QWidget* parent) : QPlainTextEdit(parent) {
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setWordWrapMode(QTextOption::NoWrap);
}

void TextPane::setLines(const TextLines& lines) {
  const bool undo = isUndoRedoEnabled();
  setUndoRedoEnabled(false);
  setPlainText(joinedLines(lines));
  setUndoRedoEnabled(undo);
  caretToStart();
}

void TextPane::appendLines(const TextLines& lines, int first, int end) {
  if (first >= lines.Count() || (end >= 0 && first >= end)) return;
  if (document()->isEmpty() && end < 0) {
    // appendPlainText would leave the first block empty in front of the lines.
    setLines(lines);
    return;
  }
  const bool undo = isUndoRedoEnabled();
  setUndoRedoEnabled(false);
  if (document()->isEmpty()) {
    setPlainText(joinedLines(lines, first, end));
  } else {
    appendPlainText(joinedLines(lines, first, end));
  }
  setUndoRedoEnabled(undo);
}

bool TextPane::updateLines(const TextLines& lines, int maxChanged) {
  QTextDocument* d = document();
  const int shown = lineCount();
  const int count = lines.Count();
  // An empty last line is no block of its own here; such a text is simply shown afresh.
  if (shown == 0 || count == 0 || d->blockCount() != shown) return false;
  std::vector<int> changed;
  QTextBlock b = d->firstBlock();
  for (int i = 0; i < std::min(shown, count); ++i, b = b.next()) {
    if (b.text() == toQString(lines.full(i))) continue;
    changed.push_back(i);
    if (static_cast<int>(changed.size()) > maxChanged) return false;
  }
  const bool undo = isUndoRedoEnabled();
  setUndoRedoEnabled(false);
  QTextCursor c(d);
  c.beginEditBlock();
  for (const int i : changed) {
    const QTextBlock line = d->findBlockByNumber(i);
    c.setPosition(line.position());
    c.setPosition(line.position() + line.length() - 1, QTextCursor::KeepAnchor);
    c.insertText(toQString(lines.full(i)));
  }
  if (count > shown) {
    c.movePosition(QTextCursor::End);
    c.insertText(QStringLiteral("\n") + joinedLines(lines, shown));
  } else if (count < shown) {
    // From the line break before the first line too many to the end.
    c.setPosition(d->findBlockByNumber(count).position() - 1);
    c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    c.removeSelectedText();
  }
  c.endEditBlock();
  setUndoRedoEnabled(undo);
  return true;
}

std::string TextPane::text() const {
  return fromQString(withNewlines(document()->toRawText()));
}

int TextPane::lineCount() const {
  const QTextDocument* d = document();
  return d->blockCount() - (d->lastBlock().text().isEmpty() ? 1 : 0);
}

std::string TextPane::head() const {
  if (lineCount() == 0) return {};
  const std::string first = fromQString(document()->firstBlock().text().left(2)) + "\r\n";
  return first.substr(0, 2);
}

std::string TextPane::selectedText() const {
  return fromQString(withNewlines(textCursor().selectedText()));
}

bool TextPane::selectInLine(int line, long long column, long long length) {
  const QTextBlock b = document()->findBlockByNumber(line);
  if (!b.isValid()) return false;
  QTextCursor c(document());
  const int start = b.position() + static_cast<int>(column);
  const int end = start + static_cast<int>(length);
  if (end > document()->characterCount()) return false;
  c.setPosition(start);
  c.setPosition(end, QTextCursor::KeepAnchor);
  setTextCursor(c);
  return true;
}

void TextPane::caretToStart() {
  QTextCursor c(document());
  c.movePosition(QTextCursor::Start);
  setTextCursor(c);
  ensureCursorVisible();
}

void TextPane::keyPressEvent(QKeyEvent* event) {
  // Shift+Return would put a line separator inside a block; every break starts a new line here.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      (event->modifiers() & Qt::ShiftModifier)) {
    QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                    event->text(), event->isAutoRepeat(), event->count());
    QPlainTextEdit::keyPressEvent(&plain);
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

bool TextPane::canInsertFromMimeData(const QMimeData* source) const {
  return holdsText(source) && QPlainTextEdit::canInsertFromMimeData(source);
}

void TextPane::insertFromMimeData(const QMimeData* source) {
  // Every way of pasting ends here: the edit command, Ctrl+V, Shift+Insert, the middle button.
  if (holdsText(source)) QPlainTextEdit::insertFromMimeData(source);
}

}  // namespace kursolin::gui
