// The help page and the manual: loading doc/KSHelp.hlp from the program's folder, the missing
// and the plain-text file, the edit bar and saving, the contents list and the search, and the
// manual itself (rich text that survives a save, with every topic a user looks for).

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFragment>
#include <QTreeWidget>
#include <memory>

#include "app/helppage.h"
#include "app/qtext.h"
#include "app/rtf.h"
#include "core/cp1252.h"
#include "support/fake_port.h"

using namespace kursolin;
using namespace kursolin::gui;

namespace {

QString manualPath() {
  return QStringLiteral(KURSOLIN_TEST_DATA "/../../doc/KSHelp.hlp");
}

QByteArray manualBytes() {
  QFile f(manualPath());
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

// Text and formats, block by block and fragment by fragment.
QStringList describe(const QTextDocument& doc) {
  QStringList out;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    const QTextBlockFormat bf = b.blockFormat();
    out << QStringLiteral("block align=%1 left=%2 first=%3")
               .arg(int(bf.alignment() & Qt::AlignHorizontal_Mask))
               .arg(bf.leftMargin())
               .arg(bf.textIndent());
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      const QTextCharFormat c = f.charFormat();
      out << QStringLiteral("  [%1] bold=%2 pt=%3 family=%4")
                 .arg(f.text())
                 .arg(c.fontWeight() > QFont::Normal)
                 .arg(c.fontPointSize())
                 .arg(c.fontFamilies().toStringList().value(0));
    }
  }
  return out;
}

// The first block that holds the text (or that is exactly the text), or an invalid one.
QTextBlock blockWith(const QTextDocument& doc, const QString& text, bool exactly = false) {
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    if (exactly ? b.text() == text : b.text().contains(text)) return b;
  }
  return {};
}

// A manual of its own: a title, each chapter with a screenful of lines, a section and a bold
// numbered step in body type (no chapter) in the first, and `word` twice in the last.
QByteArray smallManual(const QStringList& chapters, const QString& word = QStringLiteral("Ziel")) {
  QByteArray rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20\r\n"
      "\\pard\\qc\\b\\fs44 Kleine Anleitung\\b0\\fs20\\par\r\n";
  auto lines = [&](const QString& what, int count) {
    for (int i = 1; i <= count; ++i) {
      rtf += "\\pard Zeile " + QByteArray::number(i) + " " + what.toLatin1() + "\\par\r\n";
    }
  };
  for (const QString& title : chapters) {
    rtf += "\\pard\\b\\fs32 " + title.toLatin1() + "\\b0\\fs20\\par\r\n";
    lines(QStringLiteral("Text"), 30);
    if (title == chapters.front()) {
      rtf +=
          "\\pard\\b 1. Kein Kapitel\\b0\\par\r\n"
          "\\pard\\b\\fs24 Ein Abschnitt\\b0\\fs20\\par\r\n";
      lines(QStringLiteral("Abschnitt"), 30);
    }
  }
  lines(QStringLiteral("mit dem ") + word, 2);
  return rtf + "}\r\n";
}

// The contents as the reader sees them, a section indented under its chapter.
QStringList entryTexts(const QTreeWidget& list) {
  QStringList out;
  for (int i = 0; i < list.topLevelItemCount(); ++i) {
    const QTreeWidgetItem* chapter = list.topLevelItem(i);
    out << chapter->text(0);
    for (int j = 0; j < chapter->childCount(); ++j) out << "  " + chapter->child(j)->text(0);
  }
  return out;
}

QList<QTreeWidgetItem*> entries(const QTreeWidget& list) {
  QList<QTreeWidgetItem*> out;
  for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&list)); *it; ++it) out << *it;
  return out;
}

// Where the selection of the pane begins, -1 without one.
int selectionAt(const QTextEdit& pane) {
  const QTextCursor c = pane.textCursor();
  return c.hasSelection() ? c.selectionStart() : -1;
}

bool caretInView(const QTextEdit& pane) {
  const QRect r = pane.cursorRect();
  return r.top() >= 0 && r.bottom() <= pane.viewport()->height();
}

}  // namespace

class HelpPageTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir;
  std::unique_ptr<test::ScriptedPort> port;
  std::unique_ptr<Session> s;

  QString appDir() const { return dir->path() + QLatin1Char('/'); }
  void putManual() {
    QVERIFY(QFile::copy(manualPath(), appDir() + QLatin1String(kHelpFileName)));
    QFile::setPermissions(appDir() + QLatin1String(kHelpFileName),
                          QFile::ReadOwner | QFile::WriteOwner);
  }
  void putManual(const QByteArray& bytes) {
    QFile f(appDir() + QLatin1String(kHelpFileName));
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
  }
  QByteArray savedManual() const {
    QFile f(appDir() + QLatin1String(kHelpFileName));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  static void showActive(HelpPage& page) {
    page.show();
    page.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&page));
  }

 private slots:
  void init() {
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    port = std::make_unique<test::ScriptedPort>();
    s = std::make_unique<Session>(*port, HostSettings::german());
    s->AppDir = fromQString(appDir());
  }
  void cleanup() {
    s.reset();
    port.reset();
    dir.reset();
  }

  void manualIsRichTextInCp1252() {
    const QByteArray bytes = manualBytes();
    QVERIFY2(!bytes.isEmpty(), "doc/KSHelp.hlp is missing");
    QVERIFY(isRtf(bytes));
    QVERIFY(bytes.contains("\\ansicpg1252"));
    for (char c : bytes) QVERIFY(static_cast<unsigned char>(c) < 0x80);  // all as \'xx
    QVERIFY(bytes.contains("\\'fc"));                                    // ü, written as an escape
    QVERIFY(bytes.endsWith("}\r\n"));
  }

  void manualCoversWhatUsersLookFor() {
    QTextDocument doc;
    readRtf(manualBytes(), doc);
    const QString text = doc.toPlainText();
    for (const char* topic : {"kursolin-cli [Optionen] EINGABE",
                              "--input-format",
                              "--output-format",
                              "-o,",
                              "--per-file",
                              "--set Abschnitt/Schluessel=Wert",
                              "--decimal-separator",
                              "--ini",
                              "--appdir",
                              "--strict",
                              "--yes",
                              "--explain",
                              "--help",
                              "Rückgabewert",
                              "GGA und VTG",
                              "RMC",
                              "Navigon MN|4 + 4.1",
                              "Navigon MN|4.2 + MN5",
                              "Routendaten für Tabellen ausgeben",
                              "In dieser Version noch nicht verfügbar",
                              "Abstand",
                              "Richtungswechsel",
                              "Stopp",
                              "Mindestabstand",
                              "Aus jedem",
                              "Routepunkte Info ausgeben",
                              "NMEA Zeit",
                              "Sommerzeit",
                              "Winterzeit",
                              "Tour_1.rte",
                              "Tour_01.rte",
                              " Koordinaten - Texteingabe ",
                              " Datei Splitting ",
                              " NMEA Höhenkorrektur",
                              "Navigon Mobile Navigator",
                              "Kursolin.Ini",
                              "TE_Trenner",
                              "MpMN=100",
                              "StartDialog=1",
                              "ShowErrorMenu",
                              "--output-dir",
                              "$XDG_CONFIG_HOME/Kursolin/Kursolin.Ini",
                              "~/.config/Kursolin/Kursolin.Ini",
                              "/usr/share/kursolin/KSHelp.hlp",
                              "auf das Fenster zieht",
                              "kursolin DATEI"}) {
      QVERIFY2(text.contains(QString::fromUtf8(topic)), topic);
    }
  }

  void manualHeadingsAreBoldAndLarger() {
    QTextDocument doc;
    readRtf(manualBytes(), doc);
    const QTextBlock body = blockWith(doc, QStringLiteral("Kursolin wandelt Routendaten um."));
    QVERIFY(body.isValid());
    const qreal bodySize = body.begin().fragment().charFormat().fontPointSize();
    for (const char* heading : {"1. Was Kursolin macht", "4. Eingabeformate",
                                "14. Der Kommandozeilen-Konverter kursolin-cli", "Aus jedem"}) {
      const QTextBlock b = blockWith(doc, QString::fromUtf8(heading), true);
      QVERIFY2(b.isValid(), heading);
      const QTextCharFormat f = b.begin().fragment().charFormat();
      QVERIFY2(f.fontWeight() > QFont::Normal, heading);
      QVERIFY2(f.fontPointSize() > bodySize, heading);
    }
  }

  void manualRoundTripsThroughWriteRtf() {
    QTextDocument first;
    readRtf(manualBytes(), first);
    const QByteArray written = writeRtf(first);
    QTextDocument second;
    readRtf(written, second);
    QCOMPARE(describe(second), describe(first));
    QCOMPARE(second.toPlainText(), first.toPlainText());
  }

  void pageLoadsTheManual() {
    putManual();
    HelpPage page(*s);
    QVERIFY(port->prompts.empty());
    QCOMPARE(page.size(), QSize(960, 480));
    QVERIFY(page.windowTitle().contains(QStringLiteral("Bedienungsanleitung")));
    QVERIFY(page.windowTitle().contains(QStringLiteral("Kursolin")));
    QVERIFY(page.windowTitle().contains(QString::fromUtf8("©")));
    QTextEdit* pane = page.pane();
    QVERIFY(pane->toPlainText().contains(QStringLiteral("kursolin-cli")));
    QVERIFY(pane->toPlainText().contains(QString::fromUtf8("Höhenkorrektur")));
    QVERIFY(!pane->isReadOnly());
    QCOMPARE(pane->lineWrapMode(), QTextEdit::NoWrap);
    QCOMPARE(pane->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(pane->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(pane->textCursor().position(), 0);
  }

  void missingFileIsReported() {
    HelpPage page(*s);
    QCOMPARE(port->prompts.size(), size_t(1));
    QCOMPARE(port->prompts[0].kind, PromptKind::Error);
    QCOMPARE(port->prompts[0].buttons, PromptButtons::Ok);
    QCOMPARE(port->prompts[0].text,
             "Datei " + s->AppDir + "KSHelp.hlp kann nicht geöffnet werden"_cp);
    QCOMPARE(page.pane()->toPlainText(),
             QStringLiteral("Bedienungsanleitung Kursolin nicht gefunden !"));
  }

  // Installed, the program lies in PREFIX/bin and its manual in the data folder; one beside the
  // program (a build tree, an unpacked copy) still comes first.
  void installedProgramFindsItsManualInItsDataFolder() {
    QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("bin")));
    const QString data = QDir::cleanPath(dir->path() + "/bin/" + KURSOLIN_DATA_FROM_BIN);
    QVERIFY(QDir().mkpath(data));
    QVERIFY(QFile::copy(manualPath(), data + "/KSHelp.hlp"));
    s->AppDir = fromQString(dir->path() + "/bin/");
    {
      HelpPage page(*s);
      QVERIFY(port->prompts.empty());
      QCOMPARE(page.helpFilePath(), fromQString(data + "/KSHelp.hlp"));
      QVERIFY(page.pane()->toPlainText().contains(QStringLiteral("kursolin-cli")));
    }
    QFile beside(dir->path() + "/bin/KSHelp.hlp");
    QVERIFY(beside.open(QIODevice::WriteOnly));
    beside.write("Anleitung neben dem Programm");
    beside.close();
    HelpPage page(*s);
    QCOMPARE(page.helpFilePath(), s->AppDir + "KSHelp.hlp");
    QCOMPARE(page.pane()->toPlainText(), QStringLiteral("Anleitung neben dem Programm"));
  }

  void plainTextFileIsShownAsText() {
    QFile f(appDir() + QLatin1String(kHelpFileName));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Hilfe f\xFCr {Kursolin}\r\nZeile 2\r\n");
    f.close();
    HelpPage page(*s);
    QVERIFY(port->prompts.empty());
    QVERIFY(
        page.pane()->toPlainText().startsWith(QString::fromUtf8("Hilfe für {Kursolin}\nZeile 2")));
  }

  void editBarFollowsTheSetting() {
    putManual();
    HelpPage page(*s);
    QFrame* bar = page.editPanel();
    QCOMPARE(bar->objectName(), QStringLiteral("HelpEditPanel"));
    QCOMPARE(bar->height(), kHelpEditPanelHeight);
    QCOMPARE(bar->findChild<QPushButton*>()->text(), QString::fromUtf8("Änderungen Speichern"));
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QVERIFY(!bar->isVisible());
    page.hide();
    s->shell.debug.HelpEdit = true;  // read from the settings after the page was created
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->height(), kHelpEditPanelHeight);
    QTRY_VERIFY(page.pane()->mapTo(&page, QPoint(0, 0)).y() > bar->geometry().bottom());
    QVERIFY(s->shell.item("HelpEditPanel").visible);
  }

  // A chapter written into the page joins the contents; saving writes the manual's text and
  // nothing of the list beside it.
  void savingWritesTheEditsBack() {
    putManual();
    s->shell.debug.HelpEdit = true;
    const QString title = QString::fromUtf8("99. Eigene Notiz: Straße über Paß");
    QString shown;
    {
      HelpPage page(*s);
      page.show();
      QVERIFY(QTest::qWaitForWindowExposed(&page));
      QTextCursor c(page.pane()->document());
      c.movePosition(QTextCursor::End);
      QTextCharFormat heading;
      heading.setFontWeight(QFont::Bold);
      heading.setFontPointSize(16);
      c.insertBlock();
      c.insertText(title, heading);
      QTRY_COMPARE(entryTexts(*page.contents()).constLast(), title);
      shown = page.pane()->toPlainText();
      QTest::mouseClick(page.editPanel()->findChild<QPushButton*>(), Qt::LeftButton);
      QVERIFY(port->prompts.empty());
    }
    QVERIFY(isRtf(savedManual()));
    HelpPage again(*s);
    QCOMPARE(again.pane()->toPlainText(), shown);
    QVERIFY(shown.contains(QStringLiteral("kursolin-cli")));
    QCOMPARE(entryTexts(*again.contents()).constLast(), title);
  }

  void contentsListTheHeadings_data() {
    QTest::addColumn<QByteArray>("manual");
    QTest::addColumn<QStringList>("expected");
    const QString first = QStringLiteral("1. Erstes Kapitel");
    const QString second = QStringLiteral("2. Zweites");
    const QString section = QStringLiteral("  Ein Abschnitt");
    QTest::newRow("chapters with a section")
        << smallManual({first, second}) << QStringList{first, section, second};
    QTest::newRow("a chapter added") << smallManual({first, second, "3. Neu hinzugekommen"})
                                     << QStringList{first, section, second, "3. Neu hinzugekommen"};
    QTest::newRow("plain text") << QByteArray("1. Keine Kapitel\r\nText\r\n") << QStringList{};
  }
  void contentsListTheHeadings() {
    QFETCH(QByteArray, manual);
    QFETCH(QStringList, expected);
    putManual(manual);
    HelpPage page(*s);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QCOMPARE(entryTexts(*page.contents()), expected);
    QCOMPARE(page.contents()->isVisible(), !expected.isEmpty());
  }

  void everyEntryReachesItsHeading_data() {
    QTest::addColumn<QByteArray>("manual");
    QTest::newRow("the manual") << manualBytes();
    QTest::newRow("a small one") << smallManual(
        {"1. Eins", "2. Zwei", "3. Drei", "4. Vier", "5. Fünf"});
  }
  void everyEntryReachesItsHeading() {
    QFETCH(QByteArray, manual);
    putManual(manual);
    HelpPage page(*s);
    showActive(page);
    QTreeWidget* list = page.contents();
    QTextEdit* pane = page.pane();
    list->expandAll();
    const QList<QTreeWidgetItem*> all = entries(*list);
    // Chapters numbered without a gap: no heading was passed over.
    int chapter = 0;
    for (const QTreeWidgetItem* e : all) {
      if (!e->parent())
        QVERIFY2(e->text(0).startsWith(QString::number(++chapter) + ". "), qPrintable(e->text(0)));
    }
    QVERIFY(chapter >= 5);
    const int margin = qRound(pane->document()->documentMargin());
    for (const bool byKey : {false, true}) {
      for (QTreeWidgetItem* e : all) {
        const QString what = e->text(0) + (byKey ? " (Enter)" : " (Klick)");
        pane->moveCursor(QTextCursor::Start);
        pane->verticalScrollBar()->setValue(0);
        if (byKey) {
          list->setFocus();
          list->setCurrentItem(e);
          QTest::keyClick(list, Qt::Key_Return);
        } else {
          list->scrollToItem(e);
          QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(e).center());
        }
        const QTextCursor c = pane->textCursor();
        QVERIFY2(!c.hasSelection() && c.position() == c.block().position(), qPrintable(what));
        QCOMPARE(c.block().text().simplified(), e->text(0));
        QCOMPARE(list->currentItem(), e);
        // The heading stands at the top of the view, the last ones as near as the end allows.
        const QScrollBar* bar = pane->verticalScrollBar();
        QVERIFY2(caretInView(*pane), qPrintable(what));
        QVERIFY2(pane->cursorRect().top() <= 2 * margin || bar->value() == bar->maximum(),
                 qPrintable(what));
        QCOMPARE(pane->horizontalScrollBar()->value(), 0);
      }
    }
    QVERIFY(page.isVisible());  // Enter in the list neither saved nor closed the page
  }

  // The search finds a word first met in a later chapter, F3 its next occurrence and wraps at
  // the end, Shift+F3 goes back; any case matches.
  void searchFindsAndGoesOn_data() {
    QTest::addColumn<QByteArray>("manual");
    QTest::addColumn<QString>("word");
    QTest::newRow("the manual") << manualBytes() << QStringLiteral("rückgabewert");
    QTest::newRow("a small one") << smallManual({"1. Eins", "2. Zwei", "3. Drei"})
                                 << QStringLiteral("ZIEL");
  }
  void searchFindsAndGoesOn() {
    QFETCH(QByteArray, manual);
    QFETCH(QString, word);
    putManual(manual);
    HelpPage page(*s);
    showActive(page);
    QTextEdit* pane = page.pane();
    const QString text = pane->toPlainText();
    QList<int> at;
    for (int i = text.indexOf(word, 0, Qt::CaseInsensitive); i >= 0;
         i = text.indexOf(word, i + 1, Qt::CaseInsensitive)) {
      at << i;
    }
    QVERIFY(at.size() >= 2);
    const QList<HelpHeading> headings = helpHeadings(*pane->document());
    QVERIFY(headings.size() >= 3 && at[0] > headings[1].position);

    QVERIFY(!page.searchBar()->isVisible());
    QTest::keyClick(pane, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(page.searchBar()->isVisible());
    QVERIFY(page.searchField()->hasFocus());
    page.searchField()->insert(word);  // typed; keyClicks takes only ASCII
    QTest::keyClick(page.searchField(), Qt::Key_Return);
    QCOMPARE(selectionAt(*pane), at[0]);
    QCOMPARE(pane->textCursor().selectedText().toLower(), word.toLower());
    QVERIFY(caretInView(*pane));
    for (int k = 1; k < at.size(); ++k) {
      QTest::keyClick(page.searchField(), Qt::Key_F3);
      QCOMPARE(selectionAt(*pane), at[k]);
      QVERIFY(caretInView(*pane));
      QVERIFY(page.searchNote()->text().isEmpty());
    }
    QTest::keyClick(pane, Qt::Key_F3);
    QCOMPARE(selectionAt(*pane), at[0]);
    QCOMPARE(page.searchNote()->text(), QStringLiteral("Suche am Anfang fortgesetzt"));
    QTest::keyClick(page.searchField(), Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(selectionAt(*pane), at.last());
    QCOMPARE(page.searchNote()->text(), QStringLiteral("Suche am Ende fortgesetzt"));
    QVERIFY(port->prompts.empty());
    // Esc closes the search before it closes the page.
    QTest::keyClick(page.searchField(), Qt::Key_Escape);
    QVERIFY(!page.searchBar()->isVisible());
    QVERIFY(page.isVisible());
    QTest::keyClick(pane, Qt::Key_Escape);
    QVERIFY(!page.isVisible());
  }

  // A word the manual lacks is reported and leaves the selection; Enter in the field never
  // saves the manual, though the edit bar is there.
  void searchReportsAMissingWord() {
    putManual();
    s->shell.debug.HelpEdit = true;
    HelpPage page(*s);
    showActive(page);
    QTextEdit* pane = page.pane();
    const QByteArray before = savedManual();
    QTextCursor(pane->document()).insertText(QStringLiteral("bearbeitet "));  // a save would show
    QVERIFY(page.findFirst(QStringLiteral("Kursolin")));
    const int selected = selectionAt(*pane);
    // Ctrl+F takes the selected word into the field.
    QTest::keyClick(pane, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(page.searchField()->text(), QStringLiteral("Kursolin"));
    QTest::keyClicks(page.searchField(), QStringLiteral("Xylophon"));
    QCOMPARE(page.searchField()->text(), QStringLiteral("Xylophon"));
    for (const int key : {Qt::Key_Return, Qt::Key_F3}) {
      QTest::keyClick(page.searchField(), Qt::Key(key));
      QCOMPARE(selectionAt(*pane), selected);
    }
    QCOMPARE(port->prompts.size(), size_t(2));
    for (const test::RecordedPrompt& p : port->prompts) {
      QCOMPARE(p.kind, PromptKind::Information);
      QCOMPARE(p.buttons, PromptButtons::Ok);
      QCOMPARE(p.text, "Der Text „Xylophon“ wurde nicht gefunden."_cp);
    }
    QCOMPARE(savedManual(), before);
  }

  void savingFailureKeepsTheText() {
    putManual();
    HelpPage page(*s);
    page.pane()->setPlainText(QStringLiteral("bearbeitet"));
    s->AppDir = fromQString(appDir() + QStringLiteral("fehlt/"));
    QVERIFY(!page.SaveBtnClick());
    QCOMPARE(port->prompts.size(), size_t(1));
    QCOMPARE(port->prompts[0].kind, PromptKind::Error);
    QCOMPARE(port->prompts[0].text, "Datei " + s->AppDir + "KSHelp.hlp kann nicht erstellt werden");
    QCOMPARE(page.pane()->toPlainText(), QStringLiteral("bearbeitet"));
    QVERIFY(!QDir(appDir() + QStringLiteral("fehlt")).exists());
  }
};

QTEST_MAIN(HelpPageTest)
#include "helppage_test.moc"
