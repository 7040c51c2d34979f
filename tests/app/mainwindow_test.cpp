// The main window driven as a user drives it: the first start without a settings file, settings
// that come back after a close, the rule panel's check boxes, when each command is offered, the
// format menus, the regeneration question, and a whole conversion from a loaded log.

#include <QtTest>

#include <QClipboard>
#include <QHeaderView>
#include <QMenuBar>
#include <QPrinter>
#include <QProcess>
#include <QSignalSpy>
#include <QSplitter>
#include <QStackedLayout>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextBlock>
#include <QToolBar>
#include <QToolTip>

#include "app/aboutbox.h"
#include "app/helppage.h"
#include "app/settingsdialog.h"
#include "formats/coordtext.h"
#include "formats/registry.h"
#include "session/panes.h"
#include "settings/settings.h"
#include "window_fixture.h"
#include "workflow/loading.h"
#include "workflow/presentation.h"
#include "workflow/program.h"
#include "workflow/route_command.h"

using namespace kursolin;
using namespace kursolin::test;

namespace {

QString Q(const char* utf8) {
  return QString::fromUtf8(utf8);
}

// The lines of a session made headless from the same file: what the window must show.
std::vector<std::string> headlessRoute(const ProgramFolder& folder, const std::string& log,
                                       char sep, int outputFormat) {
  ScriptedPort port;
  Session s(port, hostFor(sep));
  FormCreate(s, folder.appDir());
  s.opt.OutputFormat = outputFormat;
  applyStartFormats(s);
  loadInputFile(s, log);
  RouteExecute(s);
  return s.doc.OutputLines.lines();
}

QString joined(const std::vector<std::string>& lines) {
  QStringList out;
  for (const auto& l : lines) out << gui::toQString(l);
  return out.join(u'\n');
}

std::string logFile(const ProgramFolder& folder) {
  folder.write(QStringLiteral("fahrt.txt"), joinCrLf(sampleDrive()));
  return folder.sessionFile(QStringLiteral("fahrt.txt"));
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void firstStartShowsTheDefaults();
  void rulePanelReadsAsSentences();
  void settingsComeBackAfterAClose();
  void settingsWithEveryNthAndARuleBoxStartWithEveryNth();
  void noSettingsAreWrittenBeforeTheyWereRead();
  void everyNthExcludesTheRuleBoxes();
  void routeFilesOfferAllTheirPointsAndTargetDevicesSetTheOutput();
  void inputPaneEditsDecideTheRouteCommand();
  void outputPaneDecidesSaveAndReverse_data();
  void outputPaneDecidesSaveAndReverse();
  void editCommandsFollowTheFocusedField();
  void editMenuActsOnTheFieldItOpensOver_data();
  void editMenuActsOnTheFieldItOpensOver();
  void menusHoldEveryItemWithItsShortcut_data();
  void menusHoldEveryItemWithItsShortcut();
  void formatSubmenusSeparateEveryTwoItems();
  void formatChecksFollowTheChoice();
  void unavailableFormatsAreDisabledWithAHint();
  void textInputSubmenuShowsTheInputLabelAgain();
  void wholeConversion_data();
  void wholeConversion();
  void userEditsReachTheInputLines();
  void regenerationQuestion();
  void tableOutputShowsTheGrid();
  void printingTakesThePaneWithTheFocus();
  void printingAnEmptyPaneWarns();
  void searchSelectsTheRecordOfAPointTime();
  void windowCannotShrinkBelowItsMinimum();
  void commandKeysWinOverTheTextFieldsOwn();
  void whileARouteIsMadeCommandsWaitAndTheRouteGrows();
  void closingDuringARunClosesAfterIt();
  void settingsWithANewInputSeparatorLoadAgain();
  void helpAndInfoShowTheirWindows();
  void savingWritesTheRouteShown();
  void reversingShowsTheRouteTurnedRound();
  void loadHintInTheStatusBarAndToolBarHints();
};

void MainWindowTest::firstStartShowsTheDefaults() {
  ProgramFolder folder;
  StartedWindow w(folder);
  Session& s = w.s();

  QVERIFY(w->windowTitle().startsWith(Q("Kursolin")));
  QVERIFY(w->windowTitle().contains(Q("Kursolin-Projekt")));
  QVERIFY(w->windowTitle().contains(Q("https://kursolin.invalid/")));
  QCOMPARE(w->frameGeometry().size(), QSize(853, 693));
  QCOMPARE(w->frameGeometry().topLeft(), QPoint(20, 20));
  QCOMPARE(w.find<QSplitter>("FlatPanel1")->sizes().front(), 440);
  QCOMPARE(w.startNotices, 1);
  QTRY_COMPARE(w.modals.closed, 1);  // the start notice, shown modally

  // NMEA GGA + VTG in, Navigon MN|4.2 out, NMEA time.
  QVERIFY(w.action("IN_GGAVTG")->isChecked());
  QVERIFY(w.action("In_NMEA")->isChecked());
  QVERIFY(!w.action("IN_RMC")->isChecked());
  QVERIFY(w.action("MN42Data")->isChecked());
  QVERIFY(!w.action("MN4Data")->isChecked());
  QVERIFY(w.action("NMEATime")->isChecked());
  QVERIFY(!w.action("SommerTime")->isChecked());
  QCOMPARE(w.label("InFileLabel"), Q("NEMA Log \"GGA + VTG\""));
  QCOMPARE(w.label("OutFileLabel"), Q("MN|4.2 Routenpunkte := 0"));
  QCOMPARE(w.label("StatusBar"), Q("Keine Datei geöffnet"));
  QCOMPARE(s.opt.get(InputSeparator), std::string("\t"));
  QCOMPARE(s.opt.get(OutputSeparator), std::string("\t"));

  // The rule panel: distance, heading and stop on, time off, every-Nth off.
  QVERIFY(w.find<QCheckBox>("MeterCheck")->isChecked());
  QCOMPARE(w.find<QSpinBox>("MeterSpin")->value(), 1000);
  QCOMPARE(w.find<QSpinBox>("MeterSpeedEdit")->value(), 50);
  QVERIFY(w.find<QCheckBox>("GradCheck")->isChecked());
  QCOMPARE(w.find<QSpinBox>("GradEdit")->value(), 75);
  QCOMPARE(w.find<QSpinBox>("GradSpeedEdit")->value(), 20);
  QVERIFY(w.find<QCheckBox>("PauseCheck")->isChecked());
  QCOMPARE(w.find<QSpinBox>("PauseEdit")->value(), 3);
  QVERIFY(!w.find<QCheckBox>("ZeitCheck")->isChecked());
  QCOMPARE(w.find<QSpinBox>("ZeitSpin")->value(), 30);
  QCOMPARE(w.find<QSpinBox>("MinDistEdit")->value(), 50);
  QVERIFY(!w.find<QCheckBox>("AllGGACheck")->isChecked());
  QCOMPARE(w.find<QSpinBox>("XRPSpin")->value(), 10);
  // Nothing is loaded: the rules wait for a file, every-Nth never waits.
  QVERIFY(!w.find<QCheckBox>("MeterCheck")->isEnabled());
  QVERIFY(!w.find<QSpinBox>("MinDistEdit")->isEnabled());
  QVERIFY(w.find<QCheckBox>("AllGGACheck")->isEnabled());
  QVERIFY(w.find<QSpinBox>("XRPSpin")->isEnabled());

  // Commands at start.
  QVERIFY(!w.action("Route")->isEnabled());
  QVERIFY(!w.find<QPushButton>("RouteBerechnenBtn")->isEnabled());
  QVERIFY(!w.action("SaveNavi")->isEnabled());
  QVERIFY(!w.action("RouteReversAction")->isEnabled());
  QVERIFY(w.action("LoadNMEA")->isEnabled());
  QVERIFY(w.action("Print")->isEnabled());
  QVERIFY(w.input()->isEnabled());
  QVERIFY(w.output()->isReadOnly());
  QCOMPARE(w.input()->lineWrapMode(), QPlainTextEdit::NoWrap);
  QCOMPARE(w.output()->lineWrapMode(), QPlainTextEdit::NoWrap);
  QVERIFY(!w.find<QTableView>("TabGrid")->isVisible());
  QVERIFY(!w.find<QPushButton>("FindButton")->isVisible());
  QVERIFY(!w.action("Fehlermeldung")->isVisible());
  QVERIFY(!w.action("N5")->isVisible());
  QVERIFY(!w.action("Zeitangabe")->isVisible());
  QVERIFY(!w.action("Zeitangabe")->isEnabled());
  // A Navigon format offers the point info, off.
  QVERIFY(w.action("RPInfo")->isVisible());
  QVERIFY(w.action("RPInfo")->isEnabled());
  QVERIFY(!w.action("RPInfo")->isChecked());
  QCOMPARE(w.port.unscripted, 0);
}

void MainWindowTest::rulePanelReadsAsSentences() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  const QStringList expected = {
      Q("Alle 1000 Meter einen Routenpunkt erzeugen wenn, die Geschwindigkeit weniger als 50 "
        "KmH beträgt"),
      Q("Bei einem Richtungswechsel ab 75 Grad einen Routenpunkt erzeugen wenn, die "
        "Geschwindigkeit mehr als 20 KmH beträgt"),
      Q("Bei einem Stopp ab 3 Minuten einen Routenpunkt erzeugen. ( = Pausen erfassen )"),
      Q("Alle 30 Sekunden einen Routenpunkt erzeugen"),
      Q("Einen Mindestabstand von 50 Metern zwischen benachbarten Routenpunkten einhalten"),
      Q("Aus jedem 10 gültigen Positionsdatensatz einen Routenpunkt erzeugen"),
  };
  for (int i = 0; i < expected.size(); ++i) {
    const QByteArray row = "Row" + QByteArray::number(i + 1);
    QCOMPARE(sentenceOf(w.find<QWidget>(row.constData())), expected[i]);
  }
  QCOMPARE(w.find<QCheckBox>("MeterCheck")->text(), Q(" Alle "));
  QCOMPARE(w.find<QSpinBox>("MeterSpin")->toolTip(), Q("Alle x Meter einen Routenpunkt erzeugen"));

