#pragma once
// The help page THilfeSeite: the operating manual from "KSHelp.hlp" beside the program (or in the
// data folder of an installed one), in an editable rich-text pane, with an edit bar that saves it
// back when the settings ask for it.

#include <QDialog>
#include <string>

#include "session/session.h"

class QFrame;
class QPushButton;
class QTextEdit;

namespace kursolin::gui {

/// The help file's name in the program's folder.
inline constexpr char kHelpFileName[] = "KSHelp.hlp";
/// Height of the edit bar HelpEditPanel, pixels.
inline constexpr int kHelpEditPanelHeight = 41;

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

  /// Loads the pane from the help file; a file that cannot be opened is reported and the pane
  /// shows that the manual was not found. true when the file was read.
  bool FormCreate();
  /// "Änderungen Speichern": writes the pane as rich text over the help file; reports a
  /// failure and keeps the text. true when written.
  bool SaveBtnClick();

 protected:
  /// The edit bar is shown only while the settings ask for it (Debug/HelpEdit).
  void showEvent(QShowEvent* event) override;

 private:
  Session& s_;
  QFrame* editPanel_ = nullptr;  // HelpEditPanel
  QPushButton* saveBtn_ = nullptr;
  QTextEdit* pane_ = nullptr;
};

}  // namespace kursolin::gui
