// The help file's rich text: reading every feature a manual uses, passing over what it must not
// show, writing it back so "Änderungen Speichern" loses nothing, and surviving broken files.

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextFragment>
#include <random>

#include "app/rtf.h"
#include "app/rtf_fuzz.h"

using namespace kursolin::gui;

namespace {

QByteArray readData(const QString& name) {
  QFile f(QStringLiteral(KURSOLIN_TEST_DATA "/rtf/") + name);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

QStringList blockTexts(const QTextDocument& doc) {
  QStringList out;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) out << b.text();
  return out;
}

// The format of the fragment of block `block` that holds `text` (all of it), or an empty one.
QTextCharFormat formatOf(const QTextDocument& doc, int block, const QString& text, bool* whole) {
  const QTextBlock b = doc.findBlockByNumber(block);
  const int at = b.text().indexOf(text);
  *whole = false;
  if (at < 0) return {};
  for (auto it = b.begin(); !it.atEnd(); ++it) {
    const QTextFragment f = it.fragment();
    const int start = f.position() - b.position();
    if (at >= start && at < start + f.length()) {
      *whole = at + text.size() <= start + f.length();
      return f.charFormat();
    }
  }
  return {};
}

// Everything the reader sets, per block and fragment, for comparing two documents.
QStringList describe(const QTextDocument& doc) {
  QStringList out;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    const QTextBlockFormat bf = b.blockFormat();
    out << QStringLiteral("block align=%1 left=%2 right=%3 first=%4")
               .arg(int(bf.alignment() & Qt::AlignHorizontal_Mask))
               .arg(bf.leftMargin())
               .arg(bf.rightMargin())
               .arg(bf.textIndent());
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      const QTextCharFormat c = f.charFormat();
      out << QStringLiteral("  [%1] bold=%2 italic=%3 ul=%4 strike=%5 pt=%6 family=%7 color=%8")
                 .arg(f.text())
                 .arg(c.fontWeight() > QFont::Normal)
                 .arg(c.fontItalic())
                 .arg(c.fontUnderline())
                 .arg(c.fontStrikeOut())
                 .arg(c.fontPointSize())
                 .arg(c.fontFamilies().toStringList().value(0))
                 .arg(c.hasProperty(QTextFormat::ForegroundBrush) ? c.foreground().color().name()
                                                                  : QStringLiteral("auto"));
    }
  }
  return out;
}

}  // namespace

