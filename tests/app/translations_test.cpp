// Qt's own dialogs speak German once the program has loaded Qt's translations (Debian package
// qt6-translations-l10n); without that package the test is skipped.

#include <QtTest>

#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>
#include <QTreeView>

#include "app/qtport.h"
#include "app/translations.h"

using namespace kursolin;
using namespace kursolin::gui;

namespace {

QStringList buttonTexts(const QWidget& w) {
  QStringList texts;
  for (const QPushButton* b : w.findChildren<QPushButton*>()) texts << b->text();
  return texts;
}

QStringList columnHeads(const QFileDialog& d) {
  QStringList heads;
  const auto* view = d.findChild<QTreeView*>(QStringLiteral("treeView"));
  for (int c = 0; view && c < view->model()->columnCount(); ++c) {
    heads << view->model()->headerData(c, Qt::Horizontal).toString();
  }
  return heads;
}

}  // namespace

class TranslationsTest : public QObject {
  Q_OBJECT
 private slots:
  void qtDialogsAreGerman() {
    const QString qm = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm";
    if (!QFileInfo::exists(qm))
      QSKIP("Qt's translations (qt6-translations-l10n) are not installed");

    QFileDialog before;
    before.setOption(QFileDialog::DontUseNativeDialog, true);
    QVERIFY2(buttonTexts(before).contains(QStringLiteral("&Open")), "English before loading");

    QTranslator translator;
    QVERIFY(installQtGerman(translator));

    // A dialog of Qt's own, with no German text set by the program.
    QFileDialog plain;
    plain.setOption(QFileDialog::DontUseNativeDialog, true);
    const QStringList buttons = buttonTexts(plain);
    QVERIFY2(buttons.contains(QString::fromUtf8("&Öffnen")), qPrintable(buttons.join('|')));
    QVERIFY2(buttons.contains(QStringLiteral("Abbrechen")), qPrintable(buttons.join('|')));

    // The program's own dialog: the column heads come from Qt alone.
    QTemporaryDir dir;
    FileDialogRequest r;
    r.title = "NMEA Datei laden";
    r.filter = "NMEA Datei(*.txt)|*.txt";
    r.initialDir = dir.path().toStdString();
    FileDialog ours(nullptr, r, false);
    QCOMPARE(columnHeads(ours),
             (QStringList{QStringLiteral("Name"), QString::fromUtf8("Größe"), QStringLiteral("Typ"),
                          QString::fromUtf8("Änderungsdatum")}));
    QCoreApplication::removeTranslator(&translator);
  }
};

QTEST_MAIN(TranslationsTest)
#include "translations_test.moc"