  struct Field {
    const char* name;
    int min, max, step;
  };
  for (const Field& f : {Field{"MeterSpin", 0, 99000, 1000}, Field{"MeterSpeedEdit", 0, 300, 10},
                         Field{"GradEdit", 0, 90, 5}, Field{"GradSpeedEdit", 0, 300, 10},
                         Field{"PauseEdit", 1, 8400, 1}, Field{"ZeitSpin", 1, 100000, 10},
                         Field{"MinDistEdit", 0, 50000, 10}, Field{"XRPSpin", 1, 1000, 1}}) {
    auto* spin = w.find<QSpinBox>(f.name);
    QVERIFY2(spin->minimum() == f.min && spin->maximum() == f.max && spin->singleStep() == f.step,
             f.name);
  }

  // Typed values outside the range end at the nearer bound; an emptied field at the minimum;
  // the session takes each.
  auto* xrp = w.find<QSpinBox>("XRPSpin");
  xrp->setFocus();
  xrp->selectAll();
  QTest::keyClicks(xrp, QStringLiteral("5000"));
  QTest::keyClick(xrp, Qt::Key_Tab);
  QCOMPARE(xrp->value(), 1000);
  QCOMPARE(w.s().opt.rules.XRPSpin, 1000);
  xrp->setFocus();
  xrp->selectAll();
  QTest::keyClick(xrp, Qt::Key_Backspace);
  QTest::keyClick(xrp, Qt::Key_Tab);
  QCOMPARE(xrp->value(), 1);
  QCOMPARE(w.s().opt.rules.XRPSpin, 1);
  xrp->setFocus();
  QTest::keyClick(xrp, Qt::Key_Up);
  QCOMPARE(w.s().opt.rules.XRPSpin, 2);
}

void MainWindowTest::settingsComeBackAfterAClose() {
  ProgramFolder folder;
  folder.settings({"[Navi]", "Sys=0",           "[Options]",     "ShowInfo=1",    "[Size]",
                   "H=600",  "W=800",           "NMW=300",       "[Pos]",         "T=40",
                   "H=300",  "[Setup]",         "DiC=0",         "DiM=2000",      "DiK=60",
                   "RwC=1",  "RwG=30",          "RwK=40",        "StopC=0",       "Stop=5",
                   "SecC=1", "Sek=60",          "MinDist=60000", "AGC=0",         "XRp=7",
                   "[Pref]", "SourceNr=2",      "TimeArt=2",     "StartDialog=0", "[Debug]",
                   "Find=1", "ShowErrorMenu=1", "ShowError=1",   "[Eigenes]",     "Notiz=bleibt"});
  QRect outer;
  {
    StartedWindow w(folder);
    QCOMPARE(w.startNotices, 0);
    QCOMPARE(w->frameGeometry(), QRect(300, 40, 800, 600));
    QCOMPARE(w.find<QSplitter>("FlatPanel1")->sizes().front(), 300);
    QVERIFY(w.action("IN_RMC")->isChecked());
    QVERIFY(!w.action("IN_GGAVTG")->isChecked());
    QVERIFY(w.action("MN4Data")->isChecked());
    QVERIFY(w.action("RPInfo")->isChecked());
    QVERIFY(w.action("SommerTime")->isChecked());
    QVERIFY(!w.find<QCheckBox>("MeterCheck")->isChecked());
    QCOMPARE(w.find<QSpinBox>("MeterSpin")->value(), 2000);
    QCOMPARE(w.find<QSpinBox>("MeterSpeedEdit")->value(), 60);
    QCOMPARE(w.find<QSpinBox>("GradEdit")->value(), 30);
    QCOMPARE(w.find<QSpinBox>("GradSpeedEdit")->value(), 40);
    QVERIFY(!w.find<QCheckBox>("PauseCheck")->isChecked());
    QCOMPARE(w.find<QSpinBox>("PauseEdit")->value(), 5);
    QVERIFY(w.find<QCheckBox>("ZeitCheck")->isChecked());
    QCOMPARE(w.find<QSpinBox>("ZeitSpin")->value(), 60);
    QCOMPARE(w.find<QSpinBox>("MinDistEdit")->value(), 50000);  // the nearer bound
    QCOMPARE(w.find<QSpinBox>("XRPSpin")->value(), 7);
    QVERIFY(w.find<QPushButton>("FindButton")->isVisible());
    QVERIFY(w.action("Fehlermeldung")->isVisible());
    QVERIFY(w.action("Fehlermeldung")->isChecked());
    QVERIFY(w.action("N5")->isVisible());
    QCOMPARE(w.label("InFileLabel"), Q("NEMA Log \"RMC\""));
    QCOMPARE(w.label("OutFileLabel"), Q("MN|4.0 + 4.1 Routenpunkte := 0"));

    // The user moves and resizes the window and changes a rule before closing.
    w->resize(900, 650);
    w->move(120, 60);
    w.find<QSpinBox>("XRPSpin")->setValue(12);
    w.find<QSplitter>("FlatPanel1")->setSizes({350, 500});
    outer = w->frameGeometry();
    QVERIFY(w->close());
  }
  ScriptedPort port;
  Session back(port, HostSettings::german());
  back.AppDir = folder.appDir();
  loadSettings(back);
  // The file holds the outer size and position, frame included.
  QCOMPARE(outer.topLeft(), QPoint(120, 60));
  QCOMPARE(back.shell.geometry.SizeW, outer.width());
  QCOMPARE(back.shell.geometry.SizeH, outer.height());
  QCOMPARE(back.shell.geometry.PosH, 120);
  QCOMPARE(back.shell.geometry.PosT, 60);
  QCOMPARE(back.shell.geometry.NMW, 350);
  QCOMPARE(back.opt.rules.XRPSpin, 12);
  QCOMPARE(back.opt.rules.MeterSpin, 2000);
  QCOMPARE(back.opt.rules.MinDistEdit, 50000);
  QVERIFY(back.opt.rules.ZeitCheck);
  QVERIFY(!back.opt.rules.MeterCheck);
  QCOMPARE(back.opt.InputFormat, 2);
  QCOMPARE(back.opt.OutputFormat, 0);
  QCOMPARE(back.opt.TimeMode, 2);
  QVERIFY(back.opt.ShowPointInfo);
  QVERIFY(!back.shell.ShowStartNotice);
  const std::string file = folder.read(QStringLiteral("Kursolin.Ini"));
  QVERIFY(file.find("[Eigenes]\r\nNotiz=bleibt\r\n") != std::string::npos);
  QVERIFY(file.find("Find=1\r\n") != std::string::npos);
}

