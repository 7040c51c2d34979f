#include "app/rtf.h"

#include <QBrush>
#include <QColor>
#include <QList>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "app/qtext.h"
#include "core/cp1252.h"

namespace kursolin::gui {
namespace {

constexpr int kDefaultHalfPoints = 24;  // 12 pt, the size \plain restores
constexpr int kMinHalfPoints = 2;
constexpr int kMaxHalfPoints = 2000;  // 1000 pt: a bad \fs must not ask for a giant glyph
constexpr int kMaxTwips = 31680;      // 22 inches, the widest page RTF knows
constexpr int kMaxTableEntries = 4096;
constexpr int kMaxUnicodeSkip = 16;

// ---------------------------------------------------------------- reader

enum class Dest { Text, Skip, FontTable, ColorTable };

struct CharState {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  int halfPoints = kDefaultHalfPoints;
  int color = 0;  // index into the colour table; 0 is "automatic"
  int font = -1;  // index into the font table; -1 is the default font
  bool operator==(const CharState&) const = default;
};

struct ParaState {
  Qt::Alignment align = Qt::AlignLeft;
  int leftTwips = 0;
  int rightTwips = 0;
  int firstTwips = 0;
};

struct GroupState {
  CharState ch;
  ParaState para;
  Dest dest = Dest::Text;
  int ucSkip = 1;
};

// Destinations whose content is not part of the visible text.
bool isSkippedDestination(const QByteArray& w) {
  static const char* const kSkipped[] = {
      "stylesheet", "info",         "pict",         "header",
      "headerl",    "headerr",      "headerf",      "footer",
      "footerl",    "footerr",      "footerf",      "footnote",
      "object",     "objdata",      "themedata",    "colorschememapping",
      "datastore",  "latentstyles", "listtable",    "listoverridetable",
      "rsidtbl",    "generator",    "xmlnstbl",     "filetbl",
      "revtbl",     "bkmkstart",    "bkmkend",      "nonshppict",
      "shpinst",    "shppict",      "pn",           "fldinst",
      "comment",    "title",        "author",       "operator",
      "keywords",   "subject",      "doccomm",      "private",
      "userprops",  "xe",           "tc",           "txe",
      "atnid",      "atnauthor",    "annotation",   "mmathPr",
      "pgdsctbl",   "protusertbl",  "blipuid",      "ftnsep",
      "ftnsepc",    "ftncn",        "aftnsep",      "aftnsepc",
      "aftncn",     "docvar",       "sp",           "sn",
      "sv",         "template",     "company",      "manager",
      "category",   "hlinkbase",    "passwordhash", "wgrffmtfilter",
  };
  for (const char* s : kSkipped) {
    if (w == s) return true;
  }
  return false;
}

class RtfReader {
 public:
  RtfReader(const QByteArray& in, QTextDocument& doc) : in_(in), cursor_(&doc) {}

  void run() {
    while (pos_ < in_.size()) {
      const char c = in_[pos_++];
      if (c == '{') {
        openGroup();
      } else if (c == '}') {
        if (overflow_ == 0 && stack_.size() <= 1) break;  // the document's own group ends
        closeGroup();
      } else if (c == '\\') {
        controlSequence();
      } else {
        textByte(static_cast<unsigned char>(c));
      }
    }
    // Also reached when braces are missing at the end: what was read is kept.
    flush();
    cursor_.setBlockFormat(blockFormat(cur_.para));
    if (cursor_.block().length() <= 1) cursor_.setBlockCharFormat(charFormat(cur_.ch));
  }

 private:
  // --- groups

  void openGroup() {
    skipChars_ = 0;
    if (overflow_ > 0 || static_cast<int>(stack_.size()) >= kMaxRtfGroupDepth) {
      ++overflow_;
      return;
    }
    stack_.push_back(cur_);
  }

