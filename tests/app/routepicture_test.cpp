// The window "Routenbild" and the command "Route verringern" in the running main window:
// the picture follows generation, reduction and reversal, clicks and the caret select both ways,
// the picture is saved as PNG and the window keeps its own place in the settings file.

#include <QtTest>

#include <QRadioButton>
#include <QTextBlock>

#include "app/numberfield.h"
#include "app/routepicture.h"
#include "picture/raster.h"
#include "window_fixture.h"

using namespace kursolin;
using namespace kursolin::test;

namespace {

std::string logFile(const ProgramFolder& folder) {
  folder.write(QStringLiteral("fahrt.txt"), joinCrLf(sampleDrive()));
  return folder.sessionFile(QStringLiteral("fahrt.txt"));
}

gui::RoutePictureWindow* pictureWindow(StartedWindow& w) {
  return w->findChild<gui::RoutePictureWindow*>(QStringLiteral("Routenbild"));
}

QPoint screenPos(gui::RoutePictureView* v, int dot) {
  const CanvasPoint p = v->view().toScreen(v->picture().dots[static_cast<std::size_t>(dot)].pos);
  return QPoint(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
}

}  // namespace

class RoutePictureTest : public QObject {
  Q_OBJECT
 private slots:
  void followsGenerationReductionAndReversal();
  void clickAndCaretSelectBothWays();
  void zoomPanAndFit();
  void savesThePictureAsPng();
  void reductionDialogRemembersTheChoice();
  void placeIsKeptInTheSettings();
  void cancelStopsALongRunCleanly();
};

void RoutePictureTest::followsGenerationReductionAndReversal() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  gui::RoutePictureWindow* pic = pictureWindow(w);
  QVERIFY(pic);
  QVERIFY(!pic->isVisible());
  QVERIFY(!w.action("RouteVerringern")->isEnabled());
  QCOMPARE(w.action("RoutenBild")->shortcut(), QKeySequence(Qt::Key_F12));

  w.action("RoutenBild")->trigger();
  QVERIFY(QTest::qWaitForWindowExposed(pic));
  w.load(logFile(folder));
  QVERIFY2(!pic->pictureView()->picture().track.empty(), "the load shows the input");
  QVERIFY(pic->pictureView()->picture().dots.empty());