void MainWindowTest::settingsWithEveryNthAndARuleBoxStartWithEveryNth() {
  ProgramFolder folder;
  folder.settings({"[Setup]", "DiC=1", "RwC=1", "AGC=1", "[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  QVERIFY(w.find<QCheckBox>("AllGGACheck")->isChecked());
  for (const char* name : {"MeterCheck", "GradCheck", "PauseCheck", "ZeitCheck"}) {
    QVERIFY2(!w.find<QCheckBox>(name)->isChecked(), name);
  }
}

void MainWindowTest::noSettingsAreWrittenBeforeTheyWereRead() {
  ProgramFolder folder;
  folder.settings({"[Setup]", "DiM=3000"});
  ScriptedPort port;
  {
    gui::MainWindow w(folder.appDir(), HostSettings::german(), &port);
    w.close();  // never shown, never active: the file was not read
  }
  QCOMPARE(folder.read(QStringLiteral("Kursolin.Ini")), std::string("[Setup]\r\nDiM=3000\r\n"));
}

void MainWindowTest::routeFilesOfferAllTheirPointsAndTargetDevicesSetTheOutput() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  std::string itn;
  for (int i = 0; i < 15; ++i)
    itn += std::to_string(1100000 + 800 * i) + "|4800000|P" + std::to_string(i) + "|0|\r\n";
  folder.write(QStringLiteral("tour.itn"), itn);
  StartedWindow w(folder);
  auto* box = w.find<QCheckBox>("AllePunkteCheck");
  QCOMPARE(box->text(), Q("Alle Punkte der Route übernehmen"));
  QVERIFY(!box->isEnabled());
  QVERIFY(!box->isChecked());

  // A route file: the box may be set, and then every point of it stays.
  w.port.openAnswers.push_back(folder.sessionFile(QStringLiteral("tour.itn")));
  w.action("IN_TT3")->trigger();
  QVERIFY(box->isEnabled());
  box->click();
  QVERIFY(w.s().opt.rules.AllePunkteCheck);
  w.action("Route")->trigger();
  QCOMPARE(w.s().doc.RoutePointCount, 15);

  // "Zielgerät": the profile sets the output and offers to make the route again.
  auto* menu = w->findChild<QMenu*>(QStringLiteral("Zielgeraet"));
  QVERIFY(menu);
  emit menu->aboutToShow();
  QCOMPARE(menu->actions().front()->text(), Q("Kein Profil"));
  w.port.answers.push_back(PromptAnswer::Yes);
  w.action("Zielgeraet_garmin-motorrad")->trigger();
  QVERIFY(w.action("GPXData")->isChecked());
  QVERIFY(w.s().doc.OutputLines.at(5).find("<trp:ViaPoint>") != std::string::npos);
  emit menu->aboutToShow();
  QVERIFY(w.action("Zielgeraet_garmin-motorrad")->isChecked());

  // A receiver's log is no route file (the route made is not saved: it may go).
  w.port.answers.push_back(PromptAnswer::Yes);
  w.port.openAnswers.push_back(logFile(folder));
  w.action("IN_GGAVTG")->trigger();
  QVERIFY(!box->isEnabled());
  QCOMPARE(w.port.unscripted, 0);
}

void MainWindowTest::everyNthExcludesTheRuleBoxes() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  w.load(logFile(folder));  // a usable log enables the rule boxes
  auto* all = w.find<QCheckBox>("AllGGACheck");
  auto* meter = w.find<QCheckBox>("MeterCheck");
  auto* grad = w.find<QCheckBox>("GradCheck");
  auto* pause = w.find<QCheckBox>("PauseCheck");
  auto* zeit = w.find<QCheckBox>("ZeitCheck");
  QVERIFY(meter->isEnabled());

  QTest::mouseClick(all, Qt::LeftButton);
  QVERIFY(all->isChecked());
  for (QCheckBox* c : {meter, grad, pause, zeit}) QVERIFY(!c->isChecked());
  QVERIFY(w.s().opt.rules.AllGGACheck);
  QVERIFY(!w.s().opt.rules.MeterCheck && !w.s().opt.rules.GradCheck && !w.s().opt.rules.PauseCheck);

  QTest::mouseClick(zeit, Qt::LeftButton);
  QVERIFY(zeit->isChecked());
  QVERIFY(!all->isChecked());
  QVERIFY(w.s().opt.rules.ZeitCheck);
  QVERIFY(!w.s().opt.rules.AllGGACheck);

  QTest::mouseClick(meter, Qt::LeftButton);
  QVERIFY(meter->isChecked() && zeit->isChecked());

  // Clearing "Aus jedem" is a change too: the rule boxes go with it.
  QTest::mouseClick(all, Qt::LeftButton);
  QTest::mouseClick(all, Qt::LeftButton);
  QVERIFY(!all->isChecked());
  for (QCheckBox* c : {meter, grad, pause, zeit}) QVERIFY(!c->isChecked());
}

void MainWindowTest::inputPaneEditsDecideTheRouteCommand() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  QPlainTextEdit* in = w.input();
  QAction* route = w.action("Route");
  in->setFocus();
  QTest::keyClicks(in, QStringLiteral("$GPGGA,1"));
  QVERIFY(!route->isEnabled());
  QTest::keyClick(in, Qt::Key_Return);  // one line and an empty last line
  QVERIFY(!route->isEnabled());
  QTest::keyClicks(in, QStringLiteral("$GPVTG,2"));
  QVERIFY(route->isEnabled());
  QVERIFY(w.find<QPushButton>("RouteBerechnenBtn")->isEnabled());
  QVERIFY(in->isEnabled());

  // Deleting everything by hand greys the pane; loading brings it back.
  in->selectAll();
  QTest::keyClick(in, Qt::Key_Delete);
  QVERIFY(!in->isEnabled());
  QVERIFY(!route->isEnabled());
  w.load(logFile(folder));
  QVERIFY(in->isEnabled());
  QVERIFY(route->isEnabled());
  QCOMPARE(in->document()->blockCount(), static_cast<int>(sampleDrive().size()));
}

void MainWindowTest::outputPaneDecidesSaveAndReverse_data() {
  QTest::addColumn<QByteArray>("firstLine");
  QTest::addColumn<bool>("offered");
  QTest::newRow("route line") << QByteArray("-|-|-|-|") << true;
  QTest::newRow("empty first line") << QByteArray("") << false;
  QTest::newRow("control character") << QByteArray("\x01-|-") << false;
  QTest::newRow("tab") << QByteArray("\tx") << false;
  QTest::newRow("unit separator and more") << QByteArray("\x1F-") << true;
  QTest::newRow("blank") << QByteArray(" x") << true;
}

void MainWindowTest::outputPaneDecidesSaveAndReverse() {
  QFETCH(QByteArray, firstLine);
  QFETCH(bool, offered);
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  // From a route in the pane, so each row changes what the commands show.
  w.s().doc.OutputLines.assign({offered ? "" : "-|-|-|", "second"});
  NaviChange(w.s());
  w->refresh();
  QCOMPARE(w.action("SaveNavi")->isEnabled(), !offered);
  w.s().doc.OutputLines.assign({firstLine.toStdString(), "second"});
  NaviChange(w.s());
  w->refresh();  // as at the end of every command
  QCOMPARE(w.action("SaveNavi")->isEnabled(), offered);
  QCOMPARE(w.action("RouteReversAction")->isEnabled(), offered);
  QCOMPARE(w.action("RouteVerringern")->isEnabled(), offered);
  QCOMPARE(w.output()->document()->blockCount(), 2);
  QCOMPARE(w.output()->document()->lastBlock().text(), Q("second"));
}

