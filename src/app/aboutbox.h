#pragma once
// The about box TAboutBox: program, version, maker, addresses and the notices.

#include <QDialog>

class QLabel;

namespace kursolin::gui {

class AboutBox : public QDialog {
  Q_OBJECT
 public:
  /// The box, ready to show modally.
  explicit AboutBox(QWidget* parent = nullptr);

  /// The web address label (clicking it opens the address).
  QLabel* webLabel() const { return web_; }

  /// Hands the web address label's own text to the system to open.
  void Label4Click();

 protected:
  /// Centres the box on the screen.
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* web_ = nullptr;  // Label4
};

}  // namespace kursolin::gui
