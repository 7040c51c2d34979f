#include "app/editcommands.h"

#include <QAbstractSpinBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "app/linesview.h"

namespace kursolin::gui {

QLineEdit* lineEditOf(QWidget* w) {
  if (auto* le = qobject_cast<QLineEdit*>(w)) return le;
  if (auto* sb = qobject_cast<QAbstractSpinBox*>(w)) return sb->findChild<QLineEdit*>();
  return nullptr;
}

bool clipboardHasText() {
  const QClipboard* c = QGuiApplication::clipboard();
  return c && !c->text().isEmpty();
}

EditState editStateOf(QWidget* w) {
  EditState st;
  if (auto* te = qobject_cast<QPlainTextEdit*>(w)) {
    const bool ro = te->isReadOnly() || !te->isEnabled();
    const bool sel = te->textCursor().hasSelection();
    st.undo = !ro && te->document()->isUndoAvailable();
    st.redo = !ro && te->document()->isRedoAvailable();
    st.cut = st.del = !ro && sel;
    st.copy = sel;
    st.paste = !ro && te->canPaste();
    st.all = !te->document()->isEmpty();
  } else if (auto* view = qobject_cast<LinesView*>(w)) {
    // Changing commands make the pane editable first; copying and selecting need no editor.
    const bool on = view->isEnabled();
    st.copy = view->hasSelection();
    st.cut = st.del = on && view->hasSelection();
    st.paste = on && clipboardHasText();
    st.all = !view->empty();
  } else if (QLineEdit* le = lineEditOf(w)) {
    const bool ro = le->isReadOnly() || !le->isEnabled();
    const bool sel = le->hasSelectedText();
    st.undo = !ro && le->isUndoAvailable();
    st.redo = !ro && le->isRedoAvailable();
    st.cut = st.del = !ro && sel;
    st.copy = sel && le->echoMode() == QLineEdit::Normal;
    st.paste = !ro && clipboardHasText();
    st.all = !le->text().isEmpty();
  }
  return st;
}

void applyEdit(QWidget* w, EditCommand c) {
  if (auto* te = qobject_cast<QPlainTextEdit*>(w)) {
    switch (c) {
      case EditCommand::Undo:
        te->undo();
        break;
      case EditCommand::Redo:
        te->redo();
        break;
      case EditCommand::Cut:
        te->cut();
        break;
      case EditCommand::Copy:
        te->copy();
        break;
      case EditCommand::Paste:
        te->paste();
        break;
      case EditCommand::Delete: {
        QTextCursor cur = te->textCursor();
        cur.removeSelectedText();
        te->setTextCursor(cur);
        break;
      }
      case EditCommand::SelectAll:
        te->selectAll();
        break;
    }
  } else if (auto* view = qobject_cast<LinesView*>(w)) {
    if (c == EditCommand::Copy) {
      view->copy();
    } else if (c == EditCommand::SelectAll) {
      view->selectAll();
    } else {
      // The editor gets the command as the key that gives it.
      const QKeyCombination key = c == EditCommand::Cut     ? QKeyCombination(Qt::CTRL, Qt::Key_X)
                                  : c == EditCommand::Paste ? QKeyCombination(Qt::CTRL, Qt::Key_V)
                                  : c == EditCommand::Delete ? QKeyCombination(Qt::Key_Delete)
                                                             : QKeyCombination();
      emit view->editRequested(key, {});
    }
  } else if (QLineEdit* le = lineEditOf(w)) {
    switch (c) {
      case EditCommand::Undo:
        le->undo();
        break;
      case EditCommand::Redo:
        le->redo();
        break;
      case EditCommand::Cut:
        le->cut();
        break;
      case EditCommand::Copy:
        le->copy();
        break;
      case EditCommand::Paste:
        le->paste();
        break;
      case EditCommand::Delete:
        le->del();
        break;
      case EditCommand::SelectAll:
        le->selectAll();
        break;
    }
  }
}

}  // namespace kursolin::gui
