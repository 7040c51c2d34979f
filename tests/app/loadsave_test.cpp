// Loading over work and saving it, as the window shows them: the question before a route that was
// not saved is thrown away, a cancelled dialog that keeps both panes, nothing of an old route left
// on show after a load, and where the save dialogs start and what a save reports.

#include <QtTest>

#include <sys/stat.h>
#include <QDir>
#include <QTableView>

#include "app/routepicture.h"
#include "window_fixture.h"
#include "workflow/axe_import.h"
#include "workflow/loading.h"

using namespace kursolin;
using namespace kursolin::test;

namespace {

QString Q(const char* utf8) {
  return QString::fromUtf8(utf8);
}

// What the window shows of its work.
struct Work {
  QString input, output, inCaption, outCaption;
  bool operator==(const Work&) const = default;
};

Work workOf(StartedWindow& w) {
  return {w.input()->toPlainText(), w.output()->toPlainText(), w.label("InFileLabel"),
          w.label("OutFileLabel")};
}

char* toString(const Work& k) {
  return qstrdup(QStringLiteral("%1 | %2 | %3 chars in, %4 chars out")
                     .arg(k.inCaption, k.outCaption)
                     .arg(k.input.size())
                     .arg(k.output.size())
                     .toUtf8()
                     .constData());
}

}  // namespace

