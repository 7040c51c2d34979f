#pragma once
// The rule panel (SetupBox): the six rule sentences with their check boxes and number fields,
// the button "Routendaten erzeugen" and the hidden search button. Every change goes straight into
// the session's rules; the window repaints on `changed`.

#include <QFrame>
#include <map>
#include <string>
#include <vector>

#include "session/session.h"

class QCheckBox;
class QPushButton;

namespace kursolin::gui {

class NumberField;

class RulePanel : public QFrame {
  Q_OBJECT
 public:
  RulePanel(Session& s, QWidget* parent);

  /// Shows the session's rules and the enabled state of every rule control.
  void refresh();

  QPushButton* routeButton() const { return routeButton_; }
  QPushButton* findButton() const { return findButton_; }

 signals:
  /// A rule box was clicked; the coupled boxes may have changed too.
  void changed();
  /// "Routendaten erzeugen" was clicked.
  void routeRequested();
  /// The search button was clicked.
  void findRequested();

 private:
  Session& s_;
  bool refreshing_ = false;
  QPushButton* routeButton_ = nullptr;
  QPushButton* findButton_ = nullptr;
  QCheckBox* meterCheck_ = nullptr;
  QCheckBox* gradCheck_ = nullptr;
  QCheckBox* pauseCheck_ = nullptr;
  QCheckBox* zeitCheck_ = nullptr;
  QCheckBox* allGgaCheck_ = nullptr;
  QCheckBox* allePunkteCheck_ = nullptr;  // "Alle Punkte der Route übernehmen"
  NumberField* meterSpin_ = nullptr;
  NumberField* meterSpeedEdit_ = nullptr;
  NumberField* gradEdit_ = nullptr;
  NumberField* gradSpeedEdit_ = nullptr;
  NumberField* pauseEdit_ = nullptr;
  NumberField* zeitSpin_ = nullptr;
  NumberField* minDistEdit_ = nullptr;
  NumberField* xrpSpin_ = nullptr;
  std::map<std::string, std::vector<QWidget*>> ruleWidgets_;  // by control name
};

}  // namespace kursolin::gui
