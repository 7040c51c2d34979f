#pragma once
// The start notice TStartDialog: tells a new user where the formats are chosen, and lets them
// turn the notice off for later starts.

#include <QDialog>

#include "session/session.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace kursolin::gui {

class StartNotice : public QDialog {
  Q_OBJECT
 public:
  /// The notice over the session's ShowStartNotice / HideStartDialog.
  StartNotice(Session& s, QWidget* parent = nullptr);

  /// "OK" (or a click on the first line): ShowStartNotice := not HideStartDialog; closes.
  void OkBtnClick();

 public slots:
  /// Escape and the window manager's close do what "OK" does.
  void reject() override;

 protected:
  /// Shows the check box as the session holds it and centres the notice on the screen.
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Session& s_;
  QLabel* firstLine_ = nullptr;
  QCheckBox* hide_ = nullptr;  // HideStartDialog
  QPushButton* ok_ = nullptr;
};

}  // namespace kursolin::gui