class LoadSaveTest : public QObject {
  Q_OBJECT
 private slots:
  // Every command that would throw the route away asks first; "Nein" keeps everything, and a
  // file dialog left with "Abbrechen" keeps both panes too.
  void unsavedRouteIsKeptUnlessTheUserLetsItGo_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("answer");
    for (const char* c : {"LoadNMEA", "IN_RMC", "AxeImport", "close"}) {
      QTest::addRow("%s, Nein", c) << QString::fromLatin1(c) << int(PromptAnswer::No);
      QTest::addRow("%s, Ja", c) << QString::fromLatin1(c) << int(PromptAnswer::Yes);
    }
  }
  void unsavedRouteIsKeptUnlessTheUserLetsItGo() {
    QFETCH(QString, command);
    QFETCH(int, answer);
    const bool yes = answer == int(PromptAnswer::Yes);
    ProgramFolder folder;
    folder.settings({"[Pref]", "StartDialog=0"});
    folder.write(QString::fromLatin1(kAxeConverter), "#!/bin/sh\nexit 0\n");
    ::chmod(folder.path(QString::fromLatin1(kAxeConverter)).toLocal8Bit().constData(), 0755);
    StartedWindow w(folder);
    w.load(logIn(folder, QStringLiteral("fahrt.txt")));
    w.action("Route")->trigger();
    const Work before = workOf(w);
    QVERIFY(!before.output.isEmpty());
    w.port.clearRecords();
    w.port.openRequests.clear();
    w.port.answer({PromptAnswer(answer)});
    w.port.openAnswers.push_back(std::nullopt);

    if (command == QLatin1String("close")) {
      w->close();
    } else {
      w.action(command.toLatin1().constData())->trigger();
    }
    QCOMPARE(w.port.promptTexts(), std::vector<std::string>{kDiscardQuestion});
    QCOMPARE(w.port.prompts[0].kind, PromptKind::Confirmation);
    QCOMPARE(w.port.prompts[0].buttons, PromptButtons::YesNo);
    if (command == QLatin1String("close")) {
      QCOMPARE(w->isVisible(), !yes);
      return;
    }
    QCOMPARE(w.port.openRequests.size(), std::size_t(yes ? 1 : 0));
    const Work after = workOf(w);
    QCOMPARE(after.input, before.input);
    QCOMPARE(after.output, before.output);
    QCOMPARE(after.outCaption, before.outCaption);
    QVERIFY(w.action("SaveNavi")->isEnabled());
    // "Nein" to another format keeps the format; after "Ja" it is chosen, but the lines kept
    // were checked for the other one and make no route in it.
    const bool formatChanged = command == QLatin1String("IN_RMC") && yes;
    QCOMPARE(w.action("IN_RMC")->isChecked(), formatChanged);
    QCOMPARE(w.action("IN_GGAVTG")->isChecked(), !formatChanged);
    QCOMPARE(w.action("Route")->isEnabled(), !formatChanged);
    if (!formatChanged) QCOMPARE(after.inCaption, before.inCaption);
  }

  // A saved route and a loaded file are no unsaved work; an edited input pane is.
  void onlyUnsavedWorkIsAskedFor() {
    ProgramFolder folder;
    folder.settings({"[Pref]", "StartDialog=0"});
    StartedWindow w(folder);
    w.load(logIn(folder, QStringLiteral("fahrt.txt")));
    w.action("Route")->trigger();
    w.port.saveAnswers.push_back(folder.sessionFile(QStringLiteral("fahrt.rte")));
    w.action("SaveNavi")->trigger();
    w.port.clearRecords();
    w.port.openAnswers.push_back(std::nullopt);
    w.action("LoadNMEA")->trigger();
    QVERIFY(w.port.prompts.empty());

    w.input()->setFocus();
    w.input()->moveCursor(QTextCursor::End);
    QTest::keyClicks(w.input(), QStringLiteral("x"));
    w.port.openAnswers.push_back(std::nullopt);
    w.action("LoadNMEA")->trigger();
    QCOMPARE(w.port.promptTexts(), std::vector<std::string>{kDiscardQuestion});
    QCOMPARE(w.port.unscripted, 1);  // answered "Nein" by the cautious port
  }

  // After a load the output caption counts the emptied pane and the table holds no old rows.
  void aLoadLeavesNothingOfTheOldRouteOnShow() {
    ProgramFolder folder;
    folder.settings({"[Pref]", "StartDialog=0", "[Navi]", "Sys=6"});
    StartedWindow w(folder);
    auto* grid = w.find<QTableView>("TabGrid");
    w.load(logIn(folder, QStringLiteral("fahrt.txt")));
    w.action("Route")->trigger();
    const int rows = grid->model()->rowCount();
    QVERIFY(rows > 1);
    QCOMPARE(w.label("OutFileLabel"), Q("CSV Datei Routenpunkte := %1").arg(rows));

    w.port.answer({PromptAnswer::Yes});
    w.load(logIn(folder, QStringLiteral("zweite.txt")));
    QCOMPARE(grid->model()->rowCount(), 0);
    QCOMPARE(w.label("OutFileLabel"), Q("CSV Datei Routenpunkte := 0"));
    w.action("Route")->trigger();
    QCOMPARE(grid->model()->rowCount(), rows);
    QCOMPARE(w.port.unscripted, 0);
  }

  // The save, BCR and picture dialogs start beside the loaded file, not in the program's
  // folder; a save is reported and its folder used next time.
  void saveDialogsStartBesideTheFileAndASaveIsReported() {
    ProgramFolder folder;
    folder.settings({"[Pref]", "StartDialog=0"});
    QVERIFY(QDir(folder.path(QString())).mkpath(QStringLiteral("Touren/Ziel")));
    const std::string touren = folder.sessionFile(QStringLiteral("Touren")) + "/";
    const std::string ziel = touren + "Ziel/";
    StartedWindow w(folder);
    w.load(logIn(folder, QStringLiteral("Touren/fahrt.txt")));
    w.action("Route")->trigger();

    auto initialDirOfNextSave = [&w](const std::function<void()>& save) {
      w.port.saveAnswers.push_back(std::nullopt);
      save();
      return w.port.saveRequests.empty() ? std::string() : w.port.saveRequests.back().initialDir;
    };
    QCOMPARE(initialDirOfNextSave([&] { w.action("SaveNavi")->trigger(); }), touren);
    auto* picture = w->findChild<gui::RoutePictureWindow*>(QStringLiteral("Routenbild"));
    QVERIFY(picture);
    QCOMPARE(initialDirOfNextSave([&] { picture->savePicture(); }), touren);

    w.port.saveAnswers.push_back(ziel + "fahrt.rte");
    w.action("SaveNavi")->trigger();
    QCOMPARE(w.label("StatusBar"), gui::toQString("Gespeichert: " + ziel + "fahrt.rte (1 Datei)"));
    QCOMPARE(initialDirOfNextSave([&] { w.action("SaveNavi")->trigger(); }), ziel);

    // The Tourenplaner folder of a fresh installation is the program's folder, too.
    w.port.answer({PromptAnswer::Yes});
    w.action("BCRData")->trigger();
    QCOMPARE(initialDirOfNextSave([&] { w.action("SaveNavi")->trigger(); }), touren);
    QCOMPARE(w.port.unscripted, 0);
  }
};

QTEST_MAIN(LoadSaveTest)
#include "loadsave_test.moc"
