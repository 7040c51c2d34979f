// A day-long log in the window: loading it, making its routes and filling the point table let
// the window handle events and show progress in the status line throughout; meanwhile nothing
// that would change the data starts, and closing waits for the step. The input pane shows such a
// log as a view over its lines and becomes an editor when the user edits.

#include <QtTest>

#include <QClipboard>
#include <QTextBlock>

#include "app/linesview.h"
#include "window_fixture.h"

using namespace kursolin;
using namespace kursolin::test;

namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr int kSeconds = 40000;  // 80,000 GGA + VTG lines, about 4.5 MB

std::string longLog(const ProgramFolder& folder) {
  TrackBuilder t(48, 11, 6 * 3600);
  // Legs long enough for the rules to make points along them.
  for (int leg = 0; leg < 8; ++leg) t.drive(leg * 45.0, 50, kSeconds / 8);
  folder.write(QStringLiteral("tag.txt"), joinCrLf(t.ggaVtgLines()));
  return folder.sessionFile(QStringLiteral("tag.txt"));
}

// Watches the window from its event loop while a step runs: a zero timer fires only when the
// step lets events through.
struct StepWatch {
  explicit StepWatch(StartedWindow& w) : w(w) {
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [this] { sample(); });
  }
  void begin() {
    rounds = 0;
    statuses.clear();
    lockedWhileShown = true;
    timer.start();
  }
  void end() { timer.stop(); }
  void sample() {
    ++rounds;
    const QString status = w.label("StatusBar");
    statuses << status;
    const bool progress = status.contains(Q("Zeilen gelesen: ")) ||
                          status.contains(Q("Datensätze geprüft: Zeile "));
    if (progress && (w.action("LoadNMEA")->isEnabled() || w.action("Route")->isEnabled() ||
                     w.find<QWidget>("SetupBox")->isEnabled())) {
      lockedWhileShown = false;
    }
    // What a user's clicks would ask for: nothing of it may start inside the step.
    w.port.openAnswers.push_back(std::string("/keine/datei.txt"));
    w.action("LoadNMEA")->trigger();
    w.action("Route")->trigger();
    w.port.openAnswers.clear();
    if (closeDuring && w->isVisible()) closeAccepted = w->close();
  }
  bool showed(const QString& prefix) const {
    for (const QString& s : statuses) {
      if (s.startsWith(prefix)) return true;
    }
    return false;
  }

  StartedWindow& w;
  QTimer timer;
  int rounds = 0;
  QStringList statuses;
  bool lockedWhileShown = true;
  bool closeDuring = false;
  bool closeAccepted = false;
};

}  // namespace

class LongLogTest : public QObject {
  Q_OBJECT

 private slots:
  void stepsKeepTheWindowAlive();
  void longInputIsAViewUntilEdited();
};