  void closeGroup() {
    skipChars_ = 0;
    if (overflow_ > 0) {
      --overflow_;
      return;
    }
    if (cur_.dest == Dest::FontTable) commitFont();
    if (stack_.empty()) return;
    cur_ = stack_.back();
    stack_.pop_back();
  }

  bool skipping() const { return overflow_ > 0 || cur_.dest == Dest::Skip; }

  // --- lexer

  void controlSequence() {
    if (pos_ >= in_.size()) return;  // a lone backslash at the end
    const char c = in_[pos_];
    if (!isAsciiLetter(c)) {
      ++pos_;
      controlSymbol(c);
      return;
    }
    QByteArray word;
    while (pos_ < in_.size() && isAsciiLetter(in_[pos_]) && word.size() < 32) word += in_[pos_++];
    while (pos_ < in_.size() && isAsciiLetter(in_[pos_])) ++pos_;  // overlong word: cut it
    bool hasParam = false;
    bool negative = false;
    long long param = 0;
    if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() && isDigit(in_[pos_ + 1])) {
      negative = true;
      ++pos_;
    }
    while (pos_ < in_.size() && isDigit(in_[pos_])) {
      hasParam = true;
      if (param < 100000000000LL) param = param * 10 + (in_[pos_] - '0');
      ++pos_;
    }
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;  // the delimiter belongs to the word
    param = std::clamp(negative ? -param : param, -2147483647LL, 2147483647LL);
    controlWord(word, hasParam, static_cast<int>(param));
  }

  static bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
  static bool isDigit(char c) { return c >= '0' && c <= '9'; }
  static int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  void controlSymbol(char c) {
    if (c == '\'') {
      hexEscape();
      return;
    }
    if (overflow_ > 0) return;
    switch (c) {
      case '\\':
      case '{':
      case '}':
        textByte(static_cast<unsigned char>(c));
        return;
      case '*':
        // "{\*\dest ...}": a destination older readers may ignore; this one shows none.
        cur_.dest = Dest::Skip;
        return;
      case '~':
        textChar(QChar(0x00A0));
        return;
      case '_':
        textChar(QChar(u'-'));
        return;
      case '-':
        return;  // optional hyphen: nothing to show
      case '\r':
      case '\n':
        paragraph();
        return;
      case '\t':
        textChar(QChar(u'\t'));
        return;
      default:
        consumeSkip();  // unknown symbol: passed over, but it counts as a fallback character
        return;
    }
  }

  void hexEscape() {
    if (pos_ + 1 >= in_.size()) {
      pos_ = in_.size();  // truncated escape at the end: nothing to show
      return;
    }
    const int hi = hexValue(in_[pos_]);
    const int lo = hexValue(in_[pos_ + 1]);
    if (hi < 0 || lo < 0) {
      if (hi >= 0) ++pos_;  // "\'4" followed by junk: drop the half escape
      return;
    }
    pos_ += 2;
    const auto byte = static_cast<unsigned char>(hi * 16 + lo);
    if (overflow_ > 0) return;
    if (cur_.dest == Dest::FontTable) {
      if (consumeSkip()) return;
      fontName_ += static_cast<char>(byte);
      return;
    }
    if (cur_.dest != Dest::Text) return;
    if (consumeSkip()) return;
    addText(QChar(static_cast<char16_t>(cp1252ToUnicode(byte))));
  }

  // --- words

  void controlWord(const QByteArray& w, bool has, int n) {
    if (w == "bin") {
      // Binary data: its length is given, its bytes are no RTF.
      const qsizetype len = has && n > 0 ? n : 0;
      pos_ = std::min(in_.size(), pos_ + len);
      return;
    }
    if (overflow_ > 0 || cur_.dest == Dest::Skip) return;
    if (w == "fonttbl") {
      cur_.dest = Dest::FontTable;
      fontNumber_ = -1;
      fontName_.clear();
      return;
    }
    if (w == "colortbl") {
      cur_.dest = Dest::ColorTable;
      colors_.clear();
      red_ = green_ = blue_ = 0;
      colorSet_ = false;
      return;
    }
    if (isSkippedDestination(w)) {
      cur_.dest = Dest::Skip;
      return;
    }
    switch (cur_.dest) {
      case Dest::Skip:
        return;  // not reached: handled above
      case Dest::FontTable:
        fontTableWord(w, has, n);
        return;
      case Dest::ColorTable:
        colorTableWord(w, n);
        return;
      case Dest::Text:
        break;
    }
    if (w == "u" && has) {
      unicodeChar(n);
      return;
    }
    if (consumeSkip()) return;
    textWord(w, has, n);
  }

