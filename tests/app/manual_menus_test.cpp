// The manual against the program: every item of the main window's menus (the format menus drawn
// from the registry among them) and of the route picture's context menu is named in the manual, and
// every menu path the manual gives
// ("Optionen » „Einstellungen“", "Einstellungen » „ Datei Splitting “") leads to an item or a
// page that exists.

#include <QtTest>

#include <QMenuBar>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextDocument>

#include "app/routepicture.h"
#include "app/rtf.h"
#include "window_fixture.h"

using namespace kursolin;
using namespace kursolin::test;

namespace {

QString plain(QString text) {
  text.remove(QLatin1Char('&'));
  return text.section(QLatin1Char('\t'), 0, 0).simplified();
}

QString manualText() {
  QFile f(QStringLiteral(KURSOLIN_TEST_DATA "/../../doc/KSHelp.hlp"));
  if (!f.open(QIODevice::ReadOnly)) return {};
  QTextDocument doc;
  gui::readRtf(f.readAll(), doc);
  return doc.toPlainText().simplified();
}

// Items of a menu and its submenus, with the path that leads to each.
void walk(const QMenu& menu, const QString& path, QList<QPair<QString, QAction*>>& out) {
  for (QAction* a : menu.actions()) {
    if (a->isSeparator() || plain(a->text()).isEmpty()) continue;
    const QString here = path + " » " + plain(a->text());
    out.append({here, a});
    if (a->menu()) walk(*a->menu(), here, out);
  }
}

QMenu* topMenu(QMenuBar& bar, const QString& title) {
  for (QAction* a : bar.actions()) {
    if (a->menu() && plain(a->text()) == title) return a->menu();
  }
  return nullptr;
}

QAction* findIn(const QMenu& menu, const QString& text) {
  for (QAction* a : menu.actions()) {
    if (plain(a->text()) == text) return a;
    if (a->menu()) {
      if (QAction* deeper = findIn(*a->menu(), text)) return deeper;
    }
  }
  return nullptr;
}

}  // namespace

class ManualMenusTest : public QObject {
  Q_OBJECT

 private slots:
  void everyMenuItemIsInTheManual() {
    const QString manual = manualText();
    QVERIFY(!manual.isEmpty());
    ProgramFolder folder;
    StartedWindow w(folder);
    QList<QPair<QString, QAction*>> items;
    for (QAction* top : w->menuBar()->actions()) {
      if (top->menu()) walk(*top->menu(), plain(top->text()), items);
    }
    QVERIFY(items.size() > 40);
    // The route picture's context menu, and its item for several selected points.
    auto* view = w->findChild<gui::RoutePictureView*>(QStringLiteral("RoutenbildFlaeche"));
    QVERIFY(view);
    const std::unique_ptr<QMenu> pictureMenu(view->contextMenuAt({0, 0}, false));
    walk(*pictureMenu, QStringLiteral("Routenbild"), items);
    QAction several(QStringLiteral("Punkte löschen"));
    items.append({QStringLiteral("Routenbild » Punkte löschen"), &several});
    QStringList missing;
    for (const auto& [path, action] : items) {
      if (!manual.contains(plain(action->text()))) missing << path;
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral("\n"))));
  }

  void everyMenuPathOfTheManualExists() {
    const QString manual = manualText();
    ProgramFolder folder;
    StartedWindow w(folder);
    QStringList pages;
    for (QTabWidget* tabs : w->findChildren<QTabWidget*>()) {
      for (int i = 0; i < tabs->count(); ++i) pages << plain(tabs->tabText(i));
    }
    const QRegularExpression path(QStringLiteral("(„[^“]+“|\\S+) » „([^“]+)“((?: » „[^“]+“)*)"));
    const QRegularExpression step(QStringLiteral("„([^“]+)“"));
    int checked = 0;
    for (auto m = path.globalMatch(manual); m.hasNext();) {
      const auto hit = m.next();
      const QString head = hit.captured(1).remove(QChar(u'„')).remove(QChar(u'“'));
      QStringList steps{plain(hit.captured(2))};
      for (auto s = step.globalMatch(hit.captured(3)); s.hasNext();) {
        steps << plain(s.next().captured(1));
      }
      ++checked;
      if (head == QStringLiteral("Einstellungen")) {
        QVERIFY2(pages.contains(steps.first()), qPrintable(hit.captured(0)));
        continue;
      }
      // A menu of the bar, or a submenu named by its caption.
      const QMenu* menu = topMenu(*w->menuBar(), head);
      if (!menu) {
        for (QAction* top : w->menuBar()->actions()) {
          if (QAction* a = top->menu() ? findIn(*top->menu(), head) : nullptr) menu = a->menu();
          if (menu) break;
        }
      }
      QVERIFY2(menu, qPrintable(hit.captured(0)));
      for (const QString& text : steps) {
        const QAction* a = findIn(*menu, text);
        QVERIFY2(a, qPrintable(hit.captured(0)));
        if (a->menu()) menu = a->menu();
      }
    }
    QVERIFY(checked >= 10);
  }
};

QTEST_MAIN(ManualMenusTest)
#include "manual_menus_test.moc"