void MainWindowTest::editCommandsFollowTheFocusedField() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  QAction* undo = w.find<QAction>("EditUndo");
  QAction* cut = w.find<QAction>("EditCut");
  QAction* copy = w.find<QAction>("EditCopy");
  QAction* paste = w.find<QAction>("EditPaste");
  QAction* del = w.find<QAction>("EditDelete");
  QAction* all = w.find<QAction>("EditSelectAll");
  QApplication::clipboard()->clear();

  QPlainTextEdit* in = w.input();
  in->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(in));
  QVERIFY(!undo->isEnabled() && !cut->isEnabled() && !copy->isEnabled() && !all->isEnabled());
  QTest::keyClicks(in, QStringLiteral("Zeile eins"));
  QVERIFY(undo->isEnabled());
  // Alt+Backspace undoes the last edit.
  QTextCursor word = in->textCursor();
  word.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, 4);
  in->setTextCursor(word);
  QTest::keyClick(in, Qt::Key_Delete);
  QCOMPARE(in->toPlainText(), Q("Zeile "));
  QTest::keyClick(in, Qt::Key_Backspace, Qt::AltModifier);
  QCOMPARE(in->toPlainText(), Q("Zeile eins"));
  in->moveCursor(QTextCursor::End);
  QVERIFY(all->isEnabled());
  QVERIFY(!cut->isEnabled() && !del->isEnabled());
  all->trigger();
  QVERIFY(cut->isEnabled() && copy->isEnabled() && del->isEnabled());
  copy->trigger();
  QCOMPARE(QApplication::clipboard()->text(), Q("Zeile eins"));
  QVERIFY(paste->isEnabled());
  cut->trigger();
  QVERIFY(in->toPlainText().isEmpty());
  // The pane is empty now and greyed, so it lost the focus; paste goes to the next field.

  // A number field is a text field too.
  auto* spin = w.find<QSpinBox>("XRPSpin");
  spin->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(spin));
  all->trigger();
  QVERIFY(copy->isEnabled() && cut->isEnabled());
  QApplication::clipboard()->setText(QStringLiteral("25"));
  QVERIFY(paste->isEnabled());
  paste->trigger();
  QCOMPARE(spin->value(), 25);
  QCOMPARE(w.s().opt.rules.XRPSpin, 25);

  // The read-only output pane copies but cuts nothing; a button is no text field.
  w.s().doc.OutputLines.assign({"Routenpunkt"});
  NaviChange(w.s());
  w->refresh();
  w.output()->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.output()));
  w.output()->selectAll();
  QVERIFY(copy->isEnabled());
  QVERIFY(!cut->isEnabled() && !del->isEnabled() && !paste->isEnabled() && !undo->isEnabled());
  w.find<QCheckBox>("AllGGACheck")->setFocus();
  QTRY_VERIFY(!copy->isEnabled());
  QVERIFY(!paste->isEnabled() && !all->isEnabled());
}

// The menu "Bearbeiten" offers what the focused pane offers, however it is opened, and its
// items act on that pane.
void MainWindowTest::editMenuActsOnTheFieldItOpensOver_data() {
  QTest::addColumn<bool>("byKey");
  QTest::newRow("Alt+B") << true;
  QTest::newRow("mouse") << false;
}

void MainWindowTest::editMenuActsOnTheFieldItOpensOver() {
  QFETCH(bool, byKey);
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  w.load(logFile(folder));
  QApplication::clipboard()->setText(QStringLiteral("x"));
  QPlainTextEdit* in = w.input();
  in->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(in));
  QTextCursor first(in->document()->firstBlock());
  first.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  in->setTextCursor(first);
  const QString selected = first.selectedText();

  QMenu* edit = w->menuBar()->findChild<QMenu*>(QStringLiteral("Bearbeiten"));
  if (byKey) {
    QTest::keyClick(w.window.get(), Qt::Key_B, Qt::AltModifier);
  } else {
    QTest::mouseClick(w->menuBar(), Qt::LeftButton, {},
                      w->menuBar()->actionGeometry(edit->menuAction()).center());
  }
  QTRY_VERIFY(edit->isVisible());
  for (const char* name : {"EditCut", "EditCopy", "EditPaste", "EditDelete", "EditSelectAll"}) {
    QVERIFY2(w.action(name)->isEnabled(), name);
  }
  QTest::keyClick(edit, Qt::Key_K);  // "&Kopieren"
  QTRY_VERIFY(!edit->isVisible());
  QCOMPARE(QApplication::clipboard()->text(), selected);
  QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(in));
}

void MainWindowTest::menusHoldEveryItemWithItsShortcut_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QString>("shortcut");
  auto row = [](const char* name, const char* caption, const char* key) {
    QTest::newRow(name) << QString::fromLatin1(name) << Q(caption) << QString::fromLatin1(key);
  };
  row("LoadNMEA", "Datei laden", "Ctrl+L");
  row("SaveNavi", "Routendaten speichern", "Ctrl+S");
  row("Print", "Drucken", "Ctrl+P");
  row("ProgammEnde", "Be&enden", "Ctrl+Q");
  row("EditUndo", "&Rückgängig", "Ctrl+Z");
  row("EditRedo", "&Wiederherstellen", "Ctrl+Y");
  row("EditCut", "&Ausschneiden", "Ctrl+X");
  row("EditCopy", "&Kopieren", "Ctrl+C");
  row("EditPaste", "&Einfügen", "Ctrl+V");
  row("EditDelete", "&Löschen", "Del");
  row("EditSelectAll", "Alles &markieren", "");
  row("Route", "Routendaten erzeugen", "Ctrl+R");
  row("RouteReversAction", "Route umkehren", "Ctrl+U");
  row("RouteVerringern", "Route auf höchstens N Punkte verringern", "");
  row("RoutenBild", "Routenbild anzeigen", "F12");
  row("IN_Auto", "Automatisch erkennen", "Ctrl+F2");
  row("In_Text_GMS", "im Format   Grad ° Minute' Sekunde\"", "Ctrl+Shift+F1");
  row("In_Text_Mer", "im Format   Mercator", "Ctrl+Shift+F4");
  row("In_MN4", "Navigon MN|4 + 4.1", "Ctrl+F3");
  row("In_MN5", "Navigon MN|4.2 + MN5", "Ctrl+F4");
  row("IN_GGAVTG", "GGA und VTG Datensätze auswerten", "Ctrl+G");
  row("IN_RMC", "RMC Datensätze auswerten", "Ctrl+M");
  row("IN_OVL", "Top50 OVL Routen", "Ctrl+F5");
  row("IN_TT3", "TomTom  ITN Dateien", "Ctrl+F6");
  row("IN_TP_Stationen", "Nur Stationen auswerten", "Ctrl+N");
  row("IN_TP_All", "Alle Koordinaten auswerten", "Ctrl+K");
  row("IN_TP_BCR", "Tourenplaner BCR Datei", "Ctrl+F7");
  row("IN_TQV", "Touratech QV3", "Ctrl+F8");
  row("IN_GPX", "GPX Datei (Track, Route oder Wegpunkte)", "");
  row("In_NMEA", "NMEA Log ", "");
  row("IN_TP_XML", "Tourenplaner XML oder TEF  Datei", "");
  row("In_NaviTextTab", "Koordinatenpaar aus Textdatei", "");
  row("MN4Data", "Navigon Mobile Navigator MN|4.0 + 4.1", "F2");
  row("MN42Data", "Navigon Mobile Navigator MN|4.2", "F3");
  row("MN5Data", "Navigon Mobile Navigator MN 5", "F4");
  row("TTData", "TomTom  Routendatei", "F5");
  row("AutoData", "Microsoft AutoRoute Importdatei ab Vers.2002", "F6");
  row("BCRData", "Tourenplaner  BCR Datei", "F7");
  row("FPrvData", "Falk Previousdestination Datei", "F8");
  row("CSVData", "Routendaten für Tabellen ausgeben", "F9");
  row("GPXData", "GPX 1.1 Datei", "");
  row("KTXTData", "Koordinatenpaar als Textdatei", "");
  row("GMSData", "im Format   Grad ° Minute' Sekunde\"", "Ctrl+Alt+G");
  row("GMData", "im Format   Grad ° Minute'", "Ctrl+Alt+M");
  row("DGData", "im Format   Dezimal Grad", "Ctrl+Alt+D");
  row("MerData", "im Format   Mercator", "Ctrl+Alt+R");
  row("RPInfo", "Routepunkte Info ausgeben", "Ctrl+I");
  row("NMEATime", "NMEA Zeit", "");
  row("SommerTime", "Sommerzeit", "");
  row("WinterTime", "Winterzeit", "");
  row("Einstellungen", "Einstellungen", "Ctrl+Alt+E");
  row("Fehlermeldung", "Fehlermeldungen ausgeben", "");
  row("HelpAktion", "Bedienungsanleitung anzeigen", "F1");
  row("InfoAktion", "Info....", "Ctrl+F1");
}

