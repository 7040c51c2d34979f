// The main window's layout at its start size and at its smallest: nothing of the rule panel, the
// headings or the large button is cut off or pushed out of the window, the panes keep room to
// show lines, and the left pane has the width the settings ask for. With KURSOLIN_SCREENSHOTS set
// to a folder, each case is also saved there as a picture.

#include <QtTest>

#include <QHeaderView>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>

#include "window_fixture.h"

using namespace kursolin;
using namespace kursolin::test;

namespace {

QString Q(const char* utf8) {
  return QString::fromUtf8(utf8);
}

// Why the widget is not shown whole, or an empty text.
QString clipped(QWidget* window, QWidget* w) {
  const QRect inWindow(w->mapTo(window, QPoint(0, 0)), w->size());
  if (!window->rect().contains(inWindow)) {
    return QStringLiteral("%1 lies outside the window").arg(w->objectName());
  }
  if (QWidget* p = w->parentWidget(); p && !p->rect().contains(w->geometry())) {
    return QStringLiteral("%1 is cut by %2").arg(w->objectName(), p->objectName());
  }
  const QSize need = w->minimumSizeHint();
  if (auto* l = qobject_cast<QLabel*>(w); l && !l->wordWrap()) {
    if (w->width() < l->sizeHint().width()) {
      return QStringLiteral("label %1 \"%2\" is too narrow").arg(l->objectName(), l->text());
    }
  } else if (need.isValid() && (w->width() < need.width() || w->height() < need.height())) {
    return QStringLiteral("%1 is smaller than it needs (%2x%3 < %4x%5)")
        .arg(w->objectName())
        .arg(w->width())
        .arg(w->height())
        .arg(need.width())
        .arg(need.height());
  }
  return {};
}

void saveShot(gui::MainWindow& w, const QString& name) {
  const QString dir = qEnvironmentVariable("KURSOLIN_SCREENSHOTS");
  if (dir.isEmpty()) return;
  QDir().mkpath(dir);
  QVERIFY(w.saveScreenshot(QDir(dir).filePath(name + QStringLiteral(".png"))));
}

}  // namespace

class MainWindowLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void nothingIsCutOff_data();
  void nothingIsCutOff();
};

void MainWindowLayoutTest::nothingIsCutOff_data() {
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("height");
  QTest::addColumn<QString>("content");
  for (const auto& [w, h] : {std::pair{853, 693}, std::pair{760, 580}}) {
    for (const char* content : {"empty", "route", "table"}) {
      const QByteArray name = QByteArray::number(w) + "x" + QByteArray::number(h) + "-" + content;
      QTest::newRow(name.constData()) << w << h << QString::fromLatin1(content);
    }
  }
}

void MainWindowLayoutTest::nothingIsCutOff() {
  QFETCH(int, width);
  QFETCH(int, height);
  QFETCH(QString, content);
  ProgramFolder folder;
  // The find button as well, so its row is part of the check.
  folder.settings({"[Size]", "W=" + std::to_string(width), "H=" + std::to_string(height),
                   "[Options]", "ShowInfo=1", "[Pref]", "StartDialog=0", "[Debug]", "Find=1"});
  folder.write(QStringLiteral("fahrt.txt"), joinCrLf(sampleDrive()));
  StartedWindow w(folder);
  if (content != u"empty") {
    w.load(folder.sessionFile(QStringLiteral("fahrt.txt")));
    if (content == u"table") {
      w.port.answer({PromptAnswer::Yes});
      w.action("CSVData")->trigger();
    } else {
      w.action("Route")->trigger();
    }
  }
  QTest::qWait(50);  // let the layouts settle
  QCOMPARE(w->frameGeometry().size(), QSize(width, height));

  QWidget* win = w.window.get();
  QStringList faults;
  auto check = [&](QWidget* x) {
    if (!x || !x->isVisible()) return;
    const QString why = clipped(win, x);
    if (!why.isEmpty()) faults << why;
  };
  QWidget* setup = w.find<QWidget>("SetupBox");
  for (QWidget* x : setup->findChildren<QWidget*>()) {
    if (x->parentWidget() && x->parentWidget()->inherits("QAbstractSpinBox")) continue;
    if (x->parentWidget() && x->parentWidget()->objectName() == u"FindButton") continue;
    check(x);
  }
  check(setup);
  check(w.find<QWidget>("SetupHeading"));
  check(w.find<QWidget>("InFileLabel"));
  check(w.find<QWidget>("OutFileLabel"));
  check(w.find<QWidget>("RouteBerechnenBtn"));
  check(w.find<QWidget>("FindButton"));
  check(w->findChild<QToolBar*>());
  QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));

  // The large button keeps 20 pixels to the window's right edge (the panel's frame aside).
  QWidget* button = w.find<QWidget>("RouteBerechnenBtn");
  const int right = win->width() - (button->mapTo(win, QPoint(0, 0)).x() + button->width());
  QVERIFY2(right >= 18 && right <= 26, qPrintable(QString::number(right)));
  // Both panes show several lines; the left one is as wide as the settings say.
  const int lineHeight = w.input()->fontMetrics().height();
  QVERIFY(w.input()->viewport()->height() >= 5 * lineHeight);
  QVERIFY(w.find<QWidget>("NaviBox")->height() >= 5 * lineHeight);
  QCOMPARE(w.find<QSplitter>("FlatPanel1")->sizes().front(), 440);
  // The find button's caption is shown whole, on as many lines as it needs.
  auto* findLabel = w.find<QWidget>("FindButton")->findChild<QLabel*>();
  QVERIFY(findLabel->height() >= findLabel->heightForWidth(findLabel->width()));
  QCOMPARE(findLabel->text(), Q(" GGA Datensatz in der  NMEA Datei finden =  bei den "
                                "Routenpunkten die Zeit markieren und diesen Button drücken"));
  saveShot(*w, QString::fromLatin1(QTest::currentDataTag()));
  if (content == u"route" && !qEnvironmentVariable("KURSOLIN_SCREENSHOTS").isEmpty()) {
    // The menus as they open, for the eye.
    for (const char* name : {"Datei", "Bearbeiten", "Optionen", "Eingabeformat", "Ausgabeformat",
                             "In_NMEA", "Zielgeraet", "Hilfe"}) {
      QMenu* m = w.find<QMenu>(name);
      m->popup(QPoint(10, 10));
      QTest::qWait(20);
      m->grab().save(QDir(qEnvironmentVariable("KURSOLIN_SCREENSHOTS"))
                         .filePath(QStringLiteral("menu-%1.png").arg(QString::fromLatin1(name))));
      m->hide();
    }
  }
}

QTEST_MAIN(MainWindowLayoutTest)
#include "mainwindow_layout_test.moc"
