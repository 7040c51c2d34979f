// The test database writer makes real Jet 3 files: mdbtools' own programs read them back.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "core/cp1252.h"
#include "support/jet3_writer.h"
#include "support/temp_folder.h"

namespace kursolin {
namespace {

using test::JetColumn;
using test::JetTable;
using test::JetType;
using test::JetValue;

// Standard output of a shell command; nullopt when it could not run or failed.
std::optional<std::string> run(const std::string& command) {
  FILE* p = ::popen((command + " 2>/dev/null").c_str(), "r");
  if (!p) return std::nullopt;
  std::string out;
  char buf[4096];
  while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  if (::pclose(p) != 0) return std::nullopt;
  return out;
}

bool haveMdbTools() {
  return run("command -v mdb-tables && command -v mdb-schema && command -v mdb-export").has_value();
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

JetTable sampleTrack(int rows) {
  JetTable t{"Strecke_trp",
             {{"trp_idx", JetType::Long},
              {"lat", JetType::Double},
              {"lon", JetType::Double},
              {"alt", JetType::Integer},
              {"sats", JetType::Byte},
              {"speed", JetType::Single},
              {"name", JetType::Text, 40}},
             {}};
  for (int i = 0; i < rows; ++i) {
    // Every seventh record lacks its altitude and name, to cover missing values.
    const bool gap = i % 7 == 3;
    t.rows.push_back({i + 1, 50.0 + i / 1000.0, -(7.5 + i * 0.25), gap ? JetValue() : JetValue(-i),
                      i % 256, 12.5, gap ? JetValue() : JetValue("P\xFCnkt " + std::to_string(i))});
  }
  return t;
}

class Jet3Writer : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!haveMdbTools()) GTEST_SKIP() << "mdbtools programs not installed";
    file = folder.file("probe.mdb");
    test::writeJet3(
        file,
        {sampleTrack(300),
         {"Leer", {{"x", JetType::Long}}, {}},
         {"Waypoints", {{"wp_idx", JetType::Long}, {"name", JetType::Text, 10}}, {{1, "Start"}}}});
  }
  test::TempFolder folder;
  std::string file;
};

TEST_F(Jet3Writer, MdbToolsListTheTablesInOrder) {
  EXPECT_EQ(run("mdb-ver '" + file + "'"), "JET3\n");
  EXPECT_EQ(run("mdb-tables -1 '" + file + "'"), "Strecke_trp\nLeer\nWaypoints\n");
  // The catalog itself is the one system table.
  EXPECT_EQ(run("mdb-tables -S -1 '" + file + "'"), "MSysObjects\nStrecke_trp\nLeer\nWaypoints\n");
}

TEST_F(Jet3Writer, MdbToolsReadTheSchema) {
  const auto schema = run("mdb-schema -T Strecke_trp '" + file + "' access");
  ASSERT_TRUE(schema);
  for (const char* col :
       {"[trp_idx]\t\t\tLong Integer", "[lat]\t\t\tDouble", "[lon]\t\t\tDouble",
        "[alt]\t\t\tInteger", "[sats]\t\t\tByte", "[speed]\t\t\tSingle", "[name]\t\t\tText (40)"}) {
    EXPECT_NE(schema->find(col), std::string::npos) << col << " in\n" << *schema;
  }
}

TEST_F(Jet3Writer, MdbToolsExportEveryRow) {
  const auto csv = run("LC_ALL=C mdb-export '" + file + "' Strecke_trp");
  ASSERT_TRUE(csv);
  const auto lines = linesOf(*csv);
  ASSERT_EQ(lines.size(), 301u) << "header and 300 rows over several data pages";
  EXPECT_EQ(lines[0], "trp_idx,lat,lon,alt,sats,speed,name");
  EXPECT_EQ(lines[1], "1,50,-7.5,0,0,12.5,\"P\xC3\xBCnkt 0\"") << "text converted from cp1252";
  EXPECT_EQ(lines[4], "4,50.003,-8.25,,3,12.5,") << "missing values stay empty";
  EXPECT_EQ(lines[300], "300,50.299,-82.25,-299,43,12.5,\"P\xC3\xBCnkt 299\"");

  EXPECT_EQ(run("mdb-export '" + file + "' Leer"), "x\n");
  EXPECT_EQ(run("mdb-export '" + file + "' Waypoints"), "wp_idx,name\n1,\"Start\"\n");
}

TEST(Jet3WriterLimits, RefusesValuesThatDoNotFit) {
  const auto table = [](JetType type, JetValue v) {
    return JetTable{"T", {{"c", type, 3}}, {{std::move(v)}}};
  };
  EXPECT_THROW(test::jet3Database({table(JetType::Byte, 256)}), std::invalid_argument);
  EXPECT_THROW(test::jet3Database({table(JetType::Integer, 40000)}), std::invalid_argument);
  EXPECT_THROW(test::jet3Database({table(JetType::Long, 1.5)}), std::invalid_argument);
  EXPECT_THROW(test::jet3Database({table(JetType::Text, "four")}), std::invalid_argument);
  EXPECT_THROW(test::jet3Database({table(JetType::Double, "1.5")}), std::invalid_argument);
  EXPECT_NO_THROW(test::jet3Database({table(JetType::Text, "two")}));
}

}  // namespace
}  // namespace kursolin
