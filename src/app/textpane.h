#pragma once
// The two text panes of the main window: plain text without word wrap, one block per line of
// the pane's TextLines, set in one go so a large file shows without a long pause.

#include <QPlainTextEdit>
#include <QTextEdit>
#include <string>

#include "core/lines.h"

namespace kursolin::gui {

class TextPane : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit TextPane(QWidget* parent = nullptr);

  /// Replaces the text by the lines (one block each) without an undo step; the caret goes to
  /// the start.
  void setLines(const TextLines& lines);
  /// Appends the lines from index `first` up to `end` (-1: all) as blocks after the text.
  void appendLines(const TextLines& lines, int first, int end = -1);
  /// Brings the text to the lines by changing only the lines that differ and adding or removing
  /// lines at the end: at the end of a long route only its first and last lines change, and
  /// filling the pane afresh would freeze the window. Changes nothing and returns false when
  /// more than `maxChanged` lines differ.
  bool updateLines(const TextLines& lines, int maxChanged);
  /// The whole text as cp1252 with "\n" line breaks, as it would go into TextLines.
  std::string text() const;
  /// The number of lines as TextLines would count the text (a final empty line not counted).
  int lineCount() const;
  /// The first two characters of the text with CR LF line breaks (fewer for a shorter text).
  std::string head() const;
  /// The selected text as cp1252 with "\n" line breaks.
  std::string selectedText() const;
  /// Selects `length` characters from `column` of line `line`; false when there is no such line.
  bool selectInLine(int line, long long column, long long length);
  /// Caret to the start, nothing selected, the start in view.
  void caretToStart();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
};

/// true when clipboard or drop data holds text to insert; an empty clipboard can come as data
/// without any format, which Qt's own insertion does not survive.
bool holdsText(const QMimeData* source);

/// A text field of the dialogs that, like the panes, takes only data with text from the
/// clipboard (by keys, menu or middle mouse button) and from drops.
template <class Edit>
class TextOnlyEdit : public Edit {
 public:
  using Edit::Edit;

 protected:
  bool canInsertFromMimeData(const QMimeData* source) const override {
    return holdsText(source) && Edit::canInsertFromMimeData(source);
  }
  void insertFromMimeData(const QMimeData* source) override {
    if (holdsText(source)) Edit::insertFromMimeData(source);
  }
};

/// The lines from `first` up to `end` (-1: all) joined by "\n" as one QString.
QString joinedLines(const TextLines& lines, int first = 0, int end = -1);

}  // namespace kursolin::gui
