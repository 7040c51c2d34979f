// Pasting into the text fields: clipboard data without text (what an empty clipboard gives on
// some platforms) is refused by Ctrl+V, Shift+Insert and the middle mouse button alike, in both
// panes and the help page's text; a clipboard with text still pastes.

#include <QtTest>

#include <QClipboard>
#include <QMimeData>
#include <QTextEdit>
#include <memory>

#include "app/helppage.h"
#include "app/textpane.h"
#include "window_fixture.h"

using namespace kursolin;
using namespace kursolin::test;

namespace {

enum class Clip { NoFormat, Text };
enum class Way { CtrlV, ShiftInsert, MiddleButton };

QMimeData* clipData(Clip c) {
  auto* m = new QMimeData;
  if (c == Clip::Text) m->setText(QStringLiteral("neu"));
  return m;
}

// The clipboard, and the selection where the platform has one, hold `c`.
void fillClipboard(Clip c) {
  QClipboard* cb = QApplication::clipboard();
  cb->setMimeData(clipData(c));
  if (cb->supportsSelection()) cb->setMimeData(clipData(c), QClipboard::Selection);
}

QString textOf(QAbstractScrollArea* field) {
  if (auto* p = qobject_cast<QPlainTextEdit*>(field)) return p->toPlainText();
  return qobject_cast<QTextEdit*>(field)->toPlainText();
}

void selectAll(QAbstractScrollArea* field) {
  if (auto* p = qobject_cast<QPlainTextEdit*>(field)) {
    p->selectAll();
  } else {
    qobject_cast<QTextEdit*>(field)->selectAll();
  }
}

void paste(QAbstractScrollArea* field, Way way) {
  switch (way) {
    case Way::CtrlV:
      QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
      break;
    case Way::ShiftInsert:
      QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
      break;
    case Way::MiddleButton:
      QTest::mouseClick(field->viewport(), Qt::MiddleButton, {}, QPoint(5, 5));
      break;
  }
}

// What the middle button hands its data to where the platform has a selection clipboard;
// offscreen it has none, so the test calls it as the text control would.
template <class Field>
struct SelectionPaste : Field {
  using Field::insertFromMimeData;
};

}  // namespace

class PasteTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QApplication::clipboard()->clear(); }
  void cleanup() { QApplication::clipboard()->clear(); }

  void everyWayOfPastingInEveryField_data();
  void everyWayOfPastingInEveryField();
  void theMiddleButtonsInsertionRefusesDataWithoutText();
};

void PasteTest::everyWayOfPastingInEveryField_data() {
  QTest::addColumn<QString>("field");
  QTest::addColumn<int>("way");
  QTest::addColumn<int>("clip");
  const char* const ways[] = {"Ctrl+V", "Shift+Insert", "middle button"};
  for (const char* field : {"NMEADaten", "Navi", "HelpRichEdit"}) {
    for (int w = 0; w < 3; ++w) {
      QTest::addRow("%s, %s, no format", field, ways[w])
          << QString::fromLatin1(field) << w << int(Clip::NoFormat);
    }
    // Text on the clipboard still pastes (the middle button wants a selection clipboard).
    for (int w = 0; w < 2; ++w) {
      QTest::addRow("%s, %s, text", field, ways[w])
          << QString::fromLatin1(field) << w << int(Clip::Text);
    }
  }
}

void PasteTest::everyWayOfPastingInEveryField() {
  QFETCH(QString, field);
  QFETCH(int, way);
  QFETCH(int, clip);
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  folder.write(QStringLiteral("fahrt.txt"), joinCrLf(sampleDrive()));
  StartedWindow w(folder);
  w.load(folder.sessionFile(QStringLiteral("fahrt.txt")));
  w.action("Route")->trigger();
  QVERIFY(w.output()->document()->blockCount() > 1);

  auto* f = w->findChild<QAbstractScrollArea*>(field);
  QVERIFY(f);
  auto* help = w->findChild<gui::HelpPage*>();
  QVERIFY(help);
  if (field == u"HelpRichEdit") {
    w.modals.enabled = false;  // the page stays open while the keys reach it
    help->show();
    QVERIFY(QTest::qWaitForWindowExposed(help));
  }
  const QString before = textOf(f);
  QVERIFY(!before.isEmpty());

  selectAll(f);
  fillClipboard(static_cast<Clip>(clip));
  paste(f, static_cast<Way>(way));
  w->refresh();

  const bool pasted = static_cast<Clip>(clip) == Clip::Text && field != u"Navi";
  QCOMPARE(textOf(f), pasted ? QStringLiteral("neu") : before);
  // A refused paste leaves the loaded file as it was, and with it the route command.
  QCOMPARE(w.action("Route")->isEnabled(), !(pasted && field == u"NMEADaten"));
  help->hide();
}

void PasteTest::theMiddleButtonsInsertionRefusesDataWithoutText() {
  SelectionPaste<gui::TextPane> pane;
  SelectionPaste<gui::TextOnlyEdit<QTextEdit>> help;
  pane.setPlainText(QStringLiteral("Zeile"));
  help.setPlainText(QStringLiteral("Zeile"));
  pane.selectAll();
  help.selectAll();
  const std::unique_ptr<QMimeData> none(clipData(Clip::NoFormat));
  pane.insertFromMimeData(none.get());
  help.insertFromMimeData(none.get());
  QCOMPARE(pane.toPlainText(), QStringLiteral("Zeile"));
  QCOMPARE(help.toPlainText(), QStringLiteral("Zeile"));
  const std::unique_ptr<QMimeData> text(clipData(Clip::Text));
  pane.insertFromMimeData(text.get());
  help.insertFromMimeData(text.get());
  QCOMPARE(pane.toPlainText(), QStringLiteral("neu"));
  QCOMPARE(help.toPlainText(), QStringLiteral("neu"));
}

QTEST_MAIN(PasteTest)
#include "paste_test.moc"
