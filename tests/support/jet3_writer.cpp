#include "support/jet3_writer.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <stdexcept>

namespace kursolin::test {

namespace {

constexpr std::size_t kPageSize = 2048;
constexpr std::size_t kDataHeader = 10;   // type, 1, free space, table page, row count
constexpr std::size_t kMapRowSize = 133;  // map type, first page, 128 bytes of page bits
constexpr std::size_t kMaxRow = 256;      // longer rows need jump tables
constexpr std::size_t kColumnEntry = 18;
constexpr std::size_t kFirstColumnEntry = 43;
constexpr unsigned kSortGeneral = 0x409;
constexpr unsigned kCodePage1252 = 1252;

using Bytes = std::string;

void put16(Bytes& b, std::size_t at, unsigned v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

template <typename T>
void putRaw(Bytes& b, std::size_t at, T v) {
  unsigned char raw[sizeof(T)];
  std::memcpy(raw, &v, sizeof(T));  // the test machines are little-endian, as the file is
  for (std::size_t i = 0; i < sizeof(T); ++i) b[at + i] = static_cast<char>(raw[i]);
}

// Column type codes of the file; OLE only for the catalog's property column.
enum : unsigned char {
  kByte = 0x02,
  kInteger = 0x03,
  kLong = 0x04,
  kSingle = 0x06,
  kDouble = 0x07,
  kText = 0x0A,
  kOle = 0x0B,
};

struct Col {
  std::string name;
  unsigned char type;
  int size;  // bytes for fixed columns, characters for text, 0 for OLE
  bool fixed;
  int fixedOffset = 0;
  int varIndex = 0;
};

struct Layout {
  std::vector<Col> cols;
  int fixedBytes = 0;
  int varCount = 0;
};

Layout layoutOf(std::vector<Col> cols) {
  Layout l;
  for (auto& c : cols) {
    if (c.fixed) {
      c.fixedOffset = l.fixedBytes;
      l.fixedBytes += c.size;
    } else {
      c.varIndex = l.varCount++;
    }
  }
  l.cols = std::move(cols);
  return l;
}

Col colOf(const JetColumn& c) {
  switch (c.type) {
    case JetType::Byte:
      return {c.name, kByte, 1, true};
    case JetType::Integer:
      return {c.name, kInteger, 2, true};
    case JetType::Long:
      return {c.name, kLong, 4, true};
    case JetType::Single:
      return {c.name, kSingle, 4, true};
    case JetType::Double:
      return {c.name, kDouble, 8, true};
    case JetType::Text:
      if (c.length < 1 || c.length > 255) throw std::invalid_argument("text length 1..255");
      return {c.name, kText, c.length, false};
  }
  throw std::invalid_argument("column type");
}

[[noreturn]] void misfit(const Col& c) {
  throw std::invalid_argument("value does not fit column " + c.name);
}

void checkRange(const Col& c, long long v, long long lo, long long hi) {
  if (v < lo || v > hi) misfit(c);
}

double realOf(const Col& c, const JetValue& v) {
  if (v.kind == JetValue::Kind::Real) return v.real;
  if (v.kind == JetValue::Kind::Whole) return static_cast<double>(v.whole);
  misfit(c);
}

// One row: column count, fixed columns, variable columns, then from the end backwards the null
// mask, the number of variable columns, their offsets and the end of the data.
Bytes encodeRow(const Layout& l, const std::vector<JetValue>& values) {
  const std::size_t n = l.cols.size();
  if (values.size() != n) throw std::invalid_argument("row has the wrong number of values");
  Bytes row(1 + static_cast<std::size_t>(l.fixedBytes), '\0');
  row[0] = static_cast<char>(n);
  Bytes nullMask((n + 7) / 8, '\0');
  std::vector<std::size_t> varStart(static_cast<std::size_t>(l.varCount));
  for (std::size_t i = 0; i < n; ++i) {
    const Col& c = l.cols[i];
    const JetValue& v = values[i];
    if (!c.fixed) varStart[static_cast<std::size_t>(c.varIndex)] = row.size();
    if (v.kind == JetValue::Kind::Null) continue;
    nullMask[i / 8] = static_cast<char>(nullMask[i / 8] | (1 << (i % 8)));
    const std::size_t at = 1 + static_cast<std::size_t>(c.fixedOffset);
    switch (c.type) {
      case kByte:
        if (v.kind != JetValue::Kind::Whole) misfit(c);
        checkRange(c, v.whole, 0, 255);
        row[at] = static_cast<char>(v.whole);
        break;
      case kInteger:
        if (v.kind != JetValue::Kind::Whole) misfit(c);
        checkRange(c, v.whole, std::numeric_limits<std::int16_t>::min(),
                   std::numeric_limits<std::int16_t>::max());
        putRaw(row, at, static_cast<std::int16_t>(v.whole));
        break;
      case kLong:
        if (v.kind != JetValue::Kind::Whole) misfit(c);
        checkRange(c, v.whole, std::numeric_limits<std::int32_t>::min(),
                   std::numeric_limits<std::int32_t>::max());
        putRaw(row, at, static_cast<std::int32_t>(v.whole));
        break;
      case kSingle:
        putRaw(row, at, static_cast<float>(realOf(c, v)));
        break;
      case kDouble:
        putRaw(row, at, realOf(c, v));
        break;
      case kText:
        if (v.kind != JetValue::Kind::Text || v.text.size() > static_cast<std::size_t>(c.size))
          misfit(c);
        row += v.text;
        break;
      default:
        misfit(c);  // the catalog's OLE column is always empty
    }
  }
  if (l.varCount > 0) {
    const std::size_t end = row.size();
    row += static_cast<char>(end);
    for (std::size_t v = varStart.size(); v-- > 0;) row += static_cast<char>(varStart[v]);
    row += static_cast<char>(l.varCount);
  }
  row += nullMask;
  if (row.size() > kMaxRow) throw std::invalid_argument("row longer than 256 bytes");
  return row;
}

struct Table {
  std::string name;
  Layout layout;
  std::vector<Bytes> rows;
  bool system = false;
  std::uint32_t mapPage = 0;
  std::uint32_t defPage = 0;
  std::vector<std::uint32_t> dataPages;
};

class Pages {
 public:
  Pages() : pages_(3, Bytes(kPageSize, '\0')) {}
  std::uint32_t add() {
    pages_.emplace_back(kPageSize, '\0');
    return static_cast<std::uint32_t>(pages_.size() - 1);
  }
  Bytes& operator[](std::uint32_t n) { return pages_[n]; }
  Bytes joined() const {
    Bytes all;
    for (const auto& p : pages_) all += p;
    return all;
  }

  // Fills a data page with rows stored from its end towards its header.
  void fillDataPage(std::uint32_t n, std::uint32_t owner, const std::vector<Bytes>& rows) {
    Bytes& p = pages_[n];
    p[0] = 0x01;
    p[1] = 0x01;
    put32(p, 4, owner);
    put16(p, 8, static_cast<unsigned>(rows.size()));
    std::size_t top = kPageSize;
    for (std::size_t k = 0; k < rows.size(); ++k) {
      top -= rows[k].size();
      p.replace(top, rows[k].size(), rows[k]);
      put16(p, kDataHeader + 2 * k, static_cast<unsigned>(top));
    }
    put16(p, 2, static_cast<unsigned>(top - (kDataHeader + 2 * rows.size())));
  }

  // The data pages of a table, as many as its rows need.
  std::vector<std::uint32_t> addRows(std::uint32_t owner, const std::vector<Bytes>& rows) {
    std::vector<std::uint32_t> used;
    std::size_t i = 0;
    while (i < rows.size()) {
      std::vector<Bytes> onPage;
      std::size_t bytes = 0;
      while (i < rows.size() &&
             kDataHeader + 2 * (onPage.size() + 1) + bytes + rows[i].size() <= kPageSize) {
        bytes += rows[i].size();
        onPage.push_back(rows[i++]);
      }
      const std::uint32_t n = add();
      fillDataPage(n, owner, onPage);
      used.push_back(n);
    }
    return used;
  }

 private:
  std::vector<Bytes> pages_;
};

// A usage map naming the given pages: map type 0, the first page, one bit per page from there.
Bytes usageMap(std::uint32_t first, const std::vector<std::uint32_t>& pages) {
  Bytes m(kMapRowSize, '\0');
  put32(m, 1, first);
  for (std::uint32_t p : pages) {
    const std::size_t bit = p - first;
    if (5 + bit / 8 >= kMapRowSize) throw std::invalid_argument("table too large for its map");
    m[5 + bit / 8] = static_cast<char>(m[5 + bit / 8] | (1 << (bit % 8)));
  }
  return m;
}

void writeDefinition(Bytes& p, const Table& t) {
  const auto& cols = t.layout.cols;
  p[0] = 0x02;
  p[1] = 0x01;
  p[2] = 'V';
  p[3] = 'C';
  put32(p, 12, static_cast<std::uint32_t>(t.rows.size()));
  p[20] = t.system ? 0x53 : 0x4E;
  put16(p, 21, static_cast<unsigned>(cols.size()));
  put16(p, 23, static_cast<unsigned>(t.layout.varCount));
  put16(p, 25, static_cast<unsigned>(cols.size()));
  // No indexes: both index counts stay 0.
  put32(p, 35, (t.mapPage << 8) | 0);  // usage map: row 0 of the map page
  put32(p, 39, (t.mapPage << 8) | 1);  // free space map: row 1
  std::size_t at = kFirstColumnEntry;
  for (std::size_t i = 0; i < cols.size(); ++i, at += kColumnEntry) {
    const Col& c = cols[i];
    p[at] = static_cast<char>(c.type);
    put16(p, at + 1, static_cast<unsigned>(i));
    put16(p, at + 3, static_cast<unsigned>(c.varIndex));
    put16(p, at + 5, static_cast<unsigned>(i));
    put16(p, at + 7, 1);
    // Collation and code page: bytes 9 to 12.
    put16(p, at + 9, kSortGeneral);
    put16(p, at + 11, kCodePage1252);
    p[at + 13] = static_cast<char>(c.fixed ? 0x03 : 0x02);  // fixed length, may be empty
    put16(p, at + 14, static_cast<unsigned>(c.fixedOffset));
    put16(p, at + 16, static_cast<unsigned>(c.size));
  }
  for (const Col& c : cols) {
    if (c.name.size() > 64) throw std::invalid_argument("column name too long");
    p[at++] = static_cast<char>(c.name.size());
    p.replace(at, c.name.size(), c.name);
    at += c.name.size();
  }
  // The list of variable columns with their own usage maps: none.
  put16(p, at, 0xFFFF);
  at += 2;
  if (at > kPageSize) throw std::invalid_argument("table definition longer than a page");
  put32(p, 8, static_cast<std::uint32_t>(at - 8));
}

Bytes rc4(const unsigned char* key, std::size_t keyLength, std::size_t n) {
  std::array<unsigned char, 256> s{};
  for (int i = 0; i < 256; ++i) s[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
  unsigned j = 0;
  for (std::size_t i = 0; i < 256; ++i) {
    j = (j + s[i] + key[i % keyLength]) & 0xFF;
    std::swap(s[i], s[j]);
  }
  Bytes out(n, '\0');
  unsigned a = 0;
  j = 0;
  for (std::size_t k = 0; k < n; ++k) {
    a = (a + 1) & 0xFF;
    j = (j + s[a]) & 0xFF;
    std::swap(s[a], s[j]);
    out[k] = static_cast<char>(s[(s[a] + s[j]) & 0xFF]);
  }
  return out;
}

// Page 0: the signature, version 0 (Jet 3), and a block masked with a fixed RC4 key that holds
// the collation, the code page and the database key (0: pages are stored plain).
void writeHeader(Bytes& p) {
  p[1] = 0x01;
  std::memcpy(p.data() + 4, "Standard Jet DB", 15);
  p[0x14] = 0x00;
  constexpr std::size_t kMaskedAt = 0x18, kMasked = 126;
  Bytes plain(kMasked, '\0');
  put16(plain, 0x3A - kMaskedAt, kSortGeneral);
  put16(plain, 0x3C - kMaskedAt, kCodePage1252);
  put32(plain, 0x3E - kMaskedAt, 0);
  const unsigned char key[] = {0xC7, 0xDA, 0x39, 0x6B};
  const Bytes stream = rc4(key, sizeof key, kMasked);
  for (std::size_t i = 0; i < kMasked; ++i)
    p[kMaskedAt + i] = static_cast<char>(plain[i] ^ stream[i]);
}

}  // namespace

std::string jet3Database(const std::vector<JetTable>& tables) {
  Pages pages;
  std::vector<Table> user;
  for (const JetTable& jt : tables) {
    Table t;
    t.name = jt.name;
    std::vector<Col> cols;
    for (const auto& c : jt.columns) cols.push_back(colOf(c));
    if (cols.empty() || cols.size() > 255) throw std::invalid_argument("1 to 255 columns");
    t.layout = layoutOf(std::move(cols));
    for (const auto& r : jt.rows) t.rows.push_back(encodeRow(t.layout, r));
    t.mapPage = pages.add();
    t.defPage = pages.add();
    t.dataPages = pages.addRows(t.defPage, t.rows);
    user.push_back(std::move(t));
  }

  // The catalog lists itself, a system table on page 2, then every user table by its page.
  Table catalog;
  catalog.name = "MSysObjects";
  catalog.system = true;
  catalog.mapPage = 1;
  catalog.defPage = 2;
  catalog.layout = layoutOf({{"Id", kLong, 4, true},
                             {"ParentId", kLong, 4, true},
                             {"Name", kText, 255, false},
                             {"Type", kInteger, 2, true},
                             {"Flags", kLong, 4, true},
                             {"LvProp", kOle, 0, false}});
  constexpr long long kTableType = 1, kSystemFlags = 0x80000002LL;
  catalog.rows.push_back(encodeRow(
      catalog.layout, {2, 0, "MSysObjects", kTableType, kSystemFlags - (1LL << 32), JetValue()}));
  for (const Table& t : user) {
    catalog.rows.push_back(encodeRow(
        catalog.layout, {static_cast<long long>(t.defPage), 0, t.name, kTableType, 0, JetValue()}));
  }
  catalog.dataPages = pages.addRows(catalog.defPage, catalog.rows);
  user.insert(user.begin(), std::move(catalog));

  for (const Table& t : user) {
    const std::uint32_t first = t.dataPages.empty() ? t.defPage : t.dataPages.front();
    pages.fillDataPage(t.mapPage, 0, {usageMap(first, t.dataPages), usageMap(first, {})});
    writeDefinition(pages[t.defPage], t);
  }
  writeHeader(pages[0]);
  return pages.joined();
}

void writeJet3(const std::string& path, const std::vector<JetTable>& tables) {
  const std::string bytes = jet3Database(tables);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

JetTable touratechTrack() {
  return {"Tour_trp",
          {{"trp_idx", JetType::Long},
           {"lat", JetType::Double},
           {"lon", JetType::Double},
           {"speed", JetType::Double},
           {"course", JetType::Double}},
          {}};
}

std::vector<std::string> withDamagedUsageMaps(const std::string& database) {
  constexpr char kDefinitionPage = 0x02;
  constexpr std::size_t kUsageMapPointer = 0x23;
  std::vector<std::string> damaged;
  for (std::size_t page = 0; page + kPageSize <= database.size(); page += kPageSize) {
    if (database[page] != kDefinitionPage) continue;
    std::string copy = database;
    copy[page + kUsageMapPointer] = static_cast<char>(copy[page + kUsageMapPointer] ^ 0xFF);
    damaged.push_back(std::move(copy));
  }
  return damaged;
}

}  // namespace kursolin::test
