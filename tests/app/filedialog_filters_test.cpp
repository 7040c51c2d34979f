// The file dialogs as the format rows prepare them: each keeps its own filter entry first, NMEA
// logs are found as ".txt", ".nmea" and ".log" in that one entry, Touratech databases as ".qu3"
// and ".mdb", extensions match in any letter case, and every open dialog can show all files.

#include <QtTest>

#include <QAbstractItemView>
#include <QFile>
#include <QTemporaryDir>

#include "app/qtext.h"
#include "app/qtport.h"
#include "core/cp1252.h"
#include "formats/registry.h"
#include "support/fake_port.h"
#include "workflow/loading.h"
#include "workflow/saving.h"

using namespace kursolin;
using namespace kursolin::gui;

namespace {

// What the dialog's list shows of its folder.
QStringList shownFiles(QFileDialog& d) {
  auto* view = d.findChild<QAbstractItemView*>(QStringLiteral("listView"));
  if (!view) return {QStringLiteral("(no list)")};
  QStringList names;
  const QModelIndex root = view->rootIndex();
  for (int i = 0; i < view->model()->rowCount(root); ++i) {
    names << view->model()->index(i, 0, root).data().toString();
  }
  names.sort();
  return names;
}

// The open dialog of an input format, as "Datei laden" prepares it.
FileDialogRequest openRequest(int inputCode, const QString& folder) {
  test::ScriptedPort port;
  Session s(port, HostSettings::german());
  s.opt.InputFormat = inputCode;
  s.opt.OpenDir = fromQString(folder);
  return loadDialogRequest(s);
}

// The save dialog of an output format.
FileDialogRequest saveRequest(int outputCode, const QString& folder) {
  test::ScriptedPort port;
  Session s(port, HostSettings::german());
  s.opt.OutputFormat = outputCode;
  s.opt.SaveDir = fromQString(folder);
  FileDialogRequest r = saveDialogRequest(s);
  r.initialDir = fromQString(folder);
  return r;
}

const QString kAll = QStringLiteral("Alle Dateien (*)");
const QStringList kEveryFile = {"a.NMEA", "b.log", "c.txt", "d.BCR", "e.bcr", "f.mdb", "g.QU3"};

}  // namespace

class FileDialogFiltersTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    QVERIFY(folder_.isValid());
    for (const QString& name : kEveryFile) {
      QFile f(folder_.filePath(name));
      QVERIFY(f.open(QIODevice::WriteOnly));
    }
  }

  // One row per dialog and filter entry: the entries of the dialog in order, the entry chosen,
  // the files it shows.
  void showsTheRightFiles_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QStringList>("shown");
    // The first entry shows logs of every usual extension.
    const QStringList nmea = {"NMEA Datei(*.txt *.nmea *.log)", kAll};
    const QStringList logs = {"a.NMEA", "b.log", "c.txt"};
    QTest::newRow("GGA+VTG, own entry") << false << 1 << nmea << 0 << logs;
    QTest::newRow("GGA+VTG, all") << false << 1 << nmea << 1 << kEveryFile;
    QTest::newRow("RMC, own entry") << false << 2 << nmea << 0 << logs;
    const QStringList qv = {"Touratech Routendaten (*.qu3 *.mdb)", kAll};
    QTest::newRow("Touratech, own entry")
        << false << 24 << qv << 0 << QStringList{"f.mdb", "g.QU3"};
    const QStringList bcr = {"Tourenplaner BCR Datei(*.BCR)", kAll};
    QTest::newRow("BCR, own entry") << false << 6 << bcr << 0 << QStringList{"d.BCR", "e.bcr"};
    QTest::newRow("BCR, all") << false << 6 << bcr << 1 << kEveryFile;
    const QStringList mn5 = {"Navigon MN4.2 / MN5 Routendatei(*.rte)", kAll};
    QTest::newRow("Navigon, own entry") << false << 9 << mn5 << 0 << QStringList{};
    const QStringList dms = {"Textdatei im Format Gr-Min-Sek(*.txt)", kAll};
    QTest::newRow("Text Gr-Min-Sek") << false << 20 << dms << 0 << QStringList{"c.txt"};
    const QStringList xml = {"Tourenplaner \"XML\" Routendatei (*.xml)",
                             "Tourenplaner \"TEF\" Routendatei (*.tef)", kAll};
    QTest::newRow("Tourenplaner XML") << false << 4 << xml << 0 << QStringList{};
    // Save dialogs list their own entry only.
    QTest::newRow("save BCR") << true << 5 << QStringList{"Tourenplaner Dateiformat (*.BCR)"} << 0
                              << QStringList{"d.BCR", "e.bcr"};
  }

  void showsTheRightFiles() {
    QFETCH(bool, save);
    QFETCH(int, code);
    QFETCH(QStringList, entries);
    QFETCH(int, chosen);
    QFETCH(QStringList, shown);
    const FileDialogRequest r =
        save ? saveRequest(code, folder_.path()) : openRequest(code, folder_.path());
    FileDialog d(nullptr, r, save);
    QCOMPARE(d.nameFilters(), entries);
    QCOMPARE(d.selectedNameFilter(), entries.front());
    d.show();
    // The dialog reads its folder in the background; an empty list proves nothing before that.
    if (!save) {
      d.selectNameFilter(kAll);
      QTRY_COMPARE(shownFiles(d), kEveryFile);
    }
    d.selectNameFilter(entries.at(chosen));
    QTRY_COMPARE(shownFiles(d), shown);
    d.reject();
  }

  void allFilesIsNotListedTwice() {
    FileDialogRequest r;
    r.filter = "Alles (*)|*";
    QCOMPARE(dialogNameFilters(r, false), QStringList{"Alles (*)"});
    r.filter.clear();
    QCOMPARE(dialogNameFilters(r, false), QStringList{kAll});
    QCOMPARE(dialogNameFilters(r, true), QStringList{});
  }

 private:
  QTemporaryDir folder_;
};

QTEST_MAIN(FileDialogFiltersTest)
#include "filedialog_filters_test.moc"
