#pragma once
// The settings dialog TEinstellen: the pages the formats' options declare and the altitude
// correction, on tabs, and one "OK" button. The controls act on the session through the headless
// model at once; after every event the dialog draws all of them from the model again, so no
// control can disagree with what is in force.

#include <QDialog>
#include <array>
#include <utility>
#include <vector>

#include "dialogs/settings_dialog.h"
#include "session/session.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace kursolin::gui {

class SettingsDialog : public QDialog {
  Q_OBJECT
 public:
  /// The dialog over the session, first page " Koordinaten - Texteingabe " in front.
  SettingsDialog(Session& s, QWidget* parent = nullptr);

  /// The model the controls act through.
  SettingsDialogModel& model() { return model_; }
  /// The tabs (the dialog keeps the page last shown).
  QTabWidget* pages() const { return pages_; }
  /// Draws every control from the model and the session.
  void render();

 protected:
  /// Runs the opening steps each time the dialog is shown.
  void showEvent(QShowEvent* event) override;

 private:
  struct SeparatorPage {
    QRadioButton* latFirst = nullptr;        // TE_NO_RadioButton / TA_NO_RadioButton
    QRadioButton* lonFirst = nullptr;        // TE_ON_RadioButton / TA_ON_RadioButton
    std::array<QRadioButton*, 6> choices{};  // in the order of SeparatorChoice
    QLineEdit* freeEdit = nullptr;           // TEFreeEdit / TAFreeEdit
  };

  QWidget* buildSeparatorPage(const OptionPage& page, SeparatorSide side);
  QWidget* buildFieldsPage(const OptionPage& page);
  QWidget* buildAltitudePage();
  QSpinBox* numberField(const OptionInfo& option, const OptionField& field);
  QCheckBox* checkBox(const OptionInfo& option, const OptionField& field);
  // A list, a text field, or a file field with its button.
  QWidget* formField(const OptionInfo& option, const OptionField& field);

  Session& s_;
  SettingsDialogModel model_;
  QTabWidget* pages_ = nullptr;
  std::array<SeparatorPage, 2> separatorPages_;
  std::vector<std::pair<QSpinBox*, const OptionInfo*>> numberFields_;
  std::vector<std::pair<QComboBox*, const OptionInfo*>> choiceFields_;
  std::vector<std::pair<QCheckBox*, const OptionInfo*>> checkBoxes_;
  std::vector<std::pair<QLineEdit*, const OptionInfo*>> textFields_;
  QSpinBox* hKorEdit_ = nullptr;
  QCheckBox* hoeheNull_ = nullptr;
  QPushButton* okButton_ = nullptr;
};

}  // namespace kursolin::gui
