// Files dropped onto the window or named on the command line are loaded as "Datei laden" loads the
// file chosen in its dialog: same format, same check, captions, messages and status.

#include <QtTest>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QUrl>

#include "window_fixture.h"
#include "workflow/loading.h"

using namespace kursolin;
using namespace kursolin::test;

namespace {

QString Q(const char* utf8) {
  return QString::fromUtf8(utf8);
}

// The widget a drag over `over` is sent to, found as Qt's window finds it: the first one up
// from it that takes drops.
QWidget* dragTarget(QWidget* over) {
  QWidget* w = over;
  while (w && !w->isWindow() && !w->acceptDrops()) w = w->parentWidget();
  return w && w->acceptDrops() ? w : nullptr;
}

// Drags the data over the middle of `over` and drops it there when the drag is taken; true when
// it was taken.
bool dragAndDrop(QWidget* over, QMimeData& data) {
  QWidget* target = dragTarget(over);
  if (!target) return false;
  const QPointF pos = over->mapTo(target->window(), over->rect().center());
  const QPointF at = target->mapFrom(target->window(), pos.toPoint());
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                        Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) {
    QDragLeaveEvent leave;
    QApplication::sendEvent(target, &leave);
    return false;
  }
  QDropEvent drop(at, enter.dropAction(), &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  return drop.isAccepted();
}

// What a file manager puts on a drag of files: their addresses and their paths as text.
std::unique_ptr<QMimeData> filesDrag(const QStringList& paths) {
  auto data = std::make_unique<QMimeData>();
  QList<QUrl> urls;
  for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
  data->setUrls(urls);
  data->setText(paths.join(u'\n'));
  return data;
}

// What the window shows of a load.
struct Shown {
  QString caption, status, firstLine;
  bool route = false;
  std::vector<std::string> prompts;
  int openDialogs = 0;
  bool operator==(const Shown&) const = default;
};

Shown shownBy(StartedWindow& w) {
  return {w.label("InFileLabel"),
          w.label("StatusBar"),
          w.input()->document()->firstBlock().text(),
          w.action("Route")->isEnabled(),
          w.port.promptTexts(),
          static_cast<int>(w.port.openRequests.size())};
}

char* toString(const Shown& s) {
  QString text = s.caption + " | " + s.status + " | " + s.firstLine +
                 (s.route ? " | Route" : " | -") + " | dialogs " + QString::number(s.openDialogs);
  for (const auto& p : s.prompts) text += " | " + gui::toQString(p);
  return qstrdup(text.toUtf8().constData());
}

}  // namespace