void MainWindowTest::menusHoldEveryItemWithItsShortcut() {
  QFETCH(QString, name);
  QFETCH(QString, caption);
  QFETCH(QString, shortcut);
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  QAction* a = w.action(name.toLatin1().constData());
  QVERIFY(a);
  QCOMPARE(a->text(), caption);
  QCOMPARE(a->shortcut(), QKeySequence(shortcut));
}

void MainWindowTest::formatSubmenusSeparateEveryTwoItems() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  auto shape = [](const QMenu* m) {
    QStringList out;
    for (const QAction* a : m->actions())
      out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
  };
  QCOMPARE(shape(w.find<QMenu>("Eingabeformat")),
           QStringList({Q("Automatisch erkennen"), "-", Q("Koordinatenpaar aus Textdatei"), "-",
                        Q("Navigon MN|4 + 4.1"), "-",
                        Q("Navigon MN|4.2 + MN5"), "-", Q("NMEA Log "), "-", Q("Top50 OVL Routen"),
                        "-", Q("TomTom  ITN Dateien"), "-", Q("Tourenplaner XML oder TEF  Datei"),
                        "-", Q("Tourenplaner BCR Datei"), "-", Q("Touratech QV3"), "-",
                        Q("GPX Datei (Track, Route oder Wegpunkte)")}));
  QCOMPARE(shape(w.find<QMenu>("Ausgabeformat")),
           QStringList(
               {Q("Navigon Mobile Navigator MN|4.0 + 4.1"), "-",
                Q("Navigon Mobile Navigator MN|4.2"), "-", Q("Navigon Mobile Navigator MN 5"), "-",
                Q("TomTom  Routendatei"), "-", Q("Microsoft AutoRoute Importdatei ab Vers.2002"),
                "-", Q("Tourenplaner  BCR Datei"), "-", Q("Falk Previousdestination Datei"), "-",
                Q("Routendaten für Tabellen ausgeben"), "-", Q("GPX 1.1 Datei"), "-",
                Q("Koordinatenpaar als Textdatei")}));
  QCOMPARE(shape(w.find<QMenu>("In_NMEA")),
           QStringList({Q("GGA und VTG Datensätze auswerten"), Q("RMC Datensätze auswerten")}));
  QCOMPARE(
      shape(w.find<QMenu>("Optionen")),
      QStringList({Q("Eingabeformat"), "-", Q("Ausgabeformat"), Q("Zielgerät"), "-",
                   Q("Routepunkte Info ausgeben"),
                   Q("Zeitangabe"), Q("Routenbild anzeigen"), "-", Q("Einstellungen"),
                   Q("Fehlermeldungen ausgeben")}));
  QCOMPARE(shape(w.find<QMenu>("Datei")),
           QStringList({Q("Datei laden"), Q("Autoroute Express Routendatei laden"),
                        Q("Zuletzt geöffnet"), Q("Routendaten speichern"), "-", Q("Drucken"), "-",
                        Q("Be&enden")}));
  QCOMPARE(shape(w.find<QMenu>("Bearbeiten")),
           QStringList({Q("&Rückgängig"), Q("&Wiederherstellen"), "-", Q("&Ausschneiden"), Q("&Kopieren"), Q("&Einfügen"),
                        Q("&Löschen"), Q("Alles &markieren"), "-", Q("Routendaten erzeugen"),
                        Q("Route umkehren"), Q("Route auf höchstens N Punkte verringern")}));
}

void MainWindowTest::formatChecksFollowTheChoice() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  const QStringList outputs = {"MN4Data",  "MN42Data", "MN5Data", "TTData", "AutoData", "BCRData",
                               "FPrvData", "CSVData",  "GMSData", "GMData", "DGData",   "MerData",
                               "GPXData"};
  auto checkedOutputs = [&] {
    QStringList on;
    for (const QString& n : outputs) {
      if (w.action(n.toLatin1().constData())->isChecked()) on << n;
    }
    return on;
  };
  QCOMPARE(checkedOutputs(), QStringList({"MN42Data"}));
  w.action("CSVData")->trigger();
  QCOMPARE(checkedOutputs(), QStringList({"CSVData"}));
  QVERIFY(!w.action("RPInfo")->isVisible());
  QVERIFY(!w.action("KTXTData")->isChecked());
  QCOMPARE(w.label("OutFileLabel"), Q("CSV Datei Routenpunkte := 0"));
  w.action("MN5Data")->trigger();
  QCOMPARE(checkedOutputs(), QStringList({"MN5Data"}));
  QVERIFY(w.action("RPInfo")->isVisible());

  // Choosing an input format asks for its file at once; a cancelled dialog keeps the choice.
  w.action("IN_RMC")->trigger();
  QCOMPARE(w.port.openRequests.size(), std::size_t(1));
  QCOMPARE(w.port.openRequests.back().title, std::string("NMEA Datei laden"));
  QVERIFY(w.action("IN_RMC")->isChecked());
  QVERIFY(w.action("In_NMEA")->isChecked());
  QVERIFY(!w.action("IN_GGAVTG")->isChecked());
  w.action("In_MN4")->trigger();
  QVERIFY(w.action("In_MN4")->isChecked());
  QVERIFY(!w.action("In_NMEA")->isChecked());
  QVERIFY(!w.action("IN_RMC")->isChecked());
  QCOMPARE(w.label("InFileLabel"), Q("Navigon MN|4 oder 4.1 Routendatei"));

  // The time mode: exactly one of three.
  w.action("WinterTime")->trigger();
  QVERIFY(w.action("WinterTime")->isChecked());
  QVERIFY(!w.action("NMEATime")->isChecked() && !w.action("SommerTime")->isChecked());
  QCOMPARE(w.s().opt.TimeMode, 3);
  QCOMPARE(w.port.unscripted, 0);
}

void MainWindowTest::unavailableFormatsAreDisabledWithAHint() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  // Every format entry follows its row: available ones are offered, the others greyed with a hint.
  const auto check = [&](const std::string& item, bool available) {
    QAction* a = w.action(item.c_str());
    QVERIFY2(a, item.c_str());
    QVERIFY2(a->isEnabled() == available, item.c_str());
    if (!available) QCOMPARE(a->toolTip(), Q("In dieser Version noch nicht verfügbar"));
  };
  for (const InputPresentation& f : inputPresentations()) {
    if (f.menuEntry) check(f.menuItem, inputFormatAvailable(f.code));
  }
  for (const OutputPresentation& f : outputPresentations())
    check(f.menuItem, outputFormatAvailable(f.code));
  for (const char* name : {"IN_GGAVTG", "IN_RMC", "In_MN4", "In_MN5", "IN_OVL", "IN_TP_Stationen",
                           "IN_TP_All", "IN_TP_BCR", "IN_TT3", "IN_TQV", "In_Text_GMS",
                           "In_Text_GM", "In_Text_DG", "In_Text_Mer", "IN_GPX", "MN4Data",
                           "MN42Data", "MN5Data", "TTData", "AutoData", "BCRData", "FPrvData",
                           "CSVData", "GMSData", "GMData", "DGData", "MerData", "GPXData"}) {
    QVERIFY2(w.action(name)->isEnabled(), name);
  }
}

