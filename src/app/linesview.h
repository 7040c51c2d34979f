#pragma once
// A pane over a long TextLines: draws only the lines in view, so a day-long log shows at once
// without a copy of it in a text document. It selects and copies like a read-only text field;
// an attempt to edit asks the window for the editable pane.

#include <QAbstractScrollArea>
#include <string>

#include "core/lines.h"

namespace kursolin::gui {

class LinesView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit LinesView(QWidget* parent = nullptr);

  /// Shows the lines (nullptr: none); they must live as long as they are shown. The caret goes
  /// to the start.
  void setLines(const TextLines* lines);
  /// The lines changed in place (appended to): ranges and view follow.
  void linesChanged();

  /// A position in the text: line index and character column.
  struct Place {
    long long line = 0;
    long long column = 0;
    friend bool operator<(const Place& a, const Place& b) {
      return a.line != b.line ? a.line < b.line : a.column < b.column;
    }
    friend bool operator==(const Place& a, const Place& b) = default;
  };

  /// Selects `length` characters from `column` of line `line`, scrolled into view; false when
  /// there is no such line or the range runs past its end.
  bool selectInLine(long long line, long long column, long long length);
  bool hasSelection() const { return !(anchor_ == caret_); }
  /// The selected text as cp1252 with "\n" line breaks.
  std::string selectedText() const;
  Place caret() const { return caret_; }
  /// The selection to the clipboard.
  void copy() const;
  void selectAll();
  bool empty() const { return count() == 0; }
  /// The first line in view.
  long long firstVisibleLine() const;

 signals:
  /// A key or command that would change the text; the window makes the pane editable and
  /// hands the key (none for the middle button) to the editor.
  void editRequested(QKeyCombination key, const QString& text);
  void selectionChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;

 private:
  long long count() const { return lines_ ? lines_->Count() : 0; }
  long long lineLength(long long line) const;
  int rowHeight() const;
  int charWidth() const;
  int visibleRows() const;
  void updateRanges();
  Place placeAt(const QPoint& pos) const;
  void moveCaret(Place to, bool keepAnchor);
  void ensureVisible(Place p);

  const TextLines* lines_ = nullptr;
  Place anchor_, caret_;
  long long widest_ = 0;  // characters of the longest line
};

}  // namespace kursolin::gui
