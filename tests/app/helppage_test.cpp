// The help page and the manual: loading doc/KSHelp.hlp from the program's folder, the missing
// and the plain-text file, the edit bar and saving, and the manual itself (rich text that
// survives a save, with every topic a user looks for).

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFragment>
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
    QTRY_VERIFY(page.pane()->geometry().top() > bar->geometry().bottom());
    QVERIFY(s->shell.item("HelpEditPanel").visible);
  }

  void savingWritesTheEditsBack() {
    putManual();
    s->shell.debug.HelpEdit = true;
    {
      HelpPage page(*s);
      page.show();
      QVERIFY(QTest::qWaitForWindowExposed(&page));
      QTextCursor c(page.pane()->document());
      c.movePosition(QTextCursor::End);
      c.insertText(QString::fromUtf8("Eigene Notiz: Straße über Paß"));
      QTest::mouseClick(page.editPanel()->findChild<QPushButton*>(), Qt::LeftButton);
      QVERIFY(port->prompts.empty());
    }
    const QString path = appDir() + QLatin1String(kHelpFileName);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(isRtf(f.peek(16)));
    f.close();
    HelpPage again(*s);
    const QString text = again.pane()->toPlainText();
    QVERIFY(text.contains(QString::fromUtf8("Eigene Notiz: Straße über Paß")));
    QVERIFY(text.contains(QStringLiteral("kursolin-cli")));
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
