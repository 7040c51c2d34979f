#pragma once
// The split dialog TSaveSplit: the plan of part files for a long route and, for a format with
// route settings of every save (Tourenplaner BCR files), those settings as its options declare
// them. Its texts, height, route name and folder come from the headless SplitDialog; the other
// controls edit the format's options directly.

#include <QDialog>
#include <utility>
#include <vector>

#include "dialogs/split_dialog.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace kursolin::gui {

class SplitDialogWidget : public QDialog {
  Q_OBJECT
 public:
  /// The dialog drawn from the model; exec() returns Accepted for OK.
  SplitDialogWidget(SplitDialogView& dialog, QWidget* parent = nullptr);

  /// Shows the dialog for the model modally, 100 pixels below and 50 right of the main
  /// window's top left corner (centred on the screen without one); true for OK.
  static bool showModal(SplitDialogView& dialog, QWidget* mainWindow);

  SplitDialogView& model() { return model_; }
  /// Draws the texts, the spin box and the panels from the model.
  void render();

 protected:
  /// Prepares the model for the chosen output format and sizes the dialog by its height rule.
  void showEvent(QShowEvent* event) override;
  /// Closing (OK or Abbrechen) returns the model's height to its base.
  void done(int result) override;

 private:
  QFrame* buildSplitPanel();
  QFrame* buildTourenplanerPanel();
  QCheckBox* optionBox(const OptionInfo& option, const OptionField& field, QWidget* parent);
  void browseBcrDirectory();

  SplitDialogView& model_;
  Session& s_;
  QFrame* splitPanel_ = nullptr;  // SplitPanel
  QFrame* mtpPanel_ = nullptr;    // MTPPanel
  QFrame* buttonPanel_ = nullptr;
  QLabel* rpInfoLabel_ = nullptr;
  QLabel* label4_ = nullptr;
  QLabel* dateiAnzahl_ = nullptr;
  QLabel* label5_ = nullptr;
  QSpinBox* anzSplitEdit_ = nullptr;
  QLabel* label6_ = nullptr;
  QLabel* restAnzahl_ = nullptr;
  QLabel* label7_ = nullptr;
  // The route settings panel's fields (nullptr: the format has none of the kind).
  QLineEdit* routeName_ = nullptr;          // ROUTENAME_E
  QPlainTextEdit* beschreibung_ = nullptr;  // a text of several lines
  const OptionInfo* linesOption_ = nullptr;
  QComboBox* profile_ = nullptr;  // a list to choose from (PROFILE_Combo)
  const OptionInfo* choiceOption_ = nullptr;
  std::vector<std::pair<QSpinBox*, const OptionInfo*>> spins_;
  std::vector<std::pair<QCheckBox*, const OptionInfo*>> boxes_;
  QLineEdit* bcrDir_ = nullptr;  // BCRDir_E
  QPushButton* okBtn_ = nullptr;
  QPushButton* cancelBtn_ = nullptr;  // FlatButton1
};

}  // namespace kursolin::gui