  // The picture grows while the route is made: a long drive, watched between its records.
  TrackBuilder longDrive(48.0, 11.0, 6 * 3600);
  longDrive.drive(90, 40, 8 * 3600, 1);
  folder.write(QStringLiteral("lang.txt"), joinCrLf(longDrive.ggaVtgLines()));
  w.load(folder.sessionFile(QStringLiteral("lang.txt")));
  std::vector<int> seen;
  bool withoutRule = false, endWhileGrowing = false;
  QTimer probe;
  probe.setInterval(0);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    const auto& dots = pic->pictureView()->picture().dots;
    seen.push_back(static_cast<int>(dots.size()));
    // Never a point half made: each shows with its rule, and none is the end before the end.
    for (const PictureDot& d : dots) withoutRule = withoutRule || !d.ruleKnown;
    endWhileGrowing = endWhileGrowing || (w.s().routeInProgress && dots.size() > 1 &&
                                          dots.back().role == DotRole::End);
  });
  probe.start();
  w.action("Route")->trigger();
  probe.stop();
  const int all = w.s().doc.RoutePointCount;
  QVERIFY(all > 100);
  QVERIFY(std::any_of(seen.begin(), seen.end(), [&](int d) { return d > 0 && d < all; }));
  QVERIFY(!withoutRule);
  QVERIFY(!endWhileGrowing);
  QCOMPARE(static_cast<int>(pic->pictureView()->picture().dots.size()), all);

  w.load(logFile(folder));
  w.action("Route")->trigger();
  const int n = w.s().doc.RoutePointCount;
  QVERIFY(n > 5);
  QCOMPARE(static_cast<int>(pic->pictureView()->picture().dots.size()), n);
  QCOMPARE(pic->pictureView()->picture().dots.front().role, DotRole::Start);
  QCOMPARE(pic->pictureView()->picture().dots.back().role, DotRole::End);

  // Reduction through its dialog: the free number 4.
  QVERIFY(w.action("RouteVerringern")->isEnabled());
  whenModal<gui::ReduceDialog>(w.window.get(), [](gui::ReduceDialog* d) {
    d->findChild<QRadioButton*>(QStringLiteral("FreeCount"))->setChecked(true);
    d->findChild<gui::NumberField*>(QStringLiteral("CountField"))->setValue(4);
    d->accept();
  });
  w.modals.enabled = false;
  w.action("RouteVerringern")->trigger();
  w.modals.enabled = true;
  QCOMPARE(w.s().doc.RoutePointCount, 4);
  QCOMPARE(w.output()->document()->blockCount(), 4);
  QCOMPARE(static_cast<int>(pic->pictureView()->picture().dots.size()), 4);
  QCOMPARE(static_cast<int>(pic->pictureView()->picture().removed.size()), n - 4);

  const GeoPosition last = pic->pictureView()->picture().dots.back().pos;
  w.action("RouteReversAction")->trigger();
  QCOMPARE(pic->pictureView()->picture().dots.front().pos.lat, last.lat);
  QCOMPARE(pic->pictureView()->picture().dots.front().number, 4);
  QCOMPARE(pic->pictureView()->picture().dots.front().order, 1);
  QCOMPARE(pic->pictureView()->picture().dots.back().order, 4);
  if (qEnvironmentVariableIsSet("KURSOLIN_SHOTS")) {
    pic->grab().save(qEnvironmentVariable("KURSOLIN_SHOTS") +
                     "/routenbild-verringert-umgekehrt.png");
  }

  // A new generation brings all points back and forgets the faded ones.
  w.action("Route")->trigger();
  QCOMPARE(static_cast<int>(pic->pictureView()->picture().dots.size()), n);
  QVERIFY(pic->pictureView()->picture().removed.empty());
  if (qEnvironmentVariableIsSet("KURSOLIN_SHOTS")) {
    pic->grab().save(qEnvironmentVariable("KURSOLIN_SHOTS") + "/routenbild.png");
    w->grab().save(qEnvironmentVariable("KURSOLIN_SHOTS") + "/hauptfenster.png");
  }
}

void RoutePictureTest::clickAndCaretSelectBothWays() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  w.load(logFile(folder));
  w.action("Route")->trigger();
  gui::RoutePictureWindow* pic = pictureWindow(w);
  w.action("RoutenBild")->trigger();
  QVERIFY(QTest::qWaitForWindowExposed(pic));
  gui::RoutePictureView* v = pic->pictureView();
  const int n = static_cast<int>(v->picture().dots.size());
  QVERIFY(n > 3);

  // A click on the third dot selects the third line of the output pane.
  QTest::mouseClick(v, Qt::LeftButton, {}, screenPos(v, 2));
  const QTextCursor c = w.output()->textCursor();
  QVERIFY(c.hasSelection());
  QCOMPARE(w.output()->document()->findBlock(c.selectionStart()).blockNumber(), 2);
  QCOMPARE(c.selectedText(), gui::toQString(w.s().doc.OutputLines.at(2)));
  QCOMPARE(v->highlighted(), 2);

  // The caret on the last line rings the last dot; on no line of a point, none.
  QTextCursor at(w.output()->document()->findBlockByNumber(n - 1));
  w.output()->setTextCursor(at);
  QCOMPARE(v->highlighted(), n - 1);

  // With the table the header goes with the first point; a click selects the row.
  w.port.answers.push_back(PromptAnswer::Yes);  // make the route again in the new format
  w.action("CSVData")->trigger();
  QVERIFY(w.s().doc.PointTable.visible);
  QTest::mouseClick(v, Qt::LeftButton, {}, screenPos(v, 1));
  auto* grid = w.find<QTableView>("TabGrid");
  QCOMPARE(grid->currentIndex().row(), 1);
  grid->setCurrentIndex(grid->model()->index(3, 0));
  QCOMPARE(v->highlighted(), 3);
}

