// Editing the route in the window "Routenbild" and its keys: a drag moves a point, Entf and the
// context menu delete, the menu and a double click insert (Shift on the recording), every edit
// is one undo step; arrows pan, +/- zoom, Tab steps through the points.

#include <QtTest>

#include <QMenu>

#include "app/qtext.h"
#include "app/routepicture.h"
#include "window_fixture.h"
#include "workflow/reduce.h"

using namespace kursolin;
using namespace kursolin::test;

namespace {

// The main window with a made route and the picture window shown.
struct Edited {
  ProgramFolder folder;
  std::unique_ptr<StartedWindow> w;
  gui::RoutePictureWindow* pic = nullptr;
  gui::RoutePictureView* v = nullptr;
  Edited() {
    folder.settings({"[Pref]", "StartDialog=0"});
    w = std::make_unique<StartedWindow>(folder);
    folder.write(QStringLiteral("fahrt.txt"), joinCrLf(sampleDrive()));
    w->load(folder.sessionFile(QStringLiteral("fahrt.txt")));
    w->action("Route")->trigger();
    pic = (*w)->findChild<gui::RoutePictureWindow*>(QStringLiteral("Routenbild"));
    pic->showWindow();
    v = pic->pictureView();
  }
  int count() const { return static_cast<int>(v->picture().dots.size()); }
  QPoint at(int dot) const { return pixel(v->picture().dots[static_cast<std::size_t>(dot)].pos); }
  QPoint pixel(const GeoPosition& g) const {
    const CanvasPoint p = v->view().toScreen(g);
    return QPoint(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
  }
  GeoPosition geo(QPoint p) const {
    return v->view().toGeo({static_cast<double>(p.x()), static_cast<double>(p.y())});
  }
  GeoPosition point(int i) const {
    return signedPosition(w->s().doc.emittedPoints[static_cast<std::size_t>(i)].record.unpack());
  }
  QString text() { return w->output()->toPlainText(); }
  void menuItem(QPoint p, const char* name) {
    std::unique_ptr<QMenu> menu(v->contextMenuAt(p, false));
    QAction* a = menu->findChild<QAction*>(QString::fromLatin1(name));
    QVERIFY2(a && a->isEnabled(), name);
    a->trigger();
  }
};

bool near(const GeoPosition& a, const GeoPosition& b) {
  return std::abs(static_cast<double>(a.lat - b.lat)) < 2e-6 &&
         std::abs(static_cast<double>(a.lon - b.lon)) < 2e-6;
}

}  // namespace

class RoutePictureEditTest : public QObject {
  Q_OBJECT
 private slots:
  void dragDeleteAndInsert();
  void keys();
};

void RoutePictureEditTest::dragDeleteAndInsert() {
  Edited e;
  QVERIFY(QTest::qWaitForWindowExposed(e.pic));
  QVERIFY(e.v->editable());
  const int n = e.count();
  QVERIFY(n > 5);
  const QString original = e.w->output()->toPlainText();

  // A drag takes the third point to the pixel it is let go at: one undo step.
  const QPoint from = e.at(2), to = from + QPoint(30, -20);
  const GeoPosition target = e.geo(to);
  QTest::mousePress(e.v, Qt::LeftButton, {}, from);
  QTest::mouseMove(e.v, from + QPoint(10, -5));
  QTest::mouseMove(e.v, to);
  QTest::mouseRelease(e.v, Qt::LeftButton, {}, to);
  QCOMPARE(e.count(), n);
  QVERIFY(near(e.point(2), target));
  QVERIFY(near(e.v->picture().dots[2].pos, target));
  QVERIFY(e.text() != original);
  QCOMPARE(e.v->highlighted(), 2);
  QCOMPARE(e.w->action("EditUndo")->text().contains(QStringLiteral("Punkt verschieben")), true);
  e.w->action("EditUndo")->trigger();
  QCOMPARE(e.text(), original);

  // Entf deletes the selected point; Ctrl+click selects more, the menu deletes them all.
  QTest::mouseClick(e.v, Qt::LeftButton, {}, e.at(3));
  QTest::keyClick(e.v, Qt::Key_Delete);
  QCOMPARE(e.count(), n - 1);
  QCOMPARE(e.w->s().doc.RoutePointCount, n - 1);
  QTest::mouseClick(e.v, Qt::LeftButton, {}, e.at(1));
  QTest::mouseClick(e.v, Qt::LeftButton, Qt::ControlModifier, e.at(4));
  QCOMPARE(e.v->selection(), (std::vector<int>{1, 4}));
  if (qEnvironmentVariableIsSet("KURSOLIN_SHOTS"))
    e.pic->grab().save(qEnvironmentVariable("KURSOLIN_SHOTS") + "/routenbild-bearbeiten.png");
  {
    std::unique_ptr<QMenu> menu(e.v->contextMenuAt(e.at(4), false));
    QCOMPARE(menu->findChild<QAction*>(QStringLiteral("PunktLoeschen"))->text(),
             QStringLiteral("Punkte löschen"));
  }
  e.menuItem(e.at(4), "PunktLoeschen");
  QCOMPARE(e.count(), n - 3);

  // "Punkt einfügen" between the first two points, on their line.
  const GeoPosition a = e.point(0), b = e.point(1);
  const QPoint middle = (e.pixel(a) + e.pixel(b)) / 2;
  e.menuItem(middle, "PunktEinfuegen");
  QCOMPARE(e.count(), n - 2);
  const GeoPosition inserted = e.point(1);
  QVERIFY(std::abs(static_cast<double>(inserted.lat - (a.lat + b.lat) / 2)) < 1e-4);
  QVERIFY(std::abs(static_cast<double>(inserted.lon - (a.lon + b.lon) / 2)) < 1e-4);

  // With Shift a double click puts the point on the recording: a record of the input.
  const QPoint between = (e.at(2) + e.at(3)) / 2;
  QTest::mouseDClick(e.v, Qt::LeftButton, Qt::ShiftModifier, between);
  QCOMPARE(e.count(), n - 1);
  const PointRecord snapped = e.w->s().doc.emittedPoints[3].record.unpack();
  const auto& track = e.v->picture().track;
  QVERIFY(std::any_of(track.begin(), track.end(),
                      [&](const GeoPosition& t) { return near(t, signedPosition(snapped)); }));
  QVERIFY(snapped.Time != e.w->s().doc.emittedPoints[2].record.unpack().Time);

  // No editing while no route is there.
  e.w->port.answers.push_back(PromptAnswer::Yes);  // the route edited is not saved
  e.w->load(e.folder.sessionFile(QStringLiteral("fahrt.txt")));
  QCOMPARE(e.count(), 0);
  QVERIFY(!e.v->editable());
}

void RoutePictureEditTest::keys() {
  Edited e;
  QVERIFY(QTest::qWaitForWindowExposed(e.pic));
  QTest::mouseClick(e.v, Qt::LeftButton, {}, QPoint(3, 3));
  QVERIFY(e.v->hasFocus());
  const double fitted = e.v->view().metresPerPixel();
  const WorldPoint centre = e.v->view().centre();

  QTest::keyClick(e.v, Qt::Key_Right);
  QVERIFY(e.v->view().centre().x > centre.x);
  QTest::keyClick(e.v, Qt::Key_Up);
  QVERIFY(e.v->view().centre().y < centre.y);
  QTest::keyClick(e.v, Qt::Key_Plus);
  QVERIFY(e.v->view().metresPerPixel() < fitted / 1.4);
  QTest::keyClick(e.v, Qt::Key_Minus);
  QTest::keyClick(e.v, Qt::Key_Minus);
  QVERIFY(e.v->view().metresPerPixel() > fitted * 1.4);
  QTest::keyClick(e.v, Qt::Key_Home);
  QCOMPARE(e.v->view().metresPerPixel(), fitted);

  // Tab rings the next point and selects its line; Shift+Tab goes back; the focus stays.
  e.v->selectOnly(-1);
  QTest::keyClick(e.v, Qt::Key_Tab);
  QTest::keyClick(e.v, Qt::Key_Tab);
  QCOMPARE(e.v->highlighted(), 1);
  QVERIFY(e.v->hasFocus());
  const QTextCursor c = e.w->output()->textCursor();
  QCOMPARE(c.selectedText(), gui::toQString(e.w->s().doc.OutputLines.at(1)));
  QTest::keyClick(e.v, Qt::Key_Backtab, Qt::ShiftModifier);
  QCOMPARE(e.v->highlighted(), 0);
  QTest::keyClick(e.v, Qt::Key_Backtab, Qt::ShiftModifier);
  QCOMPARE(e.v->highlighted(), e.count() - 1);

  // Ctrl+drag from beside the dots frames the first two into the selection.
  const QRect frame = QRect(e.at(0), e.at(1)).normalized().adjusted(-8, -8, 8, 8);
  QTest::mousePress(e.v, Qt::LeftButton, Qt::ControlModifier, frame.topLeft());
  QTest::mouseMove(e.v, frame.center());
  QTest::mouseMove(e.v, frame.bottomRight());
  QTest::mouseRelease(e.v, Qt::LeftButton, Qt::ControlModifier, frame.bottomRight());
  const std::vector<int> framed = e.v->selection();
  QVERIFY(std::find(framed.begin(), framed.end(), 0) != framed.end());
  QVERIFY(std::find(framed.begin(), framed.end(), 1) != framed.end());

  // Ctrl+Z in the picture window takes an edit back.
  const QString before = e.text();
  e.v->selectOnly(1);
  QTest::keyClick(e.v, Qt::Key_Delete);
  QVERIFY(e.text() != before);
  QTest::keyClick(e.v, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(e.text(), before);
}

QTEST_MAIN(RoutePictureEditTest)
#include "routepicture_edit_test.moc"