  void textWord(const QByteArray& w, bool has, int n) {
    const bool on = !has || n != 0;
    CharState& ch = cur_.ch;
    ParaState& para = cur_.para;
    if (w == "par" || w == "sect" || w == "page" || w == "row") {
      paragraph();
    } else if (w == "line") {
      addText(QChar(QChar::LineSeparator));
    } else if (w == "tab" || w == "cell") {
      addText(QChar(u'\t'));
    } else if (w == "pard") {
      para = ParaState();
    } else if (w == "plain") {
      ch = CharState();
    } else if (w == "b") {
      ch.bold = on;
    } else if (w == "i") {
      ch.italic = on;
    } else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "ulwave" ||
               w == "uldash" || w == "ulth" || w == "uldashd" || w == "uldashdd") {
      ch.underline = on;
    } else if (w == "ulnone") {
      ch.underline = false;
    } else if (w == "strike") {
      ch.strike = on;
    } else if (w == "fs") {
      ch.halfPoints =
          has && n > 0 ? std::clamp(n, kMinHalfPoints, kMaxHalfPoints) : kDefaultHalfPoints;
    } else if (w == "cf") {
      ch.color = std::max(0, n);
    } else if (w == "f") {
      ch.font = has ? n : -1;
    } else if (w == "deff") {
      defaultFont_ = n;
    } else if (w == "uc") {
      cur_.ucSkip = std::clamp(n, 0, kMaxUnicodeSkip);
    } else if (w == "ql") {
      para.align = Qt::AlignLeft;
    } else if (w == "qr") {
      para.align = Qt::AlignRight;
    } else if (w == "qc") {
      para.align = Qt::AlignHCenter;
    } else if (w == "qj") {
      para.align = Qt::AlignJustify;
    } else if (w == "li") {
      para.leftTwips = std::clamp(n, -kMaxTwips, kMaxTwips);
    } else if (w == "ri") {
      para.rightTwips = std::clamp(n, -kMaxTwips, kMaxTwips);
    } else if (w == "fi") {
      para.firstTwips = std::clamp(n, -kMaxTwips, kMaxTwips);
    } else if (w == "emdash") {
      addText(QChar(0x2014));
    } else if (w == "endash") {
      addText(QChar(0x2013));
    } else if (w == "lquote") {
      addText(QChar(0x2018));
    } else if (w == "rquote") {
      addText(QChar(0x2019));
    } else if (w == "ldblquote") {
      addText(QChar(0x201C));
    } else if (w == "rdblquote") {
      addText(QChar(0x201D));
    } else if (w == "bullet") {
      addText(QChar(0x2022));
    } else if (w == "emspace" || w == "enspace" || w == "qmspace") {
      addText(QChar(u' '));
    }
    // Every other word (page layout, languages, revision marks, ...) changes nothing shown.
  }

  void fontTableWord(const QByteArray& w, bool has, int n) {
    if (w == "f" && has) {
      commitFont();
      fontNumber_ = n;
    } else if (w == "u") {
      // A Unicode character in a font name: keep what cp1252 can hold.
      const int code = n < 0 ? n + 65536 : n;
      fontName_ += unicodeToCp1252(static_cast<char32_t>(std::clamp(code, 0, 0xFFFF)));
      skipChars_ = cur_.ucSkip;
    }
  }