void RoutePictureTest::zoomPanAndFit() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  w.load(logFile(folder));
  w.action("Route")->trigger();
  gui::RoutePictureWindow* pic = pictureWindow(w);
  pic->showWindow();
  QVERIFY(QTest::qWaitForWindowExposed(pic));
  gui::RoutePictureView* v = pic->pictureView();
  const double fitted = v->view().metresPerPixel();
  const QPoint pointer = screenPos(v, 1);
  const GeoPosition under =
      v->view().toGeo({static_cast<double>(pointer.x()), static_cast<double>(pointer.y())});

  QWheelEvent wheel(pointer, v->mapToGlobal(pointer), {}, QPoint(0, 240), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(v, &wheel);
  QVERIFY(v->view().metresPerPixel() < fitted / 1.4);
  const CanvasPoint still = v->view().toScreen(under);
  QVERIFY(std::abs(still.x - pointer.x()) < 1e-6 && std::abs(still.y - pointer.y()) < 1e-6);

  // A drag moves the picture with the mouse and selects nothing.
  const CanvasPoint before = v->view().toScreen(under);
  const QTextCursor caret = w.output()->textCursor();
  QTest::mousePress(v, Qt::LeftButton, {}, QPoint(50, 50));
  QTest::mouseMove(v, QPoint(60, 55));
  QTest::mouseMove(v, QPoint(90, 80));
  QTest::mouseRelease(v, Qt::LeftButton, {}, QPoint(90, 80));
  const CanvasPoint after = v->view().toScreen(under);
  QVERIFY(std::abs(after.x - before.x - 40) < 1e-6);
  QVERIFY(std::abs(after.y - before.y - 30) < 1e-6);
  QCOMPARE(w.output()->textCursor().hasSelection(), caret.hasSelection());

  // A growing route keeps the user's view; "Ganze Route" brings the whole route back.
  pic->findChild<QPushButton*>(QStringLiteral("GanzeRoute"))->click();
  QCOMPARE(v->view().metresPerPixel(), fitted);
}

void RoutePictureTest::savesThePictureAsPng() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  w.load(logFile(folder));
  w.action("Route")->trigger();
  gui::RoutePictureWindow* pic = pictureWindow(w);
  pic->showWindow();
  QVERIFY(QTest::qWaitForWindowExposed(pic));

  w.port.saveAnswers.push_back(folder.sessionFile(QStringLiteral("bild.png")));
  pic->findChild<QPushButton*>(QStringLiteral("BildSpeichern"))->click();
  QCOMPARE(w.port.saveRequests.back().title, std::string("Routenbild speichern"));
  const auto png = decodePng(folder.read(QStringLiteral("bild.png")));
  QVERIFY(png);
  gui::RoutePictureView* v = pic->pictureView();
  QCOMPARE(png->width, v->width());
  QCOMPARE(png->height, v->height());
  const QPoint start = screenPos(v, 0);
  const Rgba c = png->at(start.x(), start.y());
  QCOMPARE((Rgba{c.r, c.g, c.b, 255}), PictureColours::start);

  // A folder that is not there: a message, and no file.
  w.port.saveAnswers.push_back(folder.sessionFile(QStringLiteral("fehlt/bild.png")));
  QVERIFY(!pic->savePicture());
  QVERIFY(w.port.promptTexts().back().find("kann nicht geschrieben werden") != std::string::npos);
  QVERIFY(!QFile::exists(folder.path(QStringLiteral("fehlt"))));
}

void RoutePictureTest::reductionDialogRemembersTheChoice() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0", "[Navi]", "MaxRp=250"});
  {
    StartedWindow w(folder);
    QCOMPARE(w.s().opt.MaxRoutePoints, 250);
    gui::ReduceDialog d(w.s(), w.window.get());
    QVERIFY(d.findChild<QRadioButton*>(QStringLiteral("Preset250"))->isChecked());
    QCOMPARE(d.chosen(), 250);
    for (int n : {48, 50, 100, 255}) {
      d.findChild<QRadioButton*>(QStringLiteral("Preset%1").arg(n).toLatin1().constData())
          ->setChecked(true);
      QCOMPARE(d.chosen(), n);
    }
    w.load(logFile(folder));
    w.action("Route")->trigger();
    whenModal<gui::ReduceDialog>(w.window.get(), [](gui::ReduceDialog* dd) {
      dd->findChild<QRadioButton*>(QStringLiteral("Preset48"))->setChecked(true);
      dd->accept();
    });
    w.modals.enabled = false;
    w.action("RouteVerringern")->trigger();
    w.modals.enabled = true;
    QCOMPARE(w.s().opt.MaxRoutePoints, 48);
    w.port.answer({PromptAnswer::Yes});  // the reduced route was not saved
    w->close();
  }
  StartedWindow again(folder);
  QCOMPARE(again.s().opt.MaxRoutePoints, 48);
  gui::ReduceDialog d(again.s(), again.window.get());
  QCOMPARE(d.chosen(), 48);
  // A number no preset has comes back as the free number.
  again.s().opt.MaxRoutePoints = 77;
  gui::ReduceDialog free(again.s(), again.window.get());
  QVERIFY(free.findChild<QRadioButton*>(QStringLiteral("FreeCount"))->isChecked());
  QCOMPARE(free.chosen(), 77);
}

