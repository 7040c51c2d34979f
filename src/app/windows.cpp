#include "app/windows.h"

#include "app/qtext.h"
#include "core/cp1252.h"
#include "core/prompt.h"

namespace kursolin::gui {

// The dialogs are built in their own units (settingsdialog.h, splitdialog.h, startnotice.h,
// aboutbox.h, helppage.h); until those are part of the build the factories have nothing to make.

std::unique_ptr<QDialog> makeStartNotice(Session& /*s*/, QWidget* /*parent*/) { return nullptr; }

std::unique_ptr<QDialog> makeHelpPage(Session& /*s*/, QWidget* /*parent*/) { return nullptr; }

std::unique_ptr<QDialog> makeAboutBox(QWidget* /*parent*/) { return nullptr; }

std::unique_ptr<QDialog> makeSettingsDialog(Session& /*s*/, QWidget* /*parent*/) {
  return nullptr;
}

std::unique_ptr<QDialog> makeSplitDialog(SplitDialog& /*dialog*/, QWidget* /*parent*/) {
  return nullptr;
}

QString notAvailableText() { return toQString("In dieser Version noch nicht verfügbar"_cp); }

namespace {
void tellNotAvailable(Session& s) {
  s.port().prompt(PromptKind::Information, PromptButtons::Ok,
                  "In dieser Version noch nicht verfügbar"_cp);
}
}  // namespace

// SaveNaviExecute (workflow/saving.h) is not linked into this build yet.
void saveRoute(Session& s) { tellNotAvailable(s); }

// The route reversal has no unit in this build yet.
void reverseRoute(Session& s) { tellNotAvailable(s); }

}  // namespace kursolin::gui
