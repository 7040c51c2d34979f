// cp1252 <-> QString at the Qt boundary, prompt line breaks, and file dialog filters.

#include <QtTest>

#include "app/qtext.h"
#include "core/cp1252.h"

using namespace kursolin;
using namespace kursolin::gui;

class QtextTest : public QObject {
  Q_OBJECT
 private slots:
  void everyByteRoundTrips() {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const QString q = toQString(all);
    QCOMPARE(q.size(), 256);
    QCOMPARE(fromQString(q), all);
    QVERIFY(fitsCp1252(q));
    // The five bytes cp1252 leaves undefined still come back as themselves.
    for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) QCOMPARE(q[b].unicode(), char16_t(b));
  }

  void knownCharacters_data() {
    QTest::addColumn<QByteArray>("cp1252");
    QTest::addColumn<QString>("unicode");
    QTest::newRow("degree") << QByteArray("\xB0") << QString(QChar(0x00B0));
    QTest::newRow("acute accent as minute sign") << QByteArray("\xB4") << QString(QChar(0x00B4));
    QTest::newRow("euro") << QByteArray("\x80") << QString(QChar(0x20AC));
    QTest::newRow("en dash") << QByteArray("\x96") << QString(QChar(0x2013));
    QTest::newRow("umlauts") << QByteArray("\xE4\xF6\xFC\xC4\xD6\xDC\xDF")
                             << QString::fromUtf8("äöüÄÖÜß");
    QTest::newRow("coordinate") << QByteArray("N 48\xB0 08\xB4 12\"")
                                << QString::fromUtf8("N 48° 08´ 12\"");
  }
  void knownCharacters() {
    QFETCH(QByteArray, cp1252);
    QFETCH(QString, unicode);
    const std::string bytes = cp1252.toStdString();
    QCOMPARE(toQString(bytes), unicode);
    QCOMPARE(fromQString(unicode), bytes);
    QCOMPARE(fromQString(unicode), utf8ToCp1252(unicode.toStdString()));
  }

  void charactersBeyondCp1252() {
    // One '?' per character, also for a surrogate pair.
    const QString text = QString::fromUtf8("a日b😀c");
    QCOMPARE(fromQString(text), std::string("a?b?c"));
    QVERIFY(!fitsCp1252(text));
    QVERIFY(fitsCp1252(QStringLiteral("Wirklich?")));
  }

  void promptLineBreaks_data() {
    QTest::addColumn<QByteArray>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("CR") << QByteArray("Zeile 1\rZeile 2") << QStringLiteral("Zeile 1\nZeile 2");
    QTest::newRow("CR LF") << QByteArray("a\r\nb") << QStringLiteral("a\nb");
    QTest::newRow("LF") << QByteArray("a\nb") << QStringLiteral("a\nb");
    QTest::newRow("two CR") << QByteArray("a\r\rb") << QStringLiteral("a\n\nb");
    QTest::newRow("umlaut") << QByteArray(
                                   "Pr\xFC"
                                   "fsumme\r")
                            << QString::fromUtf8("Prüfsumme\n");
  }
  void promptLineBreaks() {
    QFETCH(QByteArray, in);
    QFETCH(QString, out);
    QCOMPARE(promptText(in.toStdString()), out);
  }

  void nameFilters_data() {
    QTest::addColumn<QByteArray>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("description names its pattern")
        << QByteArray("NMEA Datei(*.txt)|*.txt") << QStringList{"NMEA Datei(*.txt)"};
    QTest::newRow("with blank before the pattern")
        << QByteArray("Touratech Routendaten (*.qu3)|*.qu3")
        << QStringList{"Touratech Routendaten (*.qu3)"};
    QTest::newRow("upper-case extension") << QByteArray("Tourenplaner BCR Datei(*.BCR)|*.BCR")
                                          << QStringList{"Tourenplaner BCR Datei(*.BCR)"};
    QTest::newRow("two entries without patterns in the descriptions")
        << QByteArray(
               "Tourenplaner \"XML\" Routendatei|*.xml|Tourenplaner \"TEF\" Routendatei|*.tef")
        << QStringList{"Tourenplaner \"XML\" Routendatei (*.xml)",
                       "Tourenplaner \"TEF\" Routendatei (*.tef)"};
    QTest::newRow("description names another pattern")
        << QByteArray("Text (*.abc)|*.txt") << QStringList{"Text (*.abc) (*.txt)"};
    QTest::newRow("several patterns")
        << QByteArray("Alle|*.txt;*.csv") << QStringList{"Alle (*.txt *.csv)"};
    QTest::newRow("several patterns named")
        << QByteArray("Alle (*.txt;*.csv)|*.txt;*.csv") << QStringList{"Alle (*.txt *.csv)"};
    QTest::newRow("cp1252 description")
        << QByteArray("Koordinaten Gr\xB0 Min\xB4|*.txt")
        << QStringList{QString::fromUtf8("Koordinaten Gr° Min´ (*.txt)")};
    QTest::newRow("description without pattern")
        << QByteArray("Alle Dateien") << QStringList{"Alle Dateien (*)"};
    QTest::newRow("pattern without description") << QByteArray("|*.rte") << QStringList{"*.rte"};
    QTest::newRow("empty") << QByteArray() << QStringList{};
  }
  void nameFilters() {
    QFETCH(QByteArray, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(toQtNameFilters(filter.toStdString()), expected);
  }
};

QTEST_MAIN(QtextTest)
#include "qtext_test.moc"