class RtfTest : public QObject {
  Q_OBJECT
 private slots:
  void recognisesRichText_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("rtf");
    QTest::newRow("rtf1") << QByteArray("{\\rtf1\\ansi x}") << true;
    QTest::newRow("bare") << QByteArray("{\\rtf") << true;
    QTest::newRow("plain") << QByteArray("Bedienungsanleitung") << false;
    QTest::newRow("leading blank") << QByteArray(" {\\rtf1 x}") << false;
    QTest::newRow("upper case") << QByteArray("{\\RTF1 x}") << false;
    QTest::newRow("empty") << QByteArray() << false;
  }
  void recognisesRichText() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, rtf);
    QCOMPARE(isRtf(bytes), rtf);
  }

  void readsTheSampleText() {
    const QByteArray bytes = readData("features.rtf");
    QVERIFY(!bytes.isEmpty());
    QTextDocument doc;
    readRtf(bytes, doc);
    const QStringList expected = {
        "Bedienungsanleitung",
        "Normaler Text mit fett, kursiv und unterstrichen und wieder normal.",
        "Farbe: rot und blau, Schrift Courier und Eigen.",
        QString::fromUtf8("Umlaute: Prüfsumme, über, Straße, 12° 34´, € 5."),
        QString::fromUtf8("Unicode: €=Euro, €Ende, Gesicht 😀."),
        "Zeichen: \\ { } Ende.",
        QStringLiteral("Spalte1\tSpalte2") + QChar(QChar::LineSeparator) + "zweite Zeile",
        "Bild weg.",
        "fett fett kursiv fett normal.",
        QString::fromUtf8("Rechts eingerückt."),
        "durch Letzter Absatz ohne par",
    };
    QCOMPARE(blockTexts(doc), expected);
  }

  void readsTheSampleFormats() {
    QTextDocument doc;
    readRtf(readData("features.rtf"), doc);
    struct Expect {
      int block;
      const char* text;
      bool bold, italic, underline, strike;
      qreal points;
      const char* family;
      const char* color;  // "" for automatic
    };
    const Expect cases[] = {
        {0, "Bedienungsanleitung", true, false, false, false, 16, "Arial", ""},
        {1, "Normaler Text mit ", false, false, false, false, 10, "Arial", ""},
        {1, "fett", true, false, false, false, 10, "Arial", ""},
        {1, "kursiv", false, true, false, false, 10, "Arial", ""},
        {1, "unterstrichen", false, false, true, false, 10, "Arial", ""},
        {1, " und wieder normal.", false, false, false, false, 10, "Arial", ""},
        {2, "rot", false, false, false, false, 10, "Arial", "#ff0000"},
        {2, "blau", false, false, false, false, 10, "Arial", "#0000ff"},
        {2, " und ", false, false, false, false, 10, "Arial", ""},
        {2, "Courier", false, false, false, false, 10, "Courier New", ""},
        {2, "Eigen", false, false, false, false, 10, "Müller Sans", ""},
        {8, "fett fett kursiv", true, false, false, false, 10, "Arial", ""},
        {8, "fett kursiv", true, true, false, false, 10, "Arial", ""},
        {8, " normal.", false, false, false, false, 10, "Arial", ""},
        {10, "durch", false, false, false, true, 10, "Arial", ""},
        {10, " Letzter", false, false, false, false, 10, "Arial", ""},
    };
    for (const Expect& e : cases) {
      const QString text = QString::fromUtf8(e.text);
      bool whole = false;
      const QTextCharFormat f = formatOf(doc, e.block, text, &whole);
      // "fett fett kursiv" starts bold and plain; its first "fett" is what is checked.
      const bool needWhole = text != "fett fett kursiv";
      QVERIFY2(whole || !needWhole, qPrintable(text));
      QCOMPARE(f.fontWeight() > QFont::Normal, e.bold);
      QCOMPARE(f.fontItalic(), e.italic);
      QCOMPARE(f.fontUnderline(), e.underline);
      QCOMPARE(f.fontStrikeOut(), e.strike);
      QCOMPARE(f.fontPointSize(), e.points);
      QCOMPARE(f.fontFamilies().toStringList().value(0), QString::fromUtf8(e.family));
      if (*e.color == 0) {
        QVERIFY2(!f.hasProperty(QTextFormat::ForegroundBrush), qPrintable(text));
      } else {
        QCOMPARE(f.foreground().color().name(), QString::fromLatin1(e.color));
      }
    }
    // The inner italic group ends, the outer bold one goes on: "fett" after it is bold only.
    const QTextBlock b = doc.findBlockByNumber(8);
    const int lastFett = b.text().lastIndexOf("fett");
    QTextCursor c(b);
    c.setPosition(b.position() + lastFett + 2);
    QVERIFY(c.charFormat().fontWeight() > QFont::Normal);
    QVERIFY(!c.charFormat().fontItalic());
  }

  void readsParagraphFormats() {
    QTextDocument doc;
    readRtf(readData("features.rtf"), doc);
    QCOMPARE(doc.findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignHCenter);
    QCOMPARE(doc.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignLeft);
    const QTextBlockFormat indented = doc.findBlockByNumber(9).blockFormat();
    QCOMPARE(indented.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(indented.leftMargin(), 36.0);
    QCOMPARE(indented.textIndent(), -18.0);
    const QTextBlockFormat last = doc.findBlockByNumber(10).blockFormat();
    QCOMPARE(last.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(last.leftMargin(), 0.0);
  }

  void passesOverHiddenDestinations() {
    QTextDocument doc;
    readRtf(readData("features.rtf"), doc);
    const QString all = doc.toPlainText();
    for (const char* hidden :
         {"Kopfzeile", "Fusszeile", "Versteckter", "Niemand", "Handarbeit", "Normal;", "Heading",
          "geheim", "0102", "02070309", "Nach dem Ende", "Arial", "wmetafile"}) {
      QVERIFY2(!all.contains(QLatin1String(hidden)), hidden);
    }
  }

  void unicodeAndFallbacks_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("hex escape") << QByteArray("{\\rtf1 Pr\\'fcfsumme}")
                                << QString::fromUtf8("Prüfsumme");
    QTest::newRow("upper-case hex")
        << QByteArray("{\\rtf1 \\'C4nderungen}") << QString::fromUtf8("Änderungen");
    QTest::newRow("u with fallback")
        << QByteArray("{\\rtf1 \\u252?ber}") << QString::fromUtf8("über");
    QTest::newRow("u with hex fallback")
        << QByteArray("{\\rtf1 \\u252\\'fcber}") << QString::fromUtf8("über");
    QTest::newRow("uc2") << QByteArray("{\\rtf1 \\uc2\\u8364 EUx}") << QString::fromUtf8("€x");
    QTest::newRow("uc0") << QByteArray("{\\rtf1 \\uc0\\u8364 x}") << QString::fromUtf8("€x");
    QTest::newRow("uc restored after group")
        << QByteArray("{\\rtf1 {\\uc0 \\u228 }\\u246?}") << QString::fromUtf8("äö");
    QTest::newRow("negative u") << QByteArray("{\\rtf1 \\u-4064?}") << QString(QChar(0xF020));
    QTest::newRow("surrogate pair")
        << QByteArray("{\\rtf1 \\u-10179?\\u-8704?}") << QString::fromUtf8("😀");
    QTest::newRow("lone surrogate")
        << QByteArray("{\\rtf1 a\\u-10179?b}")
        << QStringLiteral("a") + QChar(QChar::ReplacementCharacter) + "b";
    QTest::newRow("cp1252 upper half")
        << QByteArray("{\\rtf1 \\'80\\'96\\'b0\\'b4}") << QString::fromUtf8("€–°´");
    QTest::newRow("raw cp1252 byte") << QByteArray(
                                            "{\\rtf1 Gr\xfc\xdf"
                                            "e}")
                                     << QString::fromUtf8("Grüße");
    QTest::newRow("quotes and dashes")
        << QByteArray(
               "{\\rtf1 \\ldblquote a\\rdblquote \\endash \\emdash \\bullet \\lquote\\rquote}")
        << QString::fromUtf8("“a”–—•‘’");
    QTest::newRow("control symbols")
        << QByteArray("{\\rtf1 a\\~b\\-c\\_d}") << QString::fromUtf8("a\u00A0bc-d");
    QTest::newRow("raw line ends ignored")
        << QByteArray("{\\rtf1 ab\r\ncd\ne}") << QStringLiteral("abcde");
    QTest::newRow("field result shown, instruction not")
        << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt Seite}}}")
        << QStringLiteral("Seite");
  }
  void unicodeAndFallbacks() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QTextDocument doc;
    readRtf(rtf, doc);
    QCOMPARE(doc.begin().text(), text);
  }

  void roundTripKeepsTextAndFormats() {
    QTextDocument first;
    readRtf(readData("features.rtf"), first);
    const QByteArray written = writeRtf(first);
    QTextDocument second;
    readRtf(written, second);
    QCOMPARE(describe(second), describe(first));
    // Written as cp1252 with escapes: nothing but ASCII in the file, every line ended by CR LF.
    for (char c : written) QVERIFY(static_cast<unsigned char>(c) < 0x80);
    QVERIFY(written.startsWith("{\\rtf1\\ansi\\ansicpg1252"));
    QVERIFY(written.endsWith("}\r\n"));
    for (qsizetype i = 0; i < written.size(); ++i) {
      if (written[i] == '\n') QVERIFY(i > 0 && written[i - 1] == '\r');
    }
    // Writing again gives the same bytes: the writer is stable.
    QCOMPARE(writeRtf(second), written);
  }

  void editedDocumentRoundTrips() {
    // What the help page holds after the user edited it in the pane.
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setFontPointSize(14);
    c.insertText(QString::fromUtf8("Änderungen Speichern"), bold);
    QTextCharFormat colored;
    colored.setForeground(QColor(0, 128, 0));
    colored.setFontItalic(true);
    colored.setFontUnderline(true);
    c.insertText(QString::fromUtf8(" grün {x} \\ 5 € 東京 😀\t."), colored);
    QTextBlockFormat centered;
    centered.setAlignment(Qt::AlignHCenter);
    c.insertBlock(centered);
    c.insertText("Mitte", QTextCharFormat());
    c.insertBlock(QTextBlockFormat());  // an empty last paragraph stays

    const QByteArray rtf = writeRtf(doc);
    QVERIFY(rtf.contains("\\'c4nderungen Speichern"));
    QVERIFY(rtf.contains("\\u26481?\\u20140?"));   // 東京
    QVERIFY(rtf.contains("\\u-10179?\\u-8704?"));  // 😀 as a surrogate pair
    QVERIFY(rtf.contains("\\{x\\} \\\\ 5 \\'80"));
    QVERIFY(rtf.contains("{\\colortbl ;\\red0\\green128\\blue0;}"));

    QTextDocument back;
    readRtf(rtf, back);
    QCOMPARE(blockTexts(back), blockTexts(doc));
    bool whole = false;
    const QTextCharFormat b = formatOf(back, 0, QString::fromUtf8("Änderungen Speichern"), &whole);
    QVERIFY(whole);
    QVERIFY(b.fontWeight() > QFont::Normal);
    QCOMPARE(b.fontPointSize(), 14.0);
    const QTextCharFormat g = formatOf(back, 0, QString::fromUtf8(" grün {x}"), &whole);
    QVERIFY(whole);
    QCOMPARE(g.foreground().color(), QColor(0, 128, 0));
    QVERIFY(g.fontItalic() && g.fontUnderline());
    QVERIFY(g.fontWeight() <= QFont::Normal);
    QCOMPARE(back.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignHCenter);
    // The unformatted text takes the document's default font and size.
    const QTextCharFormat m = formatOf(back, 1, "Mitte", &whole);
    QCOMPARE(m.fontFamilies().toStringList().value(0), doc.defaultFont().family());
    QCOMPARE(m.fontPointSize(), doc.defaultFont().pointSizeF());
  }

  void savesToAFile() {
    QTemporaryDir dir;
    QTextDocument doc;
    doc.setPlainText(QString::fromUtf8("Bedienungsanleitung Kursolin\nZweite Zeile ä"));
    const QString path = dir.filePath("KSHelp.hlp");
    QVERIFY(writeRtfFile(path, doc));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QCOMPARE(bytes, writeRtf(doc));
    QTextDocument back;
    loadRichOrPlainText(bytes, back);
    QCOMPARE(blockTexts(back), blockTexts(doc));

    // A folder that does not exist: false, and no file appears.
    const QString bad = dir.filePath("fehlt/KSHelp.hlp");
    QVERIFY(!writeRtfFile(bad, doc));
    QVERIFY(!QFile::exists(bad));
  }

  void plainTextIsShownAsIs() {
    QTextDocument doc;
    loadRichOrPlainText(QByteArray("Zeile 1\r\nZ\xfcrich 12\xb0\r{\\b nicht fett}\nEnde"), doc);
    QCOMPARE(blockTexts(doc),
             (QStringList{"Zeile 1", QString::fromUtf8("Zürich 12°"), "{\\b nicht fett}", "Ende"}));
    bool whole = false;
    QVERIFY(formatOf(doc, 2, "nicht fett", &whole).fontWeight() <= QFont::Normal);
  }

  void richTextThroughTheLoader() {
    QTextDocument doc;
    loadRichOrPlainText("{\\rtf1 {\\b fett}\\par zwei}", doc);
    QCOMPARE(blockTexts(doc), (QStringList{"fett", "zwei"}));
    bool whole = false;
    QVERIFY(formatOf(doc, 0, "fett", &whole).fontWeight() > QFont::Normal);
  }

  void brokenInput_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");  // the whole plain text
    QTest::newRow("missing closing braces") << QByteArray("{\\rtf1 {\\b abc") << "abc";
    QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 a}}}} b") << "a";
    QTest::newRow("unbalanced inner close") << QByteArray("{\\rtf1 {a}} b}") << "a";
    QTest::newRow("truncated hex escape") << QByteArray("{\\rtf1 a\\'") << "a";
    QTest::newRow("half hex escape") << QByteArray("{\\rtf1 a\\'4") << "a";
    QTest::newRow("bad hex escape") << QByteArray("{\\rtf1 a\\'zz b}") << "azz b";
    QTest::newRow("lone backslash at end") << QByteArray("{\\rtf1 a\\") << "a";
    QTest::newRow("huge number") << QByteArray("{\\rtf1 \\fs99999999999999999999 a}") << "a";
    QTest::newRow("negative size") << QByteArray("{\\rtf1 \\fs-5 a}") << "a";
    QTest::newRow("overlong word")
        << QByteArray("{\\rtf1 \\") + QByteArray(5000, 'x') + QByteArray(" a}") << "a";
    QTest::newRow("binary beyond the end") << QByteArray("{\\rtf1 a\\bin999999999 xyz") << "a";
    QTest::newRow("negative binary") << QByteArray("{\\rtf1 a\\bin-5 b}") << "ab";
    QTest::newRow("empty u") << QByteArray("{\\rtf1 \\u a}") << "a";
    QTest::newRow("huge u") << QByteArray("{\\rtf1 \\u99999999 a}") << "";
    QTest::newRow("huge uc") << QByteArray("{\\rtf1 \\uc99999\\u252 abcdefghijklmnopqrstuvwxyz}")
                             << QString::fromUtf8("üqrstuvwxyz");
    QTest::newRow("colour index out of table")
        << QByteArray("{\\rtf1 {\\colortbl;\\red999\\green-3;}\\cf5000 a\\cf-1 b}") << "ab";
    QTest::newRow("font index out of table") << QByteArray("{\\rtf1 \\f77 a}") << "a";
    QTest::newRow("colour table never closed") << QByteArray("{\\rtf1 {\\colortbl;\\red1") << "";
    QTest::newRow("only the header") << QByteArray("{\\rtf") << "";
    QTest::newRow("not rtf at all") << QByteArray("hello } world") << "hello ";
    QTest::newRow("empty") << QByteArray() << "";
  }
  void brokenInput() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QTextDocument doc;
    readRtf(rtf, doc);
    QCOMPARE(doc.toPlainText(), text);
  }

  void hugeSizesAreCapped() {
    QTextDocument doc;
    readRtf("{\\rtf1 \\fs99999999 a\\fs1 b}", doc);
    bool whole = false;
    QCOMPARE(formatOf(doc, 0, "a", &whole).fontPointSize(), 1000.0);
    QCOMPARE(formatOf(doc, 0, "b", &whole).fontPointSize(), 1.0);
  }

  void deepNestingIsCapped() {
    const int depth = 100000;
    QByteArray rtf = "{\\rtf1 vorher ";
    rtf += QByteArray(depth, '{');
    rtf += "\\b tief";
    rtf += QByteArray(depth, '}');
    rtf += " nachher}";
    QTextDocument doc;
    readRtf(rtf, doc);
    // Groups beyond the cap are passed over whole, and the state after them is the outer one.
    QCOMPARE(doc.toPlainText(), QStringLiteral("vorher  nachher"));
    bool whole = false;
    QVERIFY(formatOf(doc, 0, "nachher", &whole).fontWeight() <= QFont::Normal);

    // Up to the cap, nesting is read normally.
    QByteArray shallow = "{\\rtf1 ";
    shallow += QByteArray(kMaxRtfGroupDepth - 2, '{');
    shallow += "\\i tief";
    shallow += QByteArray(kMaxRtfGroupDepth - 2, '}');
    shallow += " aus}";
    readRtf(shallow, doc);
    QCOMPARE(doc.toPlainText(), QStringLiteral("tief aus"));
    QVERIFY(formatOf(doc, 0, "tief", &whole).fontItalic());
    QVERIFY(!formatOf(doc, 0, " aus", &whole).fontItalic());
  }

  void randomBytesDoNotCrash() {
    // A fixed seed: the same junk every run. Junk built from RTF's own characters reaches
    // more of the reader than uniform noise.
    std::mt19937 rng(1252);
    const QByteArray alphabet = "{}\\'*0123456789abfsucpardlinetbx-;? \r\n\x80\xfc";
    const QByteArray words[] = {"\\fonttbl", "\\colortbl", "\\u", "\\uc", "\\bin",  "\\par", "\\fs",
                                "\\cf",      "\\f",        "\\'", "\\*",  "\\pict", "{",     "}"};
    for (int round = 0; round < 300; ++round) {
      QByteArray junk = "{\\rtf1 ";
      const int n = 1 + static_cast<int>(rng() % 400);
      for (int i = 0; i < n; ++i) {
        if (rng() % 4 == 0) {
          junk += words[rng() % std::size(words)];
        } else {
          junk += alphabet[static_cast<qsizetype>(rng() % alphabet.size())];
        }
      }
      QTextDocument doc;
      readRtf(junk, doc);
      // Whatever was read must survive the writer and come back the same.
      QTextDocument back;
      readRtf(writeRtf(doc), back);
      QCOMPARE(blockTexts(back), blockTexts(doc));
    }
  }

  void fuzzCorpusReplays() {
    // Every input the fuzz target saved, through the same entry (it aborts on a finding).
    const QDir dir(QStringLiteral(KURSOLIN_TEST_DATA "/fuzz/rtf"));
    const QStringList files = dir.entryList(QDir::Files);
    QVERIFY(!files.isEmpty());
    for (const QString& name : files) {
      QFile f(dir.filePath(name));
      QVERIFY(f.open(QIODevice::ReadOnly));
      const QByteArray bytes = f.readAll();
      kursolin::test::fuzzRtf(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                              static_cast<std::size_t>(bytes.size()));
    }
  }
};

QTEST_MAIN(RtfTest)
#include "rtf_test.moc"
