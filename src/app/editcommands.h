#pragma once
// The edit commands of the window (undo, cut, copy, paste, delete, select all) on whichever text
// field has the focus: the panes, the rule panel's number fields, the dialogs' line edits.

class QLineEdit;
class QWidget;

namespace kursolin::gui {

enum class EditCommand { Undo, Cut, Copy, Paste, Delete, SelectAll, Redo };

/// Which edit commands a field offers now.
struct EditState {
  bool undo = false, redo = false, cut = false, copy = false, paste = false, del = false,
       all = false;
};

/// The line edit the edit commands act on inside a focused field, or nullptr.
QLineEdit* lineEditOf(QWidget* w);

/// true when the clipboard holds text to paste.
bool clipboardHasText();

/// The edit commands the field w offers.
EditState editStateOf(QWidget* w);

/// Runs an edit command on the field w (nothing for a widget that is no text field).
void applyEdit(QWidget* w, EditCommand c);

}  // namespace kursolin::gui
