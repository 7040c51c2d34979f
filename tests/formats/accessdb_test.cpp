// The Access database layer: tables, records and fields of Jet 3 and Jet 4 files, and every kind
// of unusable file answered with a message instead of a crash.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "formats/accessdb.h"
#include "support/jet3_writer.h"
#include "support/temp_folder.h"

namespace kursolin {
namespace {

using test::JetTable;
using test::JetType;
using test::JetValue;

JetTable mixedTable() {
  return {"Messung",
          {{"Nr", JetType::Long},
           {"Breite", JetType::Double},
           {"Tempo", JetType::Single},
           {"Hoehe", JetType::Integer},
           {"Sat", JetType::Byte},
           {"Ort", JetType::Text, 30}},
          {{1, 51.123456, 12.5, -12, 7, "M\xFCnchen"},
           {-2147483647, -0.000015, 51.12346, 32767, 255, ""},
           {3, JetValue(), JetValue(), JetValue(), JetValue(), JetValue()},
           {4, 7.0, 90, 0, 0, "x"}}};
}

class AccessDb : public ::testing::Test {
 protected:
  std::string write(const std::vector<JetTable>& tables, const std::string& name = "db.mdb") {
    const std::string path = folder.file(name);
    test::writeJet3(path, tables);
    return path;
  }
  // All rows of a table, each as its fields in column order.
  static std::vector<std::vector<std::string>> rowsOf(AccessTable& t,
                                                      const std::vector<std::string>& columns) {
    std::vector<std::vector<std::string>> rows;
    for (t.moveFirst(); !t.eof(); t.moveNext()) {
      std::vector<std::string> r;
      for (const auto& c : columns) r.push_back(t.field(c));
      rows.push_back(r);
    }
    return rows;
  }
  test::TempFolder folder;
};

TEST_F(AccessDb, ListsUserTablesInCatalogOrder) {
  AccessDatabase db(write({{"Zweite", {{"a", JetType::Long}}, {}},
                           {"Erste", {{"a", JetType::Long}}, {}},
                           {"Gr\xF6\xDF"
                            "e",
                            {{"a", JetType::Long}},
                            {}}}));
  EXPECT_EQ(db.jetVersion(), 3);
  EXPECT_EQ(db.tableNames(), (std::vector<std::string>{"Zweite", "Erste",
                                                       "Gr\xF6\xDF"
                                                       "e"}));
  db.close();
  EXPECT_FALSE(db.isOpen());
  EXPECT_TRUE(db.tableNames().empty());
}

TEST_F(AccessDb, FieldsAsTextWithPointAndCp1252) {
  AccessDatabase db(write({mixedTable()}));
  AccessTable t = db.openTable("Messung");
  EXPECT_EQ(t.recordCount(), 4);
  const auto rows = rowsOf(t, {"Nr", "Breite", "Tempo", "Hoehe", "Sat", "Ort"});
  const std::vector<std::vector<std::string>> expected = {
      {"1", "51.123456", "12.5", "-12", "7", "M\xFCnchen"},
      {"-2147483647", "-0.000015", "51.12346", "32767", "255", ""},
      {"3", "", "", "", "", ""},
      {"4", "7.0", "90.0", "0", "0", "x"}};
  EXPECT_EQ(rows, expected);
}

TEST_F(AccessDb, FieldNamesIgnoreCaseAndUnknownNamesAreEmpty) {
  AccessDatabase db(write({mixedTable()}));
  AccessTable t = db.openTable("Messung");
  EXPECT_EQ(t.field("Nr"), "") << "no record current before moveFirst";
  t.moveFirst();
  EXPECT_EQ(t.field("BREITE"), "51.123456");
  EXPECT_EQ(t.field("ort"), "M\xFCnchen");
  EXPECT_EQ(t.field("Laenge"), "");
  for (int i = 0; i < 4; ++i) t.moveNext();
  EXPECT_TRUE(t.eof());
  EXPECT_EQ(t.field("Nr"), "");
  t.moveNext();  // past the end stays there
  EXPECT_TRUE(t.eof());
  t.moveFirst();  // and the walk can start again
  EXPECT_EQ(t.field("Nr"), "1");
}

TEST_F(AccessDb, EmptyAndLongTables) {
  JetTable big{"Gross", {{"i", JetType::Long}, {"t", JetType::Text, 60}}, {}};
  for (int i = 0; i < 700; ++i) big.rows.push_back({i, std::string(40 + i % 20, 'x')});
  AccessDatabase db(write({{"Leer", {{"i", JetType::Long}}, {}}, big}));
  AccessTable empty = db.openTable("Leer");
  EXPECT_EQ(empty.recordCount(), 0);
  empty.moveFirst();
  EXPECT_TRUE(empty.eof());
  empty.close();

  AccessTable t = db.openTable("Gross");
  EXPECT_EQ(t.recordCount(), 700) << "rows over many data pages";
  int n = 0;
  for (t.moveFirst(); !t.eof(); t.moveNext(), ++n) {
    ASSERT_EQ(t.field("i"), std::to_string(n));
    ASSERT_EQ(t.field("t").size(), static_cast<std::size_t>(40 + n % 20));
  }
  EXPECT_EQ(n, 700);
}

TEST_F(AccessDb, TableNamesMatchExactly) {
  AccessDatabase db(write({mixedTable()}));
  EXPECT_THROW(db.openTable("messung"), AccessDbError);
  EXPECT_THROW(db.openTable("Nichts"), AccessDbError);
  try {
    db.openTable("Nichts");
  } catch (const AccessDbError& e) {
    EXPECT_NE(std::string(e.what()).find("Nichts"), std::string::npos);
  }
}

TEST_F(AccessDb, OneTableAtATimeAndTheTableMayOutliveTheDatabase) {
  AccessDatabase db(write({mixedTable(), {"Zwei", {{"a", JetType::Long}}, {{5}}}}));
  AccessTable t = db.openTable("Messung");
  EXPECT_THROW(db.openTable("Zwei"), std::logic_error);
  db.close();
  t.moveFirst();
  EXPECT_EQ(t.field("Ort"), "M\xFCnchen") << "the file stays open while a table uses it";
  t.close();
  EXPECT_TRUE(t.eof());
}

// --- Unusable files ---

// Sets bits in the usage map of the first user table so that it names pages past the file's end.
std::string withPagesPastTheEnd(std::string bytes) {
  constexpr std::size_t kPage = 2048, kMapPage = 3, kMapRow = 133;
  bytes[kMapPage * kPage + kPage - kMapRow + 5 + 100] = '\x01';
  return bytes;
}

struct BadFile {
  const char* what;
  std::string bytes;  // the file's content; "<missing>" for no file, "<folder>" for a folder
  const char* reason;
};

TEST_F(AccessDb, UnusableFilesGiveAMessageNamingFileAndReason) {
  const std::string good = test::jet3Database({mixedTable()});
  std::string ace = good;
  ace.replace(4, 15, "Standard ACE DB");
  std::string jet4Version = good;
  jet4Version[0x14] = 0x01;  // claims 4096-byte pages: 3 of them do not fit
  std::string future = good;
  future[0x14] = 0x09;
  std::string ace2007 = good;
  ace2007[0x14] = 0x02;

  const BadFile cases[] = {
      {"missing", "<missing>", "Die Datei ist nicht vorhanden."},
      {"folder", "<folder>", "Der Name bezeichnet einen Ordner, keine Datei."},
      {"empty", "", "Die Datei ist leer."},
      {"text", "lat;lon\r\n51.1;7.2\r\n", "Die Datei ist keine Access-Datenbank."},
      {"binary", std::string(5000, '\x01'), "Die Datei ist keine Access-Datenbank."},
      {"header cut", good.substr(0, 12), "Die Datei ist unvollst\xE4ndig (abgeschnitten)."},
      {"one page", good.substr(0, 2048), "Die Datei ist unvollst\xE4ndig (abgeschnitten)."},
      {"cut mid-page", good.substr(0, good.size() - 700),
       "Die Datei ist unvollst\xE4ndig (abgeschnitten)."},
      {"cut at a page", good.substr(0, good.size() - 2048),
       "Die Datei ist unvollst\xE4ndig (abgeschnitten)."},
      {"Jet 4 pages short", jet4Version.substr(0, 3 * 2048 + 1024),
       "Die Datei ist unvollst\xE4ndig (abgeschnitten)."},
      {"ACE signature", ace,
       "Die Datei ist im Format von Access 2007 oder neuer gespeichert; gelesen werden die "
       "Formate von Access 97 und Access 2000 bis 2003."},
      {"ACE version", ace2007,
       "Die Datei ist im Format von Access 2007 oder neuer gespeichert; gelesen werden die "
       "Formate von Access 97 und Access 2000 bis 2003."},
      {"unknown version", future,
       "Die Datei stammt von einer unbekannten, neueren Access-Version (Kennung 9); gelesen "
       "werden die Formate von Access 97 und Access 2000 bis 2003."},
      {"catalog page gone", good.substr(0, 2 * 2048) + std::string(good.size() - 2 * 2048, '\0'),
       "Das Tabellenverzeichnis der Datenbank ist besch\xE4"
       "digt oder unvollst\xE4ndig."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = folder.file(std::string("bad ") + c.what + ".qu3");
    if (c.bytes == "<folder>") {
      std::filesystem::create_directory(path);
    } else if (c.bytes != "<missing>") {
      test::writeBytes(path, c.bytes);
    }
    try {
      AccessDatabase db(path);
      ADD_FAILURE() << "opened";
    } catch (const AccessDbError& e) {
      EXPECT_EQ(std::string(e.what()), accessFileMessage(path, c.reason));
      EXPECT_EQ(std::string(e.what()).rfind("Die Datei " + path + " kann nicht", 0), 0u);
    }
  }
}

TEST_F(AccessDb, ATableReachingPastTheEndIsRefusedWhenOpened) {
  const std::string path = folder.file("cut.qu3");
  test::writeBytes(path, withPagesPastTheEnd(test::jet3Database({mixedTable()})));
  AccessDatabase db(path);
  try {
    db.openTable("Messung");
    ADD_FAILURE() << "opened";
  } catch (const AccessDbError& e) {
    EXPECT_EQ(std::string(e.what()), "Die Tabelle Messung der Datei " + path +
                                         " kann nicht gelesen werden:\rDie Datei ist "
                                         "unvollst\xE4ndig (abgeschnitten).");
  }
}

TEST_F(AccessDb, AnUnreadableFileIsNamedSo) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  const std::string path = write({mixedTable()});
  ::chmod(path.c_str(), 0);
  EXPECT_EQ(checkAccessFile(path).reason, "Die Datei darf nicht gelesen werden.");
}

// --- Real files written by Access ---

std::string sample(const char* name) {
  return std::string(KURSOLIN_SHARED_SAMPLES) + "/" + name;
}

class AccessSamples : public ::testing::TestWithParam<std::pair<const char*, int>> {};

TEST_P(AccessSamples, TablesRowsAndNumbers) {
  const std::string path = sample(GetParam().first);
  if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " not present";
  AccessDatabase db(path);
  EXPECT_EQ(db.jetVersion(), GetParam().second);
  EXPECT_EQ(db.tableNames(), (std::vector<std::string>{"Table1", "Table2", "Table3", "Table4"}));

  AccessTable t = db.openTable("Table1");
  EXPECT_EQ(t.recordCount(), 2);
  std::map<std::string, std::vector<std::string>> byA;
  for (t.moveFirst(); !t.eof(); t.moveNext()) {
    byA[t.field("A")] = {t.field("B"), t.field("C"), t.field("D"), t.field("E"), t.field("F")};
  }
  const std::map<std::string, std::vector<std::string>> expected = {
      {"a", {"b", "0", "0", "0", "0.0"}},
      {"abcdefg", {"hijklmnop", "2", "222", "333333333", "444.555"}}};
  EXPECT_EQ(byA, expected);
  t.close();

  for (const char* name : {"Table2", "Table3", "Table4"}) {
    AccessTable other = db.openTable(name);
    other.moveFirst();
    EXPECT_EQ(other.recordCount(), 0) << name;
    EXPECT_TRUE(other.eof()) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Files, AccessSamples,
                         ::testing::Values(std::pair{"access97-tables.mdb", 3},
                                           std::pair{"access2000-tables.mdb", 4}),
                         [](const auto& info) { return info.param.second == 3 ? "Jet3" : "Jet4"; });

TEST(AccessSampleCuts, ATruncatedRealFileGivesAMessage) {
  for (const char* name : {"access97-tables.mdb", "access2000-tables.mdb"}) {
    const std::string source = sample(name);
    if (!std::filesystem::exists(source)) GTEST_SKIP() << source << " not present";
    const std::string bytes = test::readBytes(source);
    test::TempFolder folder;
    // Cut at page boundaries of both page sizes, and once in the middle of a page.
    for (std::size_t keep :
         {std::size_t{8192}, bytes.size() / 2 / 4096 * 4096, bytes.size() - 100}) {
      SCOPED_TRACE(std::string(name) + " cut to " + std::to_string(keep));
      const std::string path = folder.file("cut.mdb");
      test::writeBytes(path, bytes.substr(0, keep));
      try {
        AccessDatabase db(path);
        for (const auto& table : db.tableNames()) {
          AccessTable t = db.openTable(table);
          for (t.moveFirst(); !t.eof(); t.moveNext()) t.field("A");
        }
        ADD_FAILURE() << "a cut file was read without complaint";
      } catch (const AccessDbError& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
      }
    }
  }
}

}  // namespace
}  // namespace kursolin
