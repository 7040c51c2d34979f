// Running the AutoRoute Express converter from the desktop program: the port's wait with its
// "Abbrechen", and the window's menu item and hidden tool bar button.

#include <QtTest>

#include <sys/stat.h>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <fstream>

#include "app/qtport.h"
#include "core/cp1252.h"
#include "window_fixture.h"
#include "workflow/axe_import.h"

using namespace kursolin;
using namespace kursolin::gui;

namespace {

// Writes an executable shell script with the given body.
void script(const QString& path, const QByteArray& body, mode_t mode = 0755) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write script");
  f.write("#!/bin/sh\n" + body + "\n");
  f.close();
  ::chmod(QFile::encodeName(path).constData(), mode);
}

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// true when the process has ended (gone, or a zombie nobody has collected yet).
bool ended(qint64 pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), {});
  const auto paren = text.rfind(')');
  return !stat.is_open() || text.empty() ||
         (paren != std::string::npos && text.size() > paren + 2 && text[paren + 2] == 'Z');
}

ProcessRequest requestFor(const QString& program, const QStringList& args, const QString& dir) {
  ProcessRequest r;
  r.program = fromQString(program);
  for (const QString& a : args) r.arguments.push_back(fromQString(a));
  r.workingDir = fromQString(dir);
  r.waitText = "Autoroute Express Routendatei wird konvertiert ...";
  return r;
}

}  // namespace

class AxeImportTest : public QObject {
  Q_OBJECT

 private slots:
  void portRunsTheProgramWithoutAShell() {
    QTemporaryDir tmp;
    const QString dir = tmp.filePath(QStringLiteral("Mein Ordner ü"));
    QVERIFY(QDir().mkpath(dir));
    const QString prog = dir + QStringLiteral("/conv.exe");
    script(prog, "printf '%s\\n' \"$@\" > out.txt\npwd >> out.txt\nexit 3");
    QtPort port;
    // Blanks, quotes and a semicolon stay inside their argument.
    const QStringList args{QStringLiteral("a b.axe"), QStringLiteral("x\";rm -rf y"),
                           QStringLiteral("Größe")};
    const ProcessOutcome r = port.runProcess(requestFor(prog, args, dir));
    QCOMPARE(r.end, ProcessEnd::Finished);
    QCOMPARE(r.exitCode, 3);
    QCOMPARE(QString::fromUtf8(readAll(dir + QStringLiteral("/out.txt"))),
             args.join(u'\n') + u'\n' + dir + u'\n');
  }

  void portReportsWhatDidNotRunToItsEnd() {
    QTemporaryDir tmp;
    script(tmp.filePath(QStringLiteral("plain")), "exit 0", 0644);
    script(tmp.filePath(QStringLiteral("killed")), "kill -9 $$");
    QtPort port;
    const struct {
      const char* name;
      ProcessEnd end;
    } cases[] = {{"plain", ProcessEnd::NotStarted},
                 {"absent", ProcessEnd::NotStarted},
                 {"killed", ProcessEnd::Crashed}};
    for (const auto& c : cases) {
      const ProcessOutcome r =
          port.runProcess(requestFor(tmp.filePath(QString::fromLatin1(c.name)), {}, tmp.path()));
      QVERIFY2(r.end == c.end, c.name);
      if (c.end == ProcessEnd::NotStarted) QVERIFY2(!r.error.empty(), c.name);
    }
  }

