#include "app/windows.h"

#include "app/aboutbox.h"
#include "app/helppage.h"
#include "app/qtext.h"
#include "app/settingsdialog.h"
#include "app/splitdialog.h"
#include "app/startnotice.h"
#include "core/cp1252.h"
#include "workflow/reverse.h"
#include "workflow/saving.h"

namespace kursolin::gui {

std::unique_ptr<QDialog> makeStartNotice(Session& s, QWidget* parent) {
  return std::make_unique<StartNotice>(s, parent);
}

std::unique_ptr<QDialog> makeHelpPage(Session& s, QWidget* parent) {
  return std::make_unique<HelpPage>(s, parent);
}

std::unique_ptr<QDialog> makeAboutBox(QWidget* parent) {
  return std::make_unique<AboutBox>(parent);
}

std::unique_ptr<QDialog> makeSettingsDialog(Session& s, QWidget* parent) {
  return std::make_unique<SettingsDialog>(s, parent);
}

std::unique_ptr<QDialog> makeSplitDialog(SplitDialogView& dialog, QWidget* parent) {
  return std::make_unique<SplitDialogWidget>(dialog, parent);
}

bool showSplitDialog(SplitDialogView& dialog, QWidget* mainWindow) {
  return SplitDialogWidget::showModal(dialog, mainWindow);
}

QString notAvailableText() {
  return toQString("In dieser Version noch nicht verfügbar"_cp);
}

void saveRoute(Session& s) {
  SaveNaviExecute(s);
}

void reverseRoute(Session& s) {
  RouteReversActionExecute(s);
}

}  // namespace kursolin::gui