void MainWindowTest::textInputSubmenuShowsTheInputLabelAgain() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  w.load(logFile(folder));
  const int lines = static_cast<int>(sampleDrive().size());
  QCOMPARE(w.label("InFileLabel"), Q("NEMA Log \"GGA + VTG\" - Zeilen = %1").arg(lines));
  emit w.find<QMenu>("In_NaviTextTab")->aboutToShow();
  QCOMPARE(w.label("InFileLabel"), Q("NEMA Log \"GGA + VTG\""));
  // Neither format nor file changed.
  QVERIFY(w.action("IN_GGAVTG")->isChecked());
  QCOMPARE(w.input()->document()->blockCount(), lines);
  QCOMPARE(w.port.openRequests.size(), std::size_t(1));
}

void MainWindowTest::wholeConversion_data() {
  QTest::addColumn<char>("sep");
  QTest::newRow("comma host") << ',';
  QTest::newRow("point host") << '.';
}

void MainWindowTest::wholeConversion() {
  QFETCH(char, sep);
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  const std::string log = logFile(folder);
  StartedWindow w(folder, sep);
  const std::vector<std::string> lines = sampleDrive();

  w.load(log);
  QCOMPARE(w.port.openRequests.back().title, std::string("NMEA Datei laden"));
  QCOMPARE(w.label("InFileLabel"),
           Q("NEMA Log \"GGA + VTG\" - Zeilen = %1").arg(static_cast<int>(lines.size())));
  QCOMPARE(w.label("StatusBar"), Q("NEMA Log Datei \" GGA+VTG \"= ") + gui::toQString(log));
  QCOMPARE(w.input()->document()->firstBlock().text(), gui::toQString(lines.front()));
  QCOMPARE(w.input()->document()->lastBlock().text(), gui::toQString(lines.back()));
  QVERIFY(w.action("Route")->isEnabled());
  QVERIFY(w.action("Zeitangabe")->isVisible() && w.action("Zeitangabe")->isEnabled());
  QVERIFY(w.find<QCheckBox>("MeterCheck")->isEnabled());
  QVERIFY(!w.action("SaveNavi")->isEnabled());

  QTest::mouseClick(w.find<QPushButton>("RouteBerechnenBtn"), Qt::LeftButton);
  const std::vector<std::string> expected = headlessRoute(folder, log, sep, 1);
  QVERIFY(expected.size() >= 4);  // start, turn, stop, end at least
  QCOMPARE(w.s().doc.OutputLines.lines(), expected);
  QCOMPARE(w.output()->toPlainText(), joined(expected));
  QCOMPARE(w.label("OutFileLabel"), Q("MN|4.2 Routenpunkte := %1").arg(w.s().doc.RoutePointCount));
  QCOMPARE(w.s().doc.RoutePointCount, static_cast<int>(expected.size()));
  QVERIFY(w.action("SaveNavi")->isEnabled());
  QVERIFY(w.action("RouteReversAction")->isEnabled());
  // The route is ready to read: the focus in the output pane, its caret at the start.
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.output()));
  QCOMPARE(w.output()->textCursor().position(), 0);
  // Nothing was locked after the run.
  QVERIFY(w.action("LoadNMEA")->isEnabled() && w.action("Route")->isEnabled());
  QCOMPARE(w.port.unscripted, 0);
  QCOMPARE(w.port.busyOn, 1);
  QCOMPARE(w.port.busyOff, 1);
}

void MainWindowTest::userEditsReachTheInputLines() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  w.load(logFile(folder));
  const std::vector<std::string> lines = sampleDrive();
  // The user deletes the first GGA + VTG pair by hand and makes the route.
  QPlainTextEdit* in = w.input();
  in->setFocus();
  QTextCursor c(in->document());
  c.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, 2);
  in->setTextCursor(c);
  QTest::keyClick(in, Qt::Key_Delete);
  w.action("Route")->trigger();
  QCOMPARE(w.s().doc.InputLines.Count(), static_cast<int>(lines.size()) - 2);
  QCOMPARE(w.s().doc.InputLines.at(0), lines[2]);
  QCOMPARE(w.s().doc.InputLines.at(w.s().doc.InputLines.Count() - 1), lines.back());
  // Editing the pane is no load: the caption and the loaded file stay.
  QCOMPARE(w.label("InFileLabel"),
           Q("NEMA Log \"GGA + VTG\" - Zeilen = %1").arg(static_cast<int>(lines.size())));
  // The pane itself keeps the user's text (no reset by the window).
  QCOMPARE(in->document()->blockCount(), static_cast<int>(lines.size()) - 2);
}

void MainWindowTest::regenerationQuestion() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  const std::string log = logFile(folder);
  w.load(log);
  w.action("Route")->trigger();
  const std::vector<std::string> mn42 = w.s().doc.OutputLines.lines();

  w.port.answer({PromptAnswer::Yes});
  w.action("MN5Data")->trigger();
  QCOMPARE(w.port.prompts.back().kind, PromptKind::Confirmation);
  QCOMPARE(w.port.prompts.back().buttons, PromptButtons::YesCancel);
  QCOMPARE(w.port.prompts.back().text, "Das Ausgabeformat der Routendaten wurde geändert"_cp +
                                           "\r    Routendaten neu berechnen oder abbrechen ?");
  const std::vector<std::string> mn5 = headlessRoute(folder, log, ',', 2);
  QCOMPARE(w.s().doc.OutputLines.lines(), mn5);
  QVERIFY(mn5 != mn42);
  QCOMPARE(w.output()->toPlainText(), joined(mn5));
  QCOMPARE(w.label("OutFileLabel"), Q("MN5 Routenpunkte := %1").arg(static_cast<int>(mn5.size())));

  // Cancel keeps the lines of the old format under the new format's label.
  w.port.answer({PromptAnswer::Cancel});
  w.action("MN4Data")->trigger();
  QCOMPARE(w.s().doc.OutputLines.lines(), mn5);
  QCOMPARE(w.output()->toPlainText(), joined(mn5));
  QCOMPARE(w.label("OutFileLabel"),
           Q("MN|4.0 + 4.1 Routenpunkte := %1").arg(static_cast<int>(mn5.size())));
  QCOMPARE(w.port.unscripted, 0);
}

void MainWindowTest::tableOutputShowsTheGrid() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0", "[Debug]", "Find=1"});
  StartedWindow w(folder);
  w.load(logFile(folder));
  w.action("Route")->trigger();
  auto* grid = w.find<QTableView>("TabGrid");
  QVERIFY(!grid->isVisible());

  w.port.answer({PromptAnswer::Yes});
  w.action("CSVData")->trigger();
  QVERIFY(grid->isVisible());
  QVERIFY(!w.output()->isVisible());
  const auto& table = w.s().doc.PointTable;
  QVERIFY(!table.rows.empty());
  QCOMPARE(grid->model()->rowCount(), static_cast<int>(table.rows.size()));
  QCOMPARE(grid->model()->columnCount(), 17);
  QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), Q(" Nummer"));
  QCOMPARE(grid->model()->headerData(3, Qt::Horizontal).toString(), Q(" öL Gr.Min.Sek"));
  // At least the design widths, and wide enough for what the columns hold.
  for (int c = 0; c < 17; ++c) {
    QVERIFY(grid->columnWidth(c) >= table.widths[static_cast<std::size_t>(c)]);
    QVERIFY(grid->columnWidth(c) >= static_cast<QAbstractItemView*>(grid)->sizeHintForColumn(c));
  }
  QCOMPARE(table.widths[0], 52);
  QCOMPARE(grid->model()->index(0, 0).data().toString(), Q("00000001"));
  QCOMPARE(grid->model()->index(0, 6).data().toString(), Q("0"));
  QVERIFY(grid->horizontalHeader()->sectionsMovable());
  // With the table over the output pane the search takes the time of the chosen cell.
  const QString time = grid->model()->index(2, 1).data().toString();
  QCOMPARE(time.count(u':'), 2);
  grid->setCurrentIndex(grid->model()->index(2, 1));
  QTest::mouseClick(w.find<QPushButton>("FindButton"), Qt::LeftButton);
  QCOMPARE(w.input()->textCursor().selectedText(), QString(time).remove(u':'));

  // Cells can be edited; nothing reads them back.
  QVERIFY(grid->model()->flags(grid->model()->index(1, 1)) & Qt::ItemIsEditable);
  QVERIFY(grid->model()->setData(grid->model()->index(1, 1), Q("bearbeitet")));
  QCOMPARE(grid->model()->index(1, 1).data().toString(), Q("bearbeitet"));

  w.port.answer({PromptAnswer::Yes});
  w.action("MN42Data")->trigger();
  QVERIFY(!grid->isVisible());
  QVERIFY(w.output()->isVisible());
  QCOMPARE(w.port.unscripted, 0);
}