  void cancelInTheWaitDialogEndsTheProgramAndWhatItStarted() {
    QTemporaryDir tmp;
    const QString prog = tmp.filePath(QStringLiteral("hang"));
    script(prog, "echo $$ > pids\nsleep 60 &\necho $! >> pids\nwait");
    QtPort port;
    QString shownText, shownTitle;
    QObject owner;
    test::whenModal<QProgressDialog>(&owner, [&](QProgressDialog* d) {
      shownText = d->labelText();
      shownTitle = d->windowTitle();
      for (QPushButton* b : d->findChildren<QPushButton*>()) {
        if (b->text() == QStringLiteral("Abbrechen")) b->click();
      }
    });
    const ProcessOutcome r = port.runProcess(requestFor(prog, {}, tmp.path()));
    QCOMPARE(r.end, ProcessEnd::Cancelled);
    QCOMPARE(shownText, QStringLiteral("Autoroute Express Routendatei wird konvertiert ..."));
    QCOMPARE(shownTitle, QStringLiteral("Kursolin"));
    const QList<QByteArray> pids = readAll(tmp.filePath(QStringLiteral("pids"))).split('\n');
    QVERIFY(pids.size() >= 2);
    QTRY_VERIFY_WITH_TIMEOUT(ended(pids[0].toLongLong()) && ended(pids[1].toLongLong()), 5000);
  }

  void windowOffersTheImportOnlyWithTheConverterAndHidesItsButton() {
    test::ProgramFolder folder;
    test::StartedWindow w(folder);
    QAction* import = nullptr;
    for (QMenu* m : w->menuBar()->findChildren<QMenu*>(QStringLiteral("Datei"))) {
      for (QAction* a : m->actions()) {
        if (a->text() == QStringLiteral("Autoroute Express Routendatei laden")) import = a;
      }
    }
    QVERIFY(import);
    QVERIFY(import->isVisible());
    // Without the converter the import is not offered; its hint says where it belongs.
    QVERIFY(!import->isEnabled());
    QVERIFY2(import->toolTip().contains(folder.path(QString::fromLatin1(kAxeConverter))),
             qPrintable(import->toolTip()));
    // Put there while the program runs, it is offered at the next opening of the menu.
    script(folder.path(QString::fromLatin1(kAxeConverter)), "exit 0");
    QMenu* file = w->menuBar()->findChild<QMenu*>(QStringLiteral("Datei"));
    w->menuBar()->setActiveAction(file->menuAction());
    QTRY_VERIFY(file->isVisible());
    QVERIFY(import->isEnabled());
    file->close();
    auto* button = w.find<QToolButton>("FlatSpeedButton3");
    QVERIFY(button);
    QVERIFY(qobject_cast<QToolBar*>(button->parentWidget()));
    QVERIFY(!button->isVisible());
  }

  void windowShowsTheConvertedLines() {
    test::ProgramFolder folder;
    script(folder.path(QString::fromLatin1(kAxeConverter)),
           "printf '%s\\r\\n' '1150000|4810000|Start|4|' '1160000|4820000|Ziel|2|' > \"$2\"");
    folder.write(QStringLiteral("Tour.axe"), "AXE");
    test::StartedWindow w(folder);
    w.port.openAnswers.push_back(folder.sessionFile(QStringLiteral("Tour.axe")));
    QAction* import = nullptr;
    for (QAction* a : w->findChildren<QAction*>()) {
      if (a->text() == QStringLiteral("Autoroute Express Routendatei laden")) import = a;
    }
    QVERIFY(import);
    import->trigger();
    const QString lines = QStringLiteral("1150000|4810000|Start|4|\n1160000|4820000|Ziel|2|");
    QCOMPARE(w.input()->toPlainText(), lines);
    QCOMPARE(w.output()->toPlainText(), lines);
    QCOMPARE(w.label("InFileLabel"), QStringLiteral("Autoroute Express Routendatei - Zeilen = 2"));
    QCOMPARE(w.label("StatusBar"), QStringLiteral("Autoroute Express Routendatei = ") +
                                       folder.path(QStringLiteral("Tour.axe")));
    QVERIFY(w.action("Route")->isEnabled());
    QVERIFY(!QFile::exists(folder.path(QString::fromLatin1(kAxeCopy))));
    QVERIFY(!QFile::exists(folder.path(QString::fromLatin1(kAxeOutput))));
    QVERIFY(w.port.prompts.empty());
  }
};

QTEST_MAIN(AxeImportTest)
#include "axe_import_test.moc"
