#pragma once
// The operating manual is a rich-text (RTF) file, and Qt reads no RTF. This is a small reader
// into a QTextDocument for what a manual uses (paragraphs, alignment and indents, bold, italic,
// underline, strike-out, font, size and colour, cp1252 and Unicode characters) and a writer
// that saves such a document back so that reading it again gives the same text and formats.
// Everything else in a file (pictures, headers, style sheets, document info) is passed over.

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace kursolin::gui {

/// Deepest group nesting the reader follows; deeper groups are passed over whole.
inline constexpr int kMaxRtfGroupDepth = 200;

/// True when the bytes are rich text: they begin with "{\rtf".
bool isRtf(const QByteArray& bytes);

/// Replaces the document's content by the rich text; never fails, whatever the bytes hold.
void readRtf(const QByteArray& rtf, QTextDocument& doc);

/// The document as rich text: cp1252, with \uN for characters beyond it, CR LF line ends.
QByteArray writeRtf(const QTextDocument& doc);

/// Replaces the document's content by the bytes: rich text when isRtf, else cp1252 plain text.
void loadRichOrPlainText(const QByteArray& bytes, QTextDocument& doc);

/// Writes the document as rich text to the file, replacing it only once all is written;
/// false (and the old file untouched) when that fails.
bool writeRtfFile(const QString& path, const QTextDocument& doc);

}  // namespace kursolin::gui
