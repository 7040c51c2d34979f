// Printing a pane: the layout of long and tabbed lines on pages, and a real print job into a PDF
// file whose text and positions are read back with pdftotext.

#include <QtTest>

#include <QFontDatabase>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "app/printing.h"

using namespace kursolin::gui;

namespace {

// Every character 10 wide, "W" 20: positions can be worked out by hand.
PrintMetrics fixedMetrics() {
  PrintMetrics m;
  m.advance = [](QChar c) { return c == QChar(u'W') ? 20.0 : 10.0; };
  m.averageCharWidth = 10;
  m.lineHeight = 12;
  m.ascent = 9;
  return m;
}

// The rows of all pages, each as "x:text|x:text".
QStringList rowsOf(const PrintLayout& layout) {
  QStringList out;
  for (const PrintPage& page : layout.pages) {
    for (const PrintRow& row : page) {
      QStringList runs;
      for (const PrintRun& run : row.runs) runs << QStringLiteral("%1:%2").arg(run.x).arg(run.text);
      out << runs.join('|');
    }
  }
  return out;
}

QString pdftotext(const QStringList& args, bool* ok) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), args);
  *ok = p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
  return QString::fromUtf8(p.readAllStandardOutput());
}

// The left edge, in points, of the first word of the PDF that starts with the text.
qreal wordLeft(const QString& bbox, const QString& start) {
  static const QRegularExpression word(
      QStringLiteral("<word xMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
  for (auto it = word.globalMatch(bbox); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    if (m.captured(2).startsWith(start)) return m.captured(1).toDouble();
  }
  return -1;
}

}  // namespace

class PrintingTest : public QObject {
  Q_OBJECT
 private slots:
  void layoutOfLines_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<qreal>("width");
    QTest::addColumn<QStringList>("rows");
    // Rows continuing a line start kPrintContinuationIndent average widths (40) in.
    QTest::newRow("short") << QByteArray("abc") << 400.0 << QStringList{"0:abc"};
    QTest::newRow("empty") << QByteArray() << 400.0 << QStringList{""};
    QTest::newRow("fills the page exactly")
        << QByteArray(40, '1') << 400.0 << QStringList{"0:" + QString(40, '1')};
    QTest::newRow("one character too long")
        << QByteArray(41, '1') << 400.0 << QStringList{"0:" + QString(40, '1'), "40:1"};
    QTest::newRow("long line on three rows")
        << QByteArray(40, 'a') + QByteArray(36, 'x') + "yz" << 400.0
        << QStringList{"0:" + QString(40, 'a'), "40:" + QString(36, 'x'), "40:yz"};
    QTest::newRow("wide character breaks before it")
        << QByteArray(39, '1') + "W" << 400.0 << QStringList{"0:" + QString(39, '1'), "40:W"};
    QTest::newRow("no indent on a page too narrow for it")
        << QByteArray("abc") << 25.0 << QStringList{"0:ab", "0:c"};
    QTest::newRow("tab to the next stop") << QByteArray("a\tb") << 800.0 << QStringList{"0:a|80:b"};
    QTest::newRow("tab from a stop goes to the next one")
        << QByteArray("12345678\tb") << 800.0 << QStringList{"0:12345678|160:b"};
    QTest::newRow("two tabs") << QByteArray("\t\tc") << 800.0 << QStringList{"160:c"};
    QTest::newRow("tab beyond the page continues on the next row")
        << QByteArray(QByteArray(35, '1') + "\tb") << 390.0
        << QStringList{"0:" + QString(35, '1'), "40:b"};
    QTest::newRow("control characters print nothing") << QByteArray(
                                                             "a\x01"
                                                             "b")
                                                      << 800.0 << QStringList{"0:ab"};
    QTest::newRow("cp1252 text") << QByteArray("12\xb0 34\xb4 \x80") << 800.0
                                 << QStringList{"0:" + QString::fromUtf8("12° 34´ €")};
  }
  void layoutOfLines() {
    QFETCH(QByteArray, line);
    QFETCH(qreal, width);
    QFETCH(QStringList, rows);
    const PrintLayout layout =
        layoutPrintLines({line.toStdString()}, fixedMetrics(), {width, 1200});
    QCOMPARE(rowsOf(layout), rows);
  }

  void pageBreaks_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<qreal>("height");
    QTest::addColumn<QList<int>>("rowsPerPage");
    QTest::newRow("no lines, no pages") << 0 << 36.0 << QList<int>{};
    QTest::newRow("one page") << 3 << 36.0 << QList<int>{3};
    QTest::newRow("seven lines, three a page") << 7 << 36.0 << QList<int>{3, 3, 1};
    QTest::newRow("a little less than three rows") << 5 << 35.9 << QList<int>{2, 2, 1};
    QTest::newRow("page lower than a row still takes one") << 2 << 5.0 << QList<int>{1, 1};
  }
  void pageBreaks() {
    QFETCH(int, lines);
    QFETCH(qreal, height);
    QFETCH(QList<int>, rowsPerPage);
    const std::vector<std::string> text(static_cast<std::size_t>(lines), "Zeile");
    const PrintLayout layout = layoutPrintLines(text, fixedMetrics(), {800, height});
    QList<int> counts;
    for (const PrintPage& p : layout.pages) counts << int(p.size());
    QCOMPARE(counts, rowsPerPage);
  }

  void wrappedRowsBreakPagesToo() {
    // Two lines of three rows each on pages of four rows.
    const std::string longLine = "12345678" + std::string(80, 'x');
    const PrintLayout layout = layoutPrintLines({longLine, longLine}, fixedMetrics(), {400, 48});
    QCOMPARE(layout.pages.size(), 2);
    QCOMPARE(layout.pages[0].size(), 4);
    QCOMPARE(layout.pages[1].size(), 2);
    QCOMPARE(layout.pages[1][0].runs.value(0).text, QString(36, 'x'));  // after the indent
  }

  void characterWiderThanThePage() {
    // Each character gets a row of its own instead of an endless loop.
    const PrintLayout layout = layoutPrintLines({"WW"}, fixedMetrics(), {15, 1000});
    QCOMPARE(rowsOf(layout), (QStringList{"0:W", "0:W"}));
  }

  void layoutWithARealFont() {
    const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const PrintMetrics m = printMetrics(font, nullptr);
    QVERIFY(m.lineHeight > 0 && m.averageCharWidth > 0);
    const qreal x = m.advance(QChar(u'x'));
    QVERIFY(x > 0);
    if (m.advance(QChar(u'i')) != x || m.advance(QChar(u' ')) != x) {
      QSKIP("no fixed-pitch font installed");
    }
    // 100 characters a row, the rows after the first as many as fit after the indent.
    const PrintLayout layout =
        layoutPrintLines({std::string(300, 'x')}, m, {100 * x, 100 * m.lineHeight});
    const qreal hang = kPrintContinuationIndent * m.averageCharWidth;
    const int more = static_cast<int>(std::floor((100 * x - hang) / x + 1e-6));
    const QStringList rows = rowsOf(layout);
    QCOMPARE(rows.size(), 1 + (200 + more - 1) / more);
    QCOMPARE(rows[0], "0:" + QString(100, 'x'));
    QCOMPARE(rows[1], QStringLiteral("%1:").arg(hang) + QString(more, 'x'));
  }

  void nothingToPrint() {
    QCOMPARE(QByteArray(kNothingToPrint), QByteArray("Kein Text zum Drucken vorhanden"));
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("leer.pdf"));
    QVERIFY(!printLines({}, QFont(), printer));
    QVERIFY(!QFile::exists(dir.filePath("leer.pdf")));
  }

  void printsToPdf() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
      QSKIP("pdftotext is not installed");
    }
    QTemporaryDir dir;
    const QString pdf = dir.filePath("route.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);

    // A sentence too long for a row, its rest on further rows.
    std::string alphabet;
    for (int i = 0; i < 6; ++i) alphabet += "abcdefghijklmnopqrstuvwxyz";
    std::vector<std::string> lines = {
        "$GPGGA,123456.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,," + alphabet,
        "Z\xfcrich 47\xb0 22\xb4",
    };
    for (int i = 0; i < 150; ++i) lines.push_back("Routenpunkt " + std::to_string(i + 1));
    QVERIFY(printLines(lines, font, printer));

    bool ok = false;
    const QString text = pdftotext({pdf, QStringLiteral("-")}, &ok);
    QVERIFY(ok);
    for (const QString& needle :
         {QStringLiteral("$GPGGA,123456.00,4807.038,N"), QString::fromUtf8("Zürich 47° 22´"),
          QStringLiteral("Routenpunkt 1\n"), QStringLiteral("Routenpunkt 150")}) {
      QVERIFY2(text.contains(needle), qPrintable(needle));
    }

    // Positions: every line starts at the margin of at least 15 mm, the rest of the long line a
    // little further in.
    const QFont deviceFont(font, &printer);
    const PrintLayout layout = layoutPrintLines(lines, printMetrics(deviceFont, &printer),
                                                QSizeF(printer.width(), printer.height()));
    QVERIFY(layout.pages.size() >= 2);
    QVERIFY(layout.pages[0].size() > 2);
    const QString continued = layout.pages[0][1].runs.value(0).text.left(8);
    const QString bbox = pdftotext({QStringLiteral("-bbox"), pdf, QStringLiteral("-")}, &ok);
    QVERIFY(ok);
    const qreal lineStart = wordLeft(bbox, QStringLiteral("$GPGGA"));
    const qreal rest = wordLeft(bbox, continued);
    QVERIFY2(lineStart >= 0 && rest >= 0, "long line not found or not continued");
    const qreal mm = 72.0 / 25.4;
    QVERIFY2(lineStart > kPrintLeastMarginMm * mm - 1, qPrintable(QString::number(lineStart)));
    const qreal hangPoints = kPrintContinuationIndent *
                             QFontMetricsF(deviceFont, &printer).averageCharWidth() * 72.0 /
                             printer.resolution();
    QVERIFY2(
        qAbs(rest - lineStart - hangPoints) < 1.0,
        qPrintable(
            QStringLiteral("indent %1 pt, expected %2 pt").arg(rest - lineStart).arg(hangPoints)));
    QCOMPARE(wordLeft(bbox, QString::fromUtf8("Zürich")), lineStart);
    QCOMPARE(wordLeft(bbox, QStringLiteral("Routenpunkt")), lineStart);

    // As many pages as the layout planned, pdftotext ending each with a form feed.
    QCOMPARE(text.count(QChar(u'\f')), layout.pages.size());
  }
};

QTEST_MAIN(PrintingTest)
#include "printing_test.moc"
