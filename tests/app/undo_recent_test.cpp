// Undo and redo of the route in the window (menu items, tool bar, keys shared with the text being
// edited) and "Zuletzt geöffnet" across two runs of the program.

#include <QtTest>

#include <QMenu>
#include <QTableView>
#include <QToolBar>

#include "window_fixture.h"
#include "workflow/recent_open.h"

using namespace kursolin;
using namespace kursolin::test;

namespace {

QString Q(const char* utf8) {
  return QString::fromUtf8(utf8);
}

// What the window shows of the route.
struct Shown {
  QString output, caption;
  bool table, save;
  bool operator==(const Shown&) const = default;
};

Shown shownBy(StartedWindow& w) {
  return {w.output()->toPlainText(), w.label("OutFileLabel"),
          w.find<QTableView>("TabGrid")->isVisible(), w.action("SaveNavi")->isEnabled()};
}

char* toString(const Shown& k) {
  return qstrdup(QStringLiteral("%1 | %2 chars | table %3 | save %4")
                     .arg(k.caption)
                     .arg(k.output.size())
                     .arg(k.table)
                     .arg(k.save)
                     .toUtf8()
                     .constData());
}

QStringList captions(QMenu* m) {
  QStringList out;
  for (QAction* a : m->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
  return out;
}

}  // namespace

class UndoRecentTest : public QObject {
  Q_OBJECT
 private slots:
  // Each change of the route is a step: undo shows the route before it as it was shown then
  // (pane, caption, table, save command), redo the route after it; a load starts afresh.
  void undoAndRedoShowEachRouteAsItWasShown() {
    ProgramFolder folder;
    folder.settings({"[Pref]", "StartDialog=0"});
    StartedWindow w(folder);
    QAction* undo = w.action("EditUndo");
    QAction* redo = w.action("EditRedo");
    QCOMPARE(undo->shortcuts().front(), QKeySequence(Q("Ctrl+Z")));
    QVERIFY(redo->shortcuts().contains(QKeySequence(Q("Ctrl+Y"))));
    QVERIFY(redo->shortcuts().contains(QKeySequence(Q("Ctrl+Shift+Z"))));
    auto* tools = w.find<QToolBar>("ToolBar");
    QVERIFY(tools->actions().contains(undo) && tools->actions().contains(redo));

    w.load(logIn(folder, QStringLiteral("fahrt.txt")));
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());
    std::vector<Shown> states = {shownBy(w)};
    w.action("Route")->trigger();
    states.push_back(shownBy(w));
    QCOMPARE(undo->text(), Q("&Rückgängig: Routendaten erzeugen"));
    QVERIFY(undo->toolTip().startsWith(Q("Rückgängig: Routendaten erzeugen")));
    w.action("RouteReversAction")->trigger();
    states.push_back(shownBy(w));
    w.port.answer({PromptAnswer::Yes});  // "Routendaten neu berechnen"
    w.action("CSVData")->trigger();
    states.push_back(shownBy(w));
    QVERIFY(states.back().table && !states[2].table);
    QVERIFY(!redo->isEnabled());

    for (std::size_t i = states.size() - 1; i-- > 0;) {
      undo->trigger();
      QCOMPARE(shownBy(w), states[i]);
      QVERIFY(redo->isEnabled());
    }
    QVERIFY(!undo->isEnabled());
    QVERIFY(w.action("MN42Data")->isChecked());
    for (std::size_t i = 1; i < states.size(); ++i) {
      redo->trigger();
      QCOMPARE(shownBy(w), states[i]);
    }
    QVERIFY(w.action("CSVData")->isChecked());
    QVERIFY(!redo->isEnabled());

    w.port.answer({PromptAnswer::Yes});  // the route was not saved
    w.load(logIn(folder, QStringLiteral("zweite.txt")));
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());
    QCOMPARE(undo->text(), Q("&Rückgängig"));
    QCOMPARE(w.port.unscripted, 0);
  }

  // Ctrl+Z and Ctrl+Y stay with the text being edited while it has edits of its own; then they
  // reach the route.
  void keysGoToTheTextBeingEditedFirst() {
    ProgramFolder folder;
    folder.settings({"[Pref]", "StartDialog=0"});
    StartedWindow w(folder);
    w.load(logIn(folder, QStringLiteral("fahrt.txt")));
    w.action("Route")->trigger();
    const QString route = w.output()->toPlainText();
    QVERIFY(!route.isEmpty());
    QPlainTextEdit* in = w.input();
    const QString text = in->toPlainText();
    in->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(in));
    in->moveCursor(QTextCursor::End);
    QTest::keyClicks(in, QStringLiteral("x"));
    QCOMPARE(w.action("EditUndo")->text(), Q("&Rückgängig"));

    QTest::keyClick(in, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(in->toPlainText(), text);
    QCOMPARE(w.output()->toPlainText(), route);
    QTest::keyClick(in, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(in->toPlainText(), text);
    QVERIFY(w.output()->toPlainText().isEmpty());
    // The text's redo comes first again, then the route's.
    QTest::keyClick(in, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(in->toPlainText(), text + u'x');
    QVERIFY(w.output()->toPlainText().isEmpty());
    QTest::keyClick(in, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(w.output()->toPlainText(), route);
  }

  // The last files opened, newest first, with their formats, kept for the next run; a file that
  // is gone leaves the list with a message; the list opens files as "Datei laden" does.
  void recentFilesAcrossTwoRuns() {
    ProgramFolder folder;
    folder.settings({"[Pref]", "StartDialog=0"});
    const std::string a = logIn(folder, QStringLiteral("a.txt"));
    const std::string b = logIn(folder, QStringLiteral("b & c.txt"));
    {
      StartedWindow w(folder);
      QVERIFY(!w.find<QMenu>("ZuletztGeoeffnet")->isEnabled());
      w.load(a);
      w->loadFile(gui::toQString(b));  // as a drop or the command line loads
      w.load(a);                       // again: moves to the top
      QVERIFY(w->close());
    }
    QVERIFY(QFile::remove(folder.path(QStringLiteral("b & c.txt"))));
    StartedWindow w(folder);
    QMenu* menu = w.find<QMenu>("ZuletztGeoeffnet");
    QVERIFY(menu->isEnabled());
    const QString format = gui::toQString(w.s().doc.InputLabel);
    QCOMPARE(captions(menu),
             QStringList({Q("&1 a.txt (") + format + u')', Q("&2 b && c.txt (") + format + u')',
                          "-", Q("Liste leeren")}));
    QCOMPARE(w.action("Zuletzt1")->toolTip(), gui::toQString(a));

    w.port.answer({PromptAnswer::Ok});
    w.action("Zuletzt2")->trigger();
    QCOMPARE(w.port.promptTexts(), std::vector<std::string>{recentFileMissingText(b)});
    QCOMPARE(captions(menu).size(), 3);
    w.action("Zuletzt1")->trigger();
    QCOMPARE(w.s().doc.InputFileName, a);
    QVERIFY(w.action("Route")->isEnabled());

    w.action("ZuletztLeeren")->trigger();
    QVERIFY(!menu->isEnabled());
    QVERIFY(w->close());
    QVERIFY(!QString::fromStdString(folder.read(QStringLiteral("Kursolin.Ini")))
                 .contains(QStringLiteral("a.txt")));
    QCOMPARE(w.port.unscripted, 0);
  }
};

QTEST_MAIN(UndoRecentTest)
#include "undo_recent_test.moc"