void MainWindowTest::printingTakesThePaneWithTheFocus() {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
    QSKIP("pdftotext is not installed");
  }
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  w.load(logFile(folder));
  w.action("Route")->trigger();
  QString pdf;
  int dialogs = 0;
  w->printDialogHandler = [&](QPrinter& printer) {
    ++dialogs;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    return true;
  };
  auto printed = [&](const QString& name) {
    pdf = folder.path(name);
    w.action("Print")->trigger();
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
  };

  w.input()->setFocus();
  QTRY_COMPARE(w->paneToPrint(), gui::MainWindow::Pane::Input);
  const QString left = printed(QStringLiteral("links.pdf"));
  QVERIFY2(left.contains(gui::toQString(sampleDrive().front()).left(30)), qPrintable(left));

  w.output()->setFocus();
  QTRY_COMPARE(w->paneToPrint(), gui::MainWindow::Pane::Output);
  // The focus moves to a tool bar or rule control: the pane focused last is printed.
  w.find<QCheckBox>("AllGGACheck")->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(),
               static_cast<QWidget*>(w.find<QCheckBox>("AllGGACheck")));
  QCOMPARE(w->paneToPrint(), gui::MainWindow::Pane::Output);
  const QString right = printed(QStringLiteral("rechts.pdf"));
  const QString firstPoint = gui::toQString(w.s().doc.OutputLines.at(0)).left(20);
  QVERIFY2(right.contains(firstPoint), qPrintable(right));
  QCOMPARE(dialogs, 2);
}

void MainWindowTest::printingAnEmptyPaneWarns() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  int dialogs = 0;
  w->printDialogHandler = [&](QPrinter&) {
    ++dialogs;
    return false;
  };
  // The empty input pane has the focus at start.
  QTRY_COMPARE(w->paneToPrint(), gui::MainWindow::Pane::Input);
  w.action("Print")->trigger();
  QCOMPARE(w.port.prompts.size(), std::size_t(1));
  QCOMPARE(w.port.prompts.back().kind, PromptKind::Warning);
  QCOMPARE(w.port.prompts.back().buttons, PromptButtons::Ok);
  QCOMPARE(w.port.prompts.back().text, std::string("Kein Text zum Drucken vorhanden"));
  QCOMPARE(dialogs, 0);
  // So is the output pane.
  w.output()->setFocus();
  QTRY_COMPARE(w->paneToPrint(), gui::MainWindow::Pane::Output);
  w.action("Print")->trigger();
  QCOMPARE(w.port.prompts.size(), std::size_t(2));
  QCOMPARE(w.port.prompts.back().text, std::string("Kein Text zum Drucken vorhanden"));
  QCOMPARE(dialogs, 0);
}

void MainWindowTest::searchSelectsTheRecordOfAPointTime() {
  ProgramFolder folder;
  folder.settings({"[Options]", "ShowInfo=1", "[Pref]", "StartDialog=0", "[Debug]", "Find=1"});
  StartedWindow w(folder);
  w.load(logFile(folder));
  w.action("Route")->trigger();
  // With the point info each Navigon label carries the point's time after "-T:".
  const QString route = w.output()->toPlainText();
  const int t = route.indexOf(QStringLiteral("-T:"), route.indexOf(u'\n'));
  QVERIFY(t > 0);
  const int start = t + 3;
  const QString time = route.mid(start, 8);
  QVERIFY2(time.count(u':') == 2, qPrintable(time));
  QTextCursor c(w.output()->document());
  c.setPosition(start);
  c.setPosition(start + 8, QTextCursor::KeepAnchor);
  w.output()->setTextCursor(c);

  auto* find = w.find<QPushButton>("FindButton");
  QVERIFY(find->isVisible());
  QTest::mouseClick(find, Qt::LeftButton);
  QString digits = time;
  digits.remove(u':');
  const QTextCursor sel = w.input()->textCursor();
  QCOMPARE(sel.selectedText(), digits);
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.input()));
  // The first line holding those digits.
  const std::vector<std::string> lines = sampleDrive();
  int expectedLine = -1;
  for (std::size_t i = 0; i < lines.size() && expectedLine < 0; ++i) {
    if (lines[i].find(digits.toStdString()) != std::string::npos)
      expectedLine = static_cast<int>(i);
  }
  QCOMPARE(w.input()->document()->findBlock(sel.selectionStart()).blockNumber(), expectedLine);

  // An empty selection leaves the left pane as it was.
  c.clearSelection();
  w.output()->setTextCursor(c);
  QTest::mouseClick(find, Qt::LeftButton);
  QCOMPARE(w.input()->textCursor().selectedText(), digits);
}

void MainWindowTest::windowCannotShrinkBelowItsMinimum() {
  ProgramFolder folder;
  folder.settings({"[Size]", "W=500", "H=300", "[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  // The whole window, frame included, as the settings store its size.
  QCOMPARE(w->frameGeometry().size(), QSize(760, 580));
  w->resize(600, 400);
  QCOMPARE(w->frameGeometry().size(), QSize(760, 580));
  w->resize(1000, 700);
  QCOMPARE(w->size(), QSize(1000, 700));  // there is no maximum
}

void MainWindowTest::commandKeysWinOverTheTextFieldsOwn() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  w.load(logFile(folder));
  w.action("Route")->trigger();
  QPlainTextEdit* in = w.input();
  in->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(in));
  const QString before = in->toPlainText();
  // Ctrl+U deletes the line in a text field of this desktop; here it reverses the route.
  QSignalSpy reversed(w.action("RouteReversAction"), &QAction::triggered);
  QTest::keyClick(in, Qt::Key_U, Qt::ControlModifier);
  QCOMPARE(reversed.count(), 1);
  QCOMPARE(in->toPlainText(), before);
  // So in a number field.
  auto* spin = w.find<QSpinBox>("XRPSpin");
  spin->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(spin));
  QTest::keyClick(spin, Qt::Key_U, Qt::ControlModifier);
  QCOMPARE(reversed.count(), 2);
  QSignalSpy routed(w.action("Route"), &QAction::triggered);
  QTest::keyClick(spin, Qt::Key_R, Qt::ControlModifier);
  QCOMPARE(routed.count(), 1);
  QCOMPARE(spin->value(), 10);
  // The edit keys stay with the field.
  in->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(in));
  QSignalSpy copied(w.find<QAction>("EditCopy"), &QAction::triggered);
  in->selectAll();
  QTest::keyClick(in, Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QApplication::clipboard()->text(), before);
}

namespace {

// A port whose event rounds during a run let the test act as a user would meanwhile.
class DuringRunPort : public ScriptedPort {
 public:
  std::function<void(long long)> duringRun;
  void processPendingEvents() override {
    ScriptedPort::processPendingEvents();
    if (duringRun) duringRun(pendingEventCalls);
  }
};

}  // namespace