  void colorTableWord(const QByteArray& w, int n) {
    const int v = std::clamp(n, 0, 255);
    if (w == "red") {
      red_ = v;
      colorSet_ = true;
    } else if (w == "green") {
      green_ = v;
      colorSet_ = true;
    } else if (w == "blue") {
      blue_ = v;
      colorSet_ = true;
    }
  }

  void commitFont() {
    if (fontNumber_ >= 0 && !fontName_.isEmpty() &&
        static_cast<int>(fonts_.size()) < kMaxTableEntries) {
      fonts_[fontNumber_] = toQString(fontName_.toStdString()).trimmed();
    }
    fontName_.clear();
    fontNumber_ = -1;
  }

  // --- text

  void textByte(unsigned char c) {
    if (overflow_ > 0) return;
    switch (cur_.dest) {
      case Dest::Skip:
        return;
      case Dest::FontTable:
        if (consumeSkip()) return;
        if (c == ';') {
          commitFont();
        } else if (c >= 0x20) {
          fontName_ += static_cast<char>(c);
        }
        return;
      case Dest::ColorTable:
        if (c == ';') {
          if (static_cast<int>(colors_.size()) < kMaxTableEntries) {
            colors_.push_back(colorSet_ ? QColor(red_, green_, blue_) : QColor());
          }
          red_ = green_ = blue_ = 0;
          colorSet_ = false;
        }
        return;
      case Dest::Text:
        break;
    }
    if (c == '\r' || c == '\n') return;  // raw line ends only format the file
    if (c < 0x20 && c != '\t') return;
    if (consumeSkip()) return;
    addText(QChar(static_cast<char16_t>(cp1252ToUnicode(c))));
  }

  void textChar(QChar ch) {
    if (skipping() || cur_.dest != Dest::Text) return;
    if (consumeSkip()) return;
    addText(ch);
  }

  void unicodeChar(int n) {
    skipChars_ = 0;
    const int code = n < 0 ? n + 65536 : n;
    if (code == 0x2029) {
      paragraph();
    } else if ((code >= 0x20 || code == '\t') && code != 0xFFFC && code < 0xFFFE) {
      // Controls, object placeholders and non-characters have no place in the text.
      addText(QChar(static_cast<char16_t>(code)));
    }
    skipChars_ = cur_.ucSkip;  // the fallback characters after \uN are for older readers
  }

  // True (and one fewer to skip) while the fallback of a \uN is being passed over.
  bool consumeSkip() {
    if (skipChars_ <= 0) return false;
    --skipChars_;
    return true;
  }

  void addText(QChar ch) {
    if (!(cur_.ch == formatState_) || !formatValid_) {
      const QTextCharFormat f = charFormat(cur_.ch);
      if (!pending_.isEmpty() && f != pendingFormat_) flush();
      pendingFormat_ = f;
      formatState_ = cur_.ch;
      formatValid_ = true;
    }
    pending_ += ch;
  }

  void flush() {
    if (pending_.isEmpty()) return;
    // A surrogate half without its partner becomes U+FFFD, so the document holds valid text.
    bool surrogates = false;
    for (QChar c : pending_) surrogates = surrogates || c.isSurrogate();
    if (surrogates) pending_ = repairSurrogates(pending_);
    cursor_.insertText(pending_, pendingFormat_);
    pending_.clear();
  }

