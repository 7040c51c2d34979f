#pragma once
// Qt's own texts in German: the buttons, column heads and tool tips of the file and print dialogs
// and the context menus of text fields come from Qt's translation files, not from the program.

class QTranslator;

namespace kursolin::gui {

/// Loads Qt's German texts (qtbase_de from Qt's translations folder) into the translator and
/// installs it in the application; false when they are not installed.
bool installQtGerman(QTranslator& translator);

}  // namespace kursolin::gui