void LongLogTest::stepsKeepTheWindowAlive() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0", "[Debug]", "Find=1", "[Setup]", "XRp=1"});
  const std::string log = longLog(folder);
  StartedWindow w(folder);
  StepWatch watch(w);
  const QString statusBefore = w.label("StatusBar");

  watch.begin();
  w.load(log);
  watch.end();
  QCOMPARE(w.s().doc.InputLines.Count(), 2 * kSeconds);
  QVERIFY(watch.rounds > 0);
  QVERIFY2(watch.showed(Q("Zeilen gelesen: ")), qPrintable(watch.statuses.join(u'|')));
  QVERIFY(watch.lockedWhileShown);
  // The refused load asked for no file; the status is the loaded file's again.
  QCOMPARE(w.port.openRequests.size(), std::size_t(1));
  QVERIFY(w.label("StatusBar") != statusBefore);
  QCOMPARE(w.label("StatusBar"), gui::toQString(w.s().statusText()));
  const QString loadedStatus = w.label("StatusBar");

  watch.begin();
  w.action("Route")->trigger();
  watch.end();
  QVERIFY(watch.rounds > 0);
  QVERIFY(watch.showed(Q("Datensätze geprüft: Zeile ")));
  QVERIFY(watch.showed(Q("Datensätze geprüft: Zeile ")) &&
          watch.statuses.filter(Q(" von 80.000")).size() > 0);
  QVERIFY(watch.lockedWhileShown);
  QCOMPARE(w.port.busyOn, 1);  // the route clicked inside did not start
  QVERIFY(w.s().doc.OutputLines.Count() >= 8);
  QCOMPARE(w.label("StatusBar"), loadedStatus);
  QCOMPARE(w.output()->toPlainText(),
           gui::toQString(w.s().doc.OutputLines.text()).replace(Q("\r\n"), Q("\n")).chopped(1));

  // Every record into the point table.
  QTest::mouseClick(w.find<QCheckBox>("AllGGACheck"), Qt::LeftButton);
  QVERIFY(w.s().opt.rules.AllGGACheck);
  w.port.answer({PromptAnswer::Yes});
  watch.begin();
  w.action("CSVData")->trigger();
  watch.end();
  QVERIFY(watch.rounds > 0);
  QVERIFY(watch.showed(Q("Datensätze geprüft: Zeile ")));
  QVERIFY(watch.lockedWhileShown);
  auto* grid = w.find<QTableView>("TabGrid");
  QVERIFY(grid->isVisible());
  QVERIFY(w.s().doc.PointTable.rows.size() >= std::size_t(kSeconds - 1));
  QCOMPARE(grid->model()->rowCount(), static_cast<int>(w.s().doc.PointTable.rows.size()));
  QCOMPARE(grid->model()->index(0, 0).data().toString(), Q("00000001"));
  QCOMPARE(w.label("StatusBar"), loadedStatus);
  // The search from a cell finds its time in the long input.
  const QString time = grid->model()->index(500, 1).data().toString();
  grid->setCurrentIndex(grid->model()->index(500, 1));
  QTest::mouseClick(w.find<QPushButton>("FindButton"), Qt::LeftButton);
  auto* view = w.find<gui::LinesView>("NMEADatenView");
  QCOMPARE(gui::toQString(view->selectedText()), QString(time).remove(u':'));
  QVERIFY(view->caret().line >= 500);
  QVERIFY(view->firstVisibleLine() <= view->caret().line);

  // Closing while a route is made waits for the route, then closes.
  watch.closeDuring = true;
  w.port.answer({PromptAnswer::Yes});  // the route made meanwhile is not saved
  watch.begin();
  w.action("Route")->trigger();
  watch.end();
  QVERIFY(!watch.closeAccepted);
  QCOMPARE(w.s().doc.PointTable.rows.size(), static_cast<std::size_t>(grid->model()->rowCount()));
  QTRY_VERIFY(!w->isVisible());
  QCOMPARE(w.port.unscripted, 0);
}

void LongLogTest::longInputIsAViewUntilEdited() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  const std::string log = longLog(folder);
  StartedWindow w(folder);
  w.load(log);
  auto* view = w.find<gui::LinesView>("NMEADatenView");
  QVERIFY(view->isVisible());
  QVERIFY(!w.input()->isVisible());
  // No copy of the log in a text document.
  QCOMPARE(w.input()->document()->characterCount(), 1);

  // Selecting and copying need no editor.
  view->setFocus();
  QTest::keyClick(view, Qt::Key_End, Qt::ShiftModifier);
  QCOMPARE(gui::toQString(view->selectedText()), gui::toQString(w.s().doc.InputLines.full(0)));
  QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QGuiApplication::clipboard()->text(), gui::toQString(w.s().doc.InputLines.full(0)));
  QVERIFY(view->isVisible());

  // A key that edits hands the lines to the editor and does its work there.
  const std::string second(w.s().doc.InputLines.full(1));
  const std::string third(w.s().doc.InputLines.full(2));
  QTest::keyClick(view, Qt::Key_Down);
  QTest::keyClick(view, Qt::Key_Home);
  QTest::keyClick(view, Qt::Key_X);
  QTRY_VERIFY(w.input()->isVisible());
  QCOMPARE(w.input()->document()->blockCount(), 2 * kSeconds);
  QCOMPARE(w.input()->document()->findBlockByNumber(1).text(), Q("x") + gui::toQString(second));
  QCOMPARE(w.input()->textCursor().blockNumber(), 1);
  QCOMPARE(w.input()->textCursor().positionInBlock(), 1);
  QCOMPARE(w.input()->document()->lastBlock().text(),
           gui::toQString(w.s().doc.InputLines.full(2 * kSeconds - 1)));
  QVERIFY(!w.input()->isReadOnly());
  // Edits now reach the lines as in any short file.
  QTest::keyClick(w.input(), Qt::Key_Home);
  QTest::keyClick(w.input(), Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(w.input(), Qt::Key_Delete);
  w.action("Route")->trigger();
  QCOMPARE(w.s().doc.InputLines.Count(), 2 * kSeconds - 1);
  QCOMPARE(w.s().doc.InputLines.full(1), third);
  QCOMPARE(w.port.unscripted, 0);
}

QTEST_MAIN(LongLogTest)
#include "longlog_test.moc"