  static QString repairSurrogates(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
      const QChar c = s[i];
      if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
        out += c;
        out += s[++i];
      } else if (c.isSurrogate()) {
        out += QChar(QChar::ReplacementCharacter);
      } else {
        out += c;
      }
    }
    return out;
  }

  void paragraph() {
    if (skipping() || cur_.dest != Dest::Text) return;
    flush();
    cursor_.setBlockFormat(blockFormat(cur_.para));
    const QTextCharFormat f = charFormat(cur_.ch);
    // An empty paragraph keeps the size of its font, so blank lines keep their height.
    if (cursor_.block().length() <= 1) cursor_.setBlockCharFormat(f);
    cursor_.insertBlock(QTextBlockFormat(), f);
  }

  QTextCharFormat charFormat(const CharState& s) const {
    QTextCharFormat f;
    f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(s.italic);
    f.setFontUnderline(s.underline);
    f.setFontStrikeOut(s.strike);
    f.setFontPointSize(s.halfPoints / 2.0);
    const int fontIndex = s.font >= 0 ? s.font : defaultFont_;
    const auto font = fonts_.find(fontIndex);
    if (font != fonts_.end() && !font->second.isEmpty()) f.setFontFamilies({font->second});
    if (s.color > 0 && s.color < static_cast<int>(colors_.size()) && colors_[s.color].isValid()) {
      f.setForeground(QBrush(colors_[s.color]));
    }
    return f;
  }

  static QTextBlockFormat blockFormat(const ParaState& p) {
    QTextBlockFormat f;
    f.setAlignment(p.align);
    // Twips to points: the document's unit is the point-sized pixel of the screen.
    if (p.leftTwips != 0) f.setLeftMargin(p.leftTwips / 20.0);
    if (p.rightTwips != 0) f.setRightMargin(p.rightTwips / 20.0);
    if (p.firstTwips != 0) f.setTextIndent(p.firstTwips / 20.0);
    return f;
  }

  const QByteArray& in_;
  QTextCursor cursor_;
  qsizetype pos_ = 0;

  std::vector<GroupState> stack_;
  GroupState cur_;
  int overflow_ = 0;
  int skipChars_ = 0;

  std::map<int, QString> fonts_;
  int defaultFont_ = 0;
  int fontNumber_ = -1;
  QByteArray fontName_;

  std::vector<QColor> colors_;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool colorSet_ = false;

  QString pending_;
  QTextCharFormat pendingFormat_;
  CharState formatState_;
  bool formatValid_ = false;
};

// ---------------------------------------------------------------- writer

void appendEscaped(QByteArray& out, const QString& text, bool inFontTable = false) {
  for (char32_t cp : text.toUcs4()) {
    if (cp == U'\\' || cp == U'{' || cp == U'}') {
      out += '\\';
      out += static_cast<char>(cp);
    } else if (cp == U'\t') {
      out += "\\tab ";
    } else if (cp == 0x2028) {
      out += "\\line ";
    } else if (cp == 0x2029) {
      out += "\\par ";
    } else if (cp < 0x20 || cp == 0xFFFC || (inFontTable && cp == U';')) {
      // Control characters and object placeholders have no text form.
    } else if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (const char b = unicodeToCp1252(cp); b != '?') {
      out += "\\'";
      out += QByteArray::number(static_cast<unsigned char>(b), 16).rightJustified(2, '0');
    } else {
      // Beyond cp1252: UTF-16 units as signed numbers, each with '?' for older readers.
      const QString units = QString::fromUcs4(&cp, 1);
      for (QChar u : units) {
        out += "\\u";
        out += QByteArray::number(static_cast<int>(static_cast<short>(u.unicode())));
        out += '?';
      }
    }
  }
}

struct FragmentStyle {
  QString family;
  int halfPoints = kDefaultHalfPoints;
  bool bold = false, italic = false, underline = false, strike = false;
  QColor color;  // invalid: automatic
};

FragmentStyle styleOf(const QTextCharFormat& f, const QTextDocument& doc) {
  FragmentStyle s;
  const QStringList families = f.fontFamilies().toStringList();
  s.family = !families.isEmpty() && !families.first().isEmpty() ? families.first()
                                                                : doc.defaultFont().family();
  qreal pt = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize()
                                                       : doc.defaultFont().pointSizeF();
  if (!(pt > 0)) pt = kDefaultHalfPoints / 2.0;
  s.halfPoints = std::clamp(static_cast<int>(std::lround(pt * 2)), kMinHalfPoints, kMaxHalfPoints);
  s.bold = f.fontWeight() > QFont::Normal;
  s.italic = f.fontItalic();
  s.underline = f.fontUnderline();
  s.strike = f.fontStrikeOut();
  if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush) {
    s.color = f.foreground().color();
  }
  return s;
}