void RoutePictureTest::placeIsKeptInTheSettings() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0", "[Routenbild]", "T=90", "L=130", "W=610", "H=470"});
  {
    StartedWindow w(folder);
    const QRect main = w->frameGeometry();
    gui::RoutePictureWindow* pic = pictureWindow(w);
    pic->showWindow();
    QVERIFY(QTest::qWaitForWindowExposed(pic));
    QCOMPARE(pic->size(), QSize(610, 470));
    QCOMPARE(w->frameGeometry(), main);  // the main window stays as it was
    pic->resize(640, 480);
    QCoreApplication::processEvents();
    w->close();
  }
  const std::string ini = folder.read(QStringLiteral("Kursolin.Ini"));
  QVERIFY(ini.find("[Routenbild]\r\n") != std::string::npos);
  QVERIFY(ini.find("W=640\r\nH=480\r\n") != std::string::npos);
}

void RoutePictureTest::cancelStopsALongRunCleanly() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  StartedWindow w(folder);
  TrackBuilder longDrive(48.0, 11.0, 6 * 3600);
  longDrive.drive(90, 40, 4 * 3600, 1);
  folder.write(QStringLiteral("lang.txt"), joinCrLf(longDrive.ggaVtgLines()));
  w.load(folder.sessionFile(QStringLiteral("lang.txt")));
  gui::RoutePictureWindow* pic = pictureWindow(w);
  pic->showWindow();
  QVERIFY(QTest::qWaitForWindowExposed(pic));
  auto* cancel = w->findChild<QPushButton*>(QStringLiteral("RouteAbbrechen"));
  QVERIFY(cancel);
  w.action("Route")->trigger();
  const int all = w.s().doc.RoutePointCount;
  QVERIFY(cancel->isHidden());

  // "Abbrechen" shows with the progress of the long run and is clicked at once; the next run is
  // cancelled with Esc from the window that has the keyboard.
  for (const bool key : {false, true}) {
    bool cancelled = false;
    QTimer probe;
    probe.setInterval(0);
    QObject::connect(&probe, &QTimer::timeout, [&] {
      if (cancelled || !cancel->isVisible()) return;
      cancelled = true;
      if (key) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : w.window.get(), Qt::Key_Escape);
      } else {
        QTest::mouseClick(cancel, Qt::LeftButton);
      }
    });
    probe.start();
    w.action("Route")->trigger();
    probe.stop();
    QVERIFY(cancelled);
    QVERIFY(cancel->isHidden());
    QVERIFY(cancel->isEnabled());
    QVERIFY2(w.s().doc.RoutePointCount > 1 && w.s().doc.RoutePointCount < all,
             "stopped in the middle");
  }

  // The route so far, whole: lines, kept records, pane and picture agree; its last point is its
  // destination now.
  const Session& s = w.s();
  QCOMPARE(static_cast<int>(s.doc.emittedPoints.size()), s.doc.RoutePointCount);
  QCOMPARE(s.doc.OutputLines.Count(), s.doc.RoutePointCount);
  QCOMPARE(w.output()->document()->blockCount(), s.doc.OutputLines.Count());
  const auto& dots = pic->pictureView()->picture().dots;
  QCOMPARE(static_cast<int>(dots.size()), s.doc.RoutePointCount);
  QCOMPARE(dots.front().role, DotRole::Start);
  QCOMPARE(dots.back().role, DotRole::End);
  QVERIFY(w.action("Route")->isEnabled());
  QVERIFY(w.action("SaveNavi")->isEnabled());
}

QTEST_MAIN(RoutePictureTest)
#include "routepicture_test.moc"
