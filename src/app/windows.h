#pragma once
// The secondary windows and the commands that live in units of their own, reached from one place,
// so the main window does not depend on how each is built. A factory that gives nullptr means the
// window is not part of this build; the main window then leaves its command unavailable.

#include <QDialog>
#include <memory>

#include "session/session.h"

namespace kursolin {
class SplitDialog;
}

namespace kursolin::gui {

/// The start notice (TStartDialog), or nullptr.
std::unique_ptr<QDialog> makeStartNotice(Session& s, QWidget* parent);
/// The help page (THilfeSeite; its creation loads the help file), or nullptr.
std::unique_ptr<QDialog> makeHelpPage(Session& s, QWidget* parent);
/// The about box (TAboutBox), or nullptr.
std::unique_ptr<QDialog> makeAboutBox(QWidget* parent);
/// The settings dialog (TEinstellen), or nullptr.
std::unique_ptr<QDialog> makeSettingsDialog(Session& s, QWidget* parent);
/// The split-save dialog (TSaveSplit) drawing `dialog`, or nullptr.
std::unique_ptr<QDialog> makeSplitDialog(SplitDialogView& dialog, QWidget* parent);
/// Shows the split-save dialog for `dialog` modally at its place by the main window; true for OK.
bool showSplitDialog(SplitDialogView& dialog, QWidget* mainWindow);

/// The command "Routendaten speichern".
void saveRoute(Session& s);
/// The command "Route umkehren".
void reverseRoute(Session& s);

/// The tooltip and message text for something this version does not offer yet.
QString notAvailableText();

}  // namespace kursolin::gui
