#pragma once
// The help page THilfeSeite: the operating manual from "KSHelp.hlp" beside the program (or in the
// data folder of an installed one), in an editable rich-text pane, with an edit bar that saves it
// back when the settings ask for it, a contents list drawn from the manual's own headings, and a
// search bar (Ctrl+F, F3).

#include <QDialog>
#include <QList>
#include <QString>
#include <QTimer>
#include <string>

#include "session/session.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QTextDocument;
class QTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace kursolin::gui {

/// The help file's name in the program's folder.
inline constexpr char kHelpFileName[] = "KSHelp.hlp";
/// Height of the edit bar HelpEditPanel, pixels.
inline constexpr int kHelpEditPanelHeight = 41;

/// One heading of the manual, as the contents list shows it.
struct HelpHeading {
  QString title;     // the heading's first line, blanks simplified
  int position = 0;  // where its paragraph begins in the document
  int level = 1;     // 1: a chapter, 2: a section inside the chapter before it
};

/// The manual's headings in document order. A chapter is a paragraph that begins with its number
/// ("12. Einstellungen") and is set bold in a larger type than the body text; a section is any
/// other bold paragraph after a chapter whose type lies between the body's and the chapter's.
QList<HelpHeading> helpHeadings(const QTextDocument& doc);

/// The message when the help page's search finds nothing, for the text searched.
std::string helpNotFoundText(const QString& searched);

class HelpPage : public QDialog {
  Q_OBJECT
 public:
  /// The page, 960 x 480, with the manual loaded from AppDir (a missing file is reported).
  HelpPage(Session& s, QWidget* parent = nullptr);

  /// The manual's full path (cp1252, as the session holds paths): beside the program, else in
  /// the data folder of an installed program when it is there.
  std::string helpFilePath() const;
  /// The rich-text pane.
  QTextEdit* pane() const { return pane_; }
  /// The edit bar with "Änderungen Speichern".
  QFrame* editPanel() const { return editPanel_; }
  /// The contents list beside the pane: chapters, with their sections below them.
  QTreeWidget* contents() const { return contents_; }
  /// The search bar under the pane, hidden until Ctrl+F.
  QFrame* searchBar() const { return searchBar_; }
  /// The search bar's text field.
  QLineEdit* searchField() const { return searchField_; }
  /// The search bar's note ("Suche am Anfang fortgesetzt" after a wrap), empty otherwise.
  QLabel* searchNote() const { return searchNote_; }

  /// Loads the pane from the help file; a file that cannot be opened is reported and the pane
  /// shows that the manual was not found. true when the file was read.
  bool FormCreate();
  /// "Änderungen Speichern": writes the pane as rich text over the help file; reports a
  /// failure and keeps the text. true when written.
  bool SaveBtnClick();

  /// Draws the contents list afresh from the headings in the pane (kept as it is when the
  /// headings did not change, so opened chapters stay open).
  void refreshContents();
  /// Puts the caret on the entry's heading and scrolls the heading to the top of the view.
  void showHeading(QTreeWidgetItem* entry);

  /// Ctrl+F: shows the search bar with the focus in its field, holding the pane's selection when
  /// that is a part of one line.
  void openSearch();
  /// Selects the first occurrence of the text in the manual (any case) and brings it into view;
  /// reports a text that does not occur. true when found.
  bool findFirst(const QString& text);
  /// F3 (Shift+F3 backwards): the next occurrence of the search text after the caret, going on
  /// from the start (the end) when there is none more and saying so in the search bar. A text
  /// not searched before starts from the top as findFirst does. true when found.
  bool findNext(bool backwards = false);

 protected:
  /// The edit bar is shown only while the settings ask for it (Debug/HelpEdit).
  void showEvent(QShowEvent* event) override;
  /// Esc closes an open search bar before it closes the page.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void buildContents(const QList<HelpHeading>& headings);
  void followView();
  void searchEntered();
  void closeSearch();
  bool select(const QString& text, int from, bool backwards);

  Session& s_;
  QFrame* editPanel_ = nullptr;  // HelpEditPanel
  QPushButton* saveBtn_ = nullptr;
  QSplitter* split_ = nullptr;
  QTreeWidget* contents_ = nullptr;
  QTextEdit* pane_ = nullptr;
  QFrame* searchBar_ = nullptr;
  QLineEdit* searchField_ = nullptr;
  QPushButton* searchNextBtn_ = nullptr;
  QLabel* searchNote_ = nullptr;
  QString searched_;             // the text the last search looked for
  QTimer contentsTimer_;         // redraws the contents a moment after the text was edited
  bool showingHeading_ = false;  // the view moves to an entry's heading; the list stays put
};

}  // namespace kursolin::gui