class FileLoadTest : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    folder_ = std::make_unique<ProgramFolder>();
    folder_->settings({"[Pref]", "StartDialog=0"});
    folder_->write("fahrt.txt", joinCrLf(sampleDrive()));
    folder_->write("vorher.txt", joinCrLf(sampleDrive()));
    TrackBuilder rmc(48.0, 11.0, 12 * 3600);
    rmc.drive(0, 40, 120);
    folder_->write("rmc.nmea", joinCrLf(rmc.rmcLines()));
    ggaLog_ = folder_->path("fahrt.txt");
    rmcLog_ = folder_->path("rmc.nmea");
  }
  void cleanup() { folder_.reset(); }

  // A drop anywhere on the window loads, as "Datei laden" loads, whatever widget is below.
  void dropLoadsAsTheLoadCommand_data() {
    QTest::addColumn<QString>("over");
    QTest::addColumn<QString>("file");
    QTest::newRow("input pane, usable log") << "NMEADaten"
                                            << "fahrt.txt";
    QTest::newRow("output pane, usable log") << "Navi"
                                             << "fahrt.txt";
    QTest::newRow("number field, usable log") << "MeterSpin"
                                              << "fahrt.txt";
    QTest::newRow("input pane, wrong file") << "NMEADaten"
                                            << "rmc.nmea";
    QTest::newRow("output pane, wrong file") << "Navi"
                                             << "rmc.nmea";
  }
  void dropLoadsAsTheLoadCommand() {
    QFETCH(QString, over);
    QFETCH(QString, file);
    const QString path = folder_->path(file);

    StartedWindow loaded(*folder_);
    loaded.load(folder_->sessionFile(file));
    Shown expected = shownBy(loaded);
    expected.openDialogs = 0;  // a drop asks for no file

    StartedWindow w(*folder_);
    // Another file and its route in the panes, which the load replaces and clears.
    w.load(folder_->sessionFile("vorher.txt"));
    w.action("Route")->trigger();
    QVERIFY(!w.s().doc.OutputLines.empty());
    w.port.clearRecords();
    w.port.openRequests.clear();
    // The route was not saved: the drop asks before it replaces it.
    w.port.answer({PromptAnswer::Yes});
    expected.prompts.insert(expected.prompts.begin(), kDiscardQuestion);

    auto* target = w.window->findChild<QWidget*>(over);
    QVERIFY(target);
    if (auto* pane = qobject_cast<QPlainTextEdit*>(target)) target = pane->viewport();
    auto data = filesDrag({path});
    QVERIFY(dragAndDrop(target, *data));
    QTRY_COMPARE(shownBy(w), expected);
    QVERIFY(w.s().doc.OutputLines.empty());
    QCOMPARE(w.output()->toPlainText(), QString());
    // The path the file manager offered as text went nowhere.
    QVERIFY(!w.input()->toPlainText().contains(path));
  }

  void dropBeforeAnyLoad() {
    // Onto a part of the window that takes no drops of its own.
    StartedWindow w(*folder_);
    auto data = filesDrag({ggaLog_});
    QVERIFY(dragAndDrop(w.find<QWidget>("SetupHeading"), *data));
    QTRY_COMPARE(
        w.label("InFileLabel"),
        Q("NEMA Log \"GGA + VTG\" - Zeilen = %1").arg(static_cast<int>(sampleDrive().size())));
    QVERIFY(w.action("Route")->isEnabled());
    QCOMPARE(w.port.unscripted, 0);
  }

  // Only a single local file is a file to load; anything else is left to the widget below.
  void otherDragsAreNotLoaded() {
    StartedWindow w(*folder_);
    w.load(folder_->sessionFile("fahrt.txt"));
    const QString caption = w.label("InFileLabel");
    QWidget* pane = w.input()->viewport();

    auto two = filesDrag({ggaLog_, rmcLog_});
    QVERIFY(!dragAndDrop(w.find<QWidget>("MeterSpin"), *two));
    auto folder = filesDrag({QFileInfo(ggaLog_).absolutePath()});
    QVERIFY(!dragAndDrop(w.find<QWidget>("MeterSpin"), *folder));
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://kursolin.invalid/fahrt.txt"))});
    QVERIFY(!dragAndDrop(w.find<QWidget>("MeterSpin"), web));
    // Plain text still goes into the input pane as text.
    QMimeData text;
    text.setText(QStringLiteral("$GPRMC,eingefuegt"));
    QVERIFY(dragAndDrop(pane, text));
    QTest::qWait(20);
    QVERIFY(w.input()->toPlainText().contains(QStringLiteral("$GPRMC,eingefuegt")));
    QCOMPARE(w.label("InFileLabel"), caption);
    QCOMPARE(w.port.openRequests.size(), std::size_t(1));
    QVERIFY(w.port.prompts.empty());
  }

  // "kursolin DATEI": loaded with the input format of the settings, once they are read.
  void commandLineFileAfterTheSettings_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("prompt");
    const int rmcLines = 120;
    QTest::newRow("usable") << "rmc.nmea" << Q("NEMA Log \"RMC\" - Zeilen = %1").arg(rmcLines)
                            << QString();
    QTest::newRow("wrong") << "fahrt.txt" << Q("NEMA - Dateifehler keine RMC Datensätze erkannt!")
                           << Q("Keine verwertbaren RMC Datensätze erkannt oder keine NEMA-Datei");
  }
  void commandLineFileAfterTheSettings() {
    QFETCH(QString, file);
    QFETCH(QString, caption);
    QFETCH(QString, prompt);
    folder_->settings({"[Pref]", "StartDialog=0", "SourceNr=2"});
    ScriptedPort port;
    ModalCloser modals;
    gui::MainWindow w(folder_->appDir(), hostFor(','), &port);
    // Relative, as typed in a terminal in the file's folder.
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(QFileInfo(folder_->path(file)).absolutePath());
    w.loadAtStartUp(file);
    w.show();
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w, 2000)) w.startUp();
    auto* label = w.findChild<QLabel*>(QStringLiteral("InFileLabel"));
    QTRY_COMPARE(label->text(), caption);
    QDir::setCurrent(cwd);
    QVERIFY(port.openRequests.empty());
    QCOMPARE(w.session().doc.InputFileName, folder_->sessionFile(file));
    if (prompt.isEmpty()) {
      QVERIFY(port.prompts.empty());
    } else {
      QCOMPARE(port.prompts.size(), std::size_t(1));
      QCOMPARE(port.prompts[0].kind, PromptKind::Error);
      QCOMPARE(port.prompts[0].buttons, PromptButtons::Abort);
      QCOMPARE(gui::toQString(port.prompts[0].text), prompt);
    }
  }

  // The start notice first, the load and its message box once it is closed: never one over
  // the other.
  void commandLineFileAfterTheStartNotice() {
    folder_->settings({"[Pref]", "StartDialog=1", "SourceNr=2"});
    ScriptedPort port;
    ModalCloser modals;
    gui::MainWindow w(folder_->appDir(), hostFor(','), &port);
    std::size_t promptsAtNotice = 99;
    connect(&w, &gui::MainWindow::startNoticeRequested, this,
            [&] { promptsAtNotice = port.prompts.size(); });
    w.loadAtStartUp(folder_->path("fahrt.txt"));  // no RMC log: an error box
    w.show();
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w, 2000)) w.startUp();
    QTRY_COMPARE(port.prompts.size(), std::size_t(1));
    QCOMPARE(promptsAtNotice, std::size_t(0));
    QCOMPARE(modals.closed, 1);
  }

  // "Automatisch erkennen": the menu entry, "Datei laden", a drop and "kursolin DATEI" load
  // logs of today's receivers with the format found.
  void automaticDetectionLoadsTodaysLogs() {
    TrackBuilder t(48.0, 11.0, 12 * 3600);
    t.drive(0, 40, 120).drive(90, 40, 120);
    std::vector<std::string> gga;
    for (const auto& f : t.fixes()) gga.push_back(ggaSentence(f));
    folder_->write("gn.nmea", joinCrLf(withTalker(t.rmcLines(), "GN")));
    folder_->write("gga.log", joinCrLf(gga));
    const QString rmcCaption = Q("NEMA Log \"RMC\" - Zeilen = 240");
    const QString ggaCaption = Q("NEMA Log \"GGA + VTG\" - Zeilen = 240");
    const auto status = [&](const char* label, const char* file) {
      return Q(label) + Q(" (automatisch erkannt) = ") +
             gui::toQString(folder_->sessionFile(Q(file)));
    };

    StartedWindow w(*folder_);
    w.port.openAnswers.push_back(folder_->sessionFile("gn.nmea"));
    w.action("IN_Auto")->trigger();
    QCOMPARE(w.port.openRequests.size(), std::size_t(1));
    QVERIFY(w.port.openRequests[0].filter.rfind("Alle lesbaren Dateien(", 0) == 0);
    QCOMPARE(w.label("InFileLabel"), rmcCaption);
    QCOMPARE(w.label("StatusBar"), status("NEMA Log \"RMC\"", "gn.nmea"));
    QVERIFY(w.action("IN_Auto")->isChecked());

    w.load(folder_->sessionFile("gga.log"));
    QCOMPARE(w.label("InFileLabel"), ggaCaption);
    QCOMPARE(w.label("StatusBar"), status("NEMA Log \"GGA + VTG\"", "gga.log"));
    QVERIFY(w.action("Route")->isEnabled());
    w.action("Route")->trigger();
    QVERIFY(w.s().doc.RoutePointCount >= 3);

    // The route just made was not saved: the drop asks first.
    w.port.answer({PromptAnswer::Yes});
    auto data = filesDrag({folder_->path("gn.nmea")});
    QVERIFY(dragAndDrop(w.find<QWidget>("SetupHeading"), *data));
    QTRY_COMPARE(w.label("InFileLabel"), rmcCaption);
    QCOMPARE(w.port.prompts.size(), std::size_t(1));
    QCOMPARE(w.port.prompts[0].text, std::string(kDiscardQuestion));
    QVERIFY(w.action("IN_Auto")->isChecked());

    // Started with a file: no error box, whatever the format.
    folder_->settings({"[Pref]", "StartDialog=0", "SourceNr=0"});
    ScriptedPort port;
    gui::MainWindow started(folder_->appDir(), hostFor(','), &port);
    started.loadAtStartUp(folder_->path("gga.log"));
    started.show();
    started.startUp();
    auto* label = started.findChild<QLabel*>(QStringLiteral("InFileLabel"));
    QTRY_COMPARE(label->text(), ggaCaption);
    QVERIFY(port.prompts.empty());
    QVERIFY(port.openRequests.empty());
  }

  void commandLineFileThatIsMissing() {
    ScriptedPort port;
    ModalCloser modals;
    gui::MainWindow w(folder_->appDir(), hostFor(','), &port);
    w.loadAtStartUp(folder_->path("fehlt.txt"));
    w.show();
    w.startUp();
    QTRY_COMPARE(port.prompts.size(), std::size_t(1));
    QCOMPARE(port.prompts[0].kind, PromptKind::Error);
    QVERIFY2(port.prompts[0].text.rfind(
                 "Die Datei " + folder_->sessionFile("fehlt.txt") + " kann nicht gelesen werden",
                 0) == 0,
             port.prompts[0].text.c_str());
    QVERIFY(!w.findChild<QAction*>(QStringLiteral("Route"))->isEnabled());
  }

 private:
  std::unique_ptr<ProgramFolder> folder_;
  QString ggaLog_, rmcLog_;
};

QTEST_MAIN(FileLoadTest)
#include "fileload_test.moc"