void MainWindowTest::whileARouteIsMadeCommandsWaitAndTheRouteGrows() {
  ProgramFolder folder;
  // A point every two seconds: the route grows with almost every record.
  folder.settings({"[Setup]", "DiC=0", "RwC=0", "StopC=0", "SecC=1", "Sek=2", "MinDist=0", "[Pref]",
                   "StartDialog=0"});
  const std::string log = logFile(folder);
  DuringRunPort port;
  gui::MainWindow w(folder.appDir(), HostSettings::german(), &port);
  w.show();
  w.startUp();
  port.openAnswers.push_back(log);
  w.findChild<QAction*>("LoadNMEA")->trigger();
  QAction* route = w.findChild<QAction*>("Route");
  QAction* load = w.findChild<QAction*>("LoadNMEA");
  QAction* quit = w.findChild<QAction*>("ProgammEnde");
  auto* pane = w.findChild<QPlainTextEdit*>("Navi");
  auto* label = w.findChild<QLabel*>("OutFileLabel");
  bool locked = true, quitOffered = true;
  int shownMidway = -1, shownLater = -1;
  bool laterMatches = false;
  QString labelMidway;
  port.duringRun = [&](long long call) {
    locked = locked && !route->isEnabled() && !load->isEnabled();
    quitOffered = quitOffered && quit->isEnabled();
    if (call == 5) {
      // A second start of the command while it runs is refused.
      route->trigger();
      load->trigger();
    }
    if (call == 200 || call == 400) {
      QTest::qSleep(200);  // long enough for the pane to catch up with the growing route
    }
    if (call == 210) {
      shownMidway = pane->document()->blockCount();
      labelMidway = label->text();
    }
    if (call == 410) {
      // What the pane shows then is the start of the route, line for line.
      shownLater = pane->document()->blockCount();
      const auto& lines = w.session().doc.OutputLines.lines();
      laterMatches =
          pane->toPlainText() ==
          joined({lines.begin(), lines.begin() + std::min<std::size_t>(lines.size(), shownLater)});
    }
  };
  route->trigger();
  port.duringRun = nullptr;
  QVERIFY(port.pendingEventCalls > 300);
  QVERIFY(locked);
  QVERIFY(quitOffered);
  QCOMPARE(port.busyOn, 1);
  QCOMPARE(port.openRequests.size(), std::size_t(1));
  // The pane showed part of the route while it grew, and all of it at the end.
  const int points = w.session().doc.RoutePointCount;
  QVERIFY(points > 300);
  QVERIFY2(shownMidway > 1 && shownMidway < points, qPrintable(QString::number(shownMidway)));
  QVERIFY2(shownLater > shownMidway && shownLater < points,
           qPrintable(QString::number(shownLater)));
  QVERIFY(laterMatches);
  QVERIFY(labelMidway.startsWith(Q("MN|4.2 Routenpunkte := ")));
  QVERIFY(labelMidway != label->text());
  QCOMPARE(pane->toPlainText(), joined(w.session().doc.OutputLines.lines()));
  QCOMPARE(label->text(), Q("MN|4.2 Routenpunkte := %1").arg(points));
  QVERIFY(route->isEnabled() && load->isEnabled());
}

void MainWindowTest::closingDuringARunClosesAfterIt() {
  ProgramFolder folder;
  folder.settings({"[Setup]", "XRp=3", "[Pref]", "StartDialog=0"});
  const std::string log = logFile(folder);
  DuringRunPort port;
  gui::MainWindow w(folder.appDir(), HostSettings::german(), &port);
  w.show();
  w.startUp();
  port.openAnswers.push_back(log);
  w.findChild<QAction*>("LoadNMEA")->trigger();
  const std::vector<std::string> expected = headlessRoute(folder, log, ',', 1);
  bool closedMidway = true;
  port.answer({PromptAnswer::Yes});  // the route made meanwhile is not saved
  port.duringRun = [&](long long call) {
    if (call == 10) closedMidway = w.close();
  };
  w.findChild<QAction*>("Route")->trigger();
  port.duringRun = nullptr;
  QVERIFY(!closedMidway);
  // The route was finished, then the window closed and wrote its settings.
  QCOMPARE(w.session().doc.OutputLines.lines(), expected);
  QTRY_VERIFY(!w.isVisible());
  QVERIFY(folder.read(QStringLiteral("Kursolin.Ini")).find("XRp=3\r\n") != std::string::npos);
}

void MainWindowTest::settingsWithANewInputSeparatorLoadAgain() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  w.modals.enabled = false;
  QAction* settings = w.action("Einstellungen");
  QVERIFY(settings->isEnabled());

  // Closed without a change: nothing is loaded.
  whenModal<gui::SettingsDialog>(w.window.get(), [](gui::SettingsDialog* d) { d->accept(); });
  settings->trigger();
  QCOMPARE(w.port.openRequests.size(), std::size_t(0));

  // Closed with another input separator: the input format is applied again and asks for a file.
  whenModal<gui::SettingsDialog>(w.window.get(), [&w](gui::SettingsDialog* d) {
    w.s().opt.set(InputSeparator, ";");
    w.s().opt.set(InputSeparatorText, ";");
    d->accept();
  });
  settings->trigger();
  QCOMPARE(w.port.openRequests.size(), std::size_t(1));
  QCOMPARE(w.port.openRequests.back().title, std::string("NMEA Datei laden"));
}

void MainWindowTest::helpAndInfoShowTheirWindows() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  w.modals.enabled = false;
  QString helpText;
  whenModal<gui::HelpPage>(w.window.get(), [&](gui::HelpPage* p) {
    helpText = p->pane()->toPlainText();
    p->close();
  });
  w.action("HelpAktion")->trigger();
  QCOMPARE(helpText, Q("Bedienungsanleitung"));  // the help file of the program's folder
  bool about = false;
  whenModal<gui::AboutBox>(w.window.get(), [&](gui::AboutBox* b) {
    about = true;
    b->accept();
  });
  w.action("InfoAktion")->trigger();
  QVERIFY(about);
  QCOMPARE(w.port.unscripted, 0);
}

void MainWindowTest::savingWritesTheRouteShown() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  w.load(logFile(folder));
  w.action("Route")->trigger();
  QVERIFY(w.action("SaveNavi")->isEnabled());
  w.port.saveAnswers.push_back(folder.sessionFile(QStringLiteral("fahrt.rte")));
  w.action("SaveNavi")->trigger();
  QCOMPARE(w.port.saveRequests.size(), std::size_t(1));
  QCOMPARE(w.port.saveRequests.back().fileName, std::string("fahrt.rte"));
  QCOMPARE(folder.read(QStringLiteral("fahrt.rte")), joinCrLf(w.s().doc.OutputLines.lines()));
  QCOMPARE(w.port.unscripted, 0);
}

void MainWindowTest::reversingShowsTheRouteTurnedRound() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  w.load(logFile(folder));
  w.action("Route")->trigger();
  std::vector<std::string> lines = w.s().doc.OutputLines.lines();
  w.action("RouteReversAction")->trigger();
  std::reverse(lines.begin(), lines.end());
  QCOMPARE(w.s().doc.OutputLines.lines(), lines);
  QCOMPARE(w.output()->toPlainText(), joined(lines));
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.output()));
  QCOMPARE(w.port.unscripted, 0);
}

void MainWindowTest::loadHintInTheStatusBarAndToolBarHints() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  // The menu item's hint shows in the status bar while the item is under the mouse.
  QMenu* file = w->findChild<QMenu*>(QStringLiteral("Datei"));
  w->menuBar()->setActiveAction(file->menuAction());
  QTRY_VERIFY(file->isVisible());
  file->setActiveAction(w.action("LoadNMEA"));
  QCOMPARE(w->statusBar()->currentMessage(), Q("Datei mit Trackdaten laden"));
  file->close();

  // Tool bar buttons show their command's hint; the delete button shows none.
  auto* bar = w->findChild<QToolBar*>();
  auto shownTip = [bar](QAction* a) {
    QWidget* b = bar->widgetForAction(a);
    QHelpEvent e(QEvent::ToolTip, QPoint(4, 4), b->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(b, &e);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
  };
  QTRY_VERIFY(!QToolTip::isVisible());
  QCOMPARE(shownTip(w.action("EditDelete")), QString());
  const std::pair<const char*, const char*> hints[] = {
      {"LoadNMEA", "Routendaten laden"},
      {"SaveNavi", "Routendaten speichern"},
      {"Print", "Datei Drucken"},
      {"EditCut", "Ausschneiden"},
      {"EditCopy", "Kopieren"},
      {"EditPaste", "Einfügen"},
      {"Route", "Routendaten erzeugen"},
      {"RouteReversAction", "Start und Zielpunkt der Route vertauschen"}};
  for (const auto& [name, hint] : hints) QCOMPARE(shownTip(w.action(name)), Q(hint));
  QToolTip::hideText();
}

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