template <typename T>
int indexOf(QList<T>& table, const T& value) {
  qsizetype i = table.indexOf(value);
  if (i < 0) {
    table.append(value);
    i = table.size() - 1;
  }
  return static_cast<int>(i);
}

QByteArray twipsWord(const char* word, qreal points) {
  const long twips = std::lround(points * 20);
  if (twips == 0) return {};
  return QByteArray("\\") + word + QByteArray::number(static_cast<qlonglong>(twips));
}

}  // namespace

bool isRtf(const QByteArray& bytes) {
  return bytes.startsWith("{\\rtf");
}

void readRtf(const QByteArray& rtf, QTextDocument& doc) {
  const bool undo = doc.isUndoRedoEnabled();
  doc.setUndoRedoEnabled(false);
  doc.clear();
  RtfReader reader(rtf, doc);
  reader.run();
  doc.setUndoRedoEnabled(undo);
  doc.setModified(false);
}

QByteArray writeRtf(const QTextDocument& doc) {
  QList<QString> fonts;
  QList<QColor> colors;
  fonts.append(doc.defaultFont().family());
  QByteArray body;
  bool firstBlock = true;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    if (!firstBlock) body += "\\par\r\n";
    firstBlock = false;
    const QTextBlockFormat bf = block.blockFormat();
    body += "\\pard";
    const Qt::Alignment align = bf.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignHCenter) {
      body += "\\qc";
    } else if (align & Qt::AlignJustify) {
      body += "\\qj";
    } else if (align & Qt::AlignRight) {
      body += "\\qr";
    }
    body += twipsWord("li", bf.leftMargin());
    body += twipsWord("ri", bf.rightMargin());
    body += twipsWord("fi", bf.textIndent());
    body += ' ';
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment frag = it.fragment();
      if (!frag.isValid() || frag.text().isEmpty()) continue;
      const FragmentStyle s = styleOf(frag.charFormat(), doc);
      body += "{\\plain\\f";
      body += QByteArray::number(indexOf(fonts, s.family));
      body += "\\fs";
      body += QByteArray::number(s.halfPoints);
      if (s.bold) body += "\\b";
      if (s.italic) body += "\\i";
      if (s.underline) body += "\\ul";
      if (s.strike) body += "\\strike";
      if (s.color.isValid()) {
        body += "\\cf";
        body += QByteArray::number(indexOf(colors, s.color) + 1);
      }
      body += ' ';
      appendEscaped(body, frag.text());
      body += '}';
    }
  }

  QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n{\\fonttbl";
  for (qsizetype i = 0; i < fonts.size(); ++i) {
    out += "{\\f";
    out += QByteArray::number(i);
    out += "\\fnil\\fcharset0 ";
    appendEscaped(out, fonts[i], true);
    out += ";}";
  }
  out += "}\r\n";
  if (!colors.isEmpty()) {
    out += "{\\colortbl ;";
    for (const QColor& c : colors) {
      out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) +
             "\\blue" + QByteArray::number(c.blue()) + ';';
    }
    out += "}\r\n";
  }
  out += body;
  out += "}\r\n";
  return out;
}

void loadRichOrPlainText(const QByteArray& bytes, QTextDocument& doc) {
  if (isRtf(bytes)) {
    readRtf(bytes, doc);
    return;
  }
  const bool undo = doc.isUndoRedoEnabled();
  doc.setUndoRedoEnabled(false);
  doc.setPlainText(promptText(std::string_view(bytes.constData(), bytes.size())));
  doc.setUndoRedoEnabled(undo);
  doc.setModified(false);
}

bool writeRtfFile(const QString& path, const QTextDocument& doc) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const QByteArray bytes = writeRtf(doc);
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

}  // namespace kursolin::gui
