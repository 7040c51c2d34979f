// Tourenplaner XML and TEF files: the item scan with its twelve keys and station filter, the
// umlaut conversion, and reading the lines it makes.
#include <gtest/gtest.h>

#include "formats/tourenxml.h"
#include "support/hosts.h"
#include "support/session_setup.h"

namespace kursolin {
namespace {

class TourenXml : public test::HostTest {
 protected:
  void SetUp() override { test::createLikeTheWindow(session); }
  // The lines of a scan as input code 4 (stations only) or 5 (all items) makes them.
  std::vector<std::string> scan(int code, const std::string& text) {
    TourenXML(session, text, code == 4 ? TourenItems::Stations : TourenItems::All);
    return session.doc.InputLines.lines();
  }
  PointRecord& p() { return session.CurrentPoint; }
};

TEST_P(TourenXml, UmlautsOfUtf8BecomeTheirCp1252Characters) {
  const std::pair<std::string, std::string> cases[] = {
      {"\xC3\x84\xC3\x96\xC3\x9C\xC3\x9F\xC3\xA4\xC3\xB6\xC3\xBC", "\xC4\xD6\xDC\xDF\xE4\xF6\xFC"},
      {"Stra\xC3\x9F"
       "e",
       "Stra\xDF"
       "e"},
      {"Caf\xC3\xA9", "Caf?"},               // é has no entry
      {"\xE2\x82\xAC 5", "\xE2\x82\xAC 5"},  // other sequences stay as they are
      {"ende\xC3", "ende\xC3"},
      {"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(UTF8_Umlaute_umwandeln(in), out) << in;
}

TEST_P(TourenXml, EachItemBecomesALineOfTwelveValues) {
  const auto lines =
      scan(5,
           "<TEF><Item Instruction=\"links\" PointDist=\"12.5\" PointDescription=\"Gro\xC3\x9F"
           "e Stra\xC3\x9F"
           "e\" Turn=\"l\" Prio=\"1\" SegDescription=\"B2\" SegDist=\"3.1\" "
           "SegTime=\"60\" TimeStamp=\"2005-05-05T20:36:32\" ViaStation=\"Hof\"><Point x=\"11,9\" "
           "y=\"50,3\"/></Item>\r\n<Item PointDist=\"\"></Item></TEF>");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0],
            "links|12.5|Gro\xDF"
            "e Stra\xDF"
            "e|l|1|B2|3.1|60|2005-05-05T20:36:32|Hof|11,9|50,3|");
  EXPECT_EQ(lines[1], "-|-|-|-|-|-|-|-|-|-|0.00|0.00|") << "missing and empty values";
}

TEST_P(TourenXml, StationsOnlyKeepsViaStationsStartAndDestination) {
  const struct {
    const char* attributes;
    bool kept;
  } cases[] = {
      {"ViaStation=\"Hof\" PointDescription=\"Hof\" PointDist=\"12.5\" SegDist=\"3.1\"", true},
      {"PointDist=\"12.5\" SegDist=\"3.1\"", false},
      {"PointDist=\"0\" SegDist=\"3.1\"", true},     // start
      {"PointDist=\"412\" SegDist=\"0\"", true},     // destination
      {"PointDist=\"0.0\" SegDist=\"3.1\"", false},  // 0.0 is not 0
      {"", false},                                   // "-" distances are no "0"
  };
  for (const auto& c : cases) {
    const std::string item = std::string("<Item ") + c.attributes + " x=\"11\" y=\"50\"></Item>";
    EXPECT_EQ(scan(4, item).size(), c.kept ? 1u : 0u) << c.attributes;
    EXPECT_EQ(scan(5, item).size(), 1u) << c.attributes;
  }
}

TEST_P(TourenXml, TheScanReliesOnlyOnItsMarkers) {
  // Keys are matched as plain text, the first match wins: "x" inside "Box" comes first.
  EXPECT_EQ(scan(5, "<Item Box=\"7\" x=\"11\" y=\"50\"></Item>")[0], "-|-|-|-|-|-|-|-|-|-|7|50|");
  // A longer element name that begins with "<Item" starts an item too; it runs to the first end.
  EXPECT_EQ(scan(5, "<Items><Item x=\"1\" y=\"2\"></Item></Items>"),
            std::vector<std::string>{"-|-|-|-|-|-|-|-|-|-|1|2|"});
  // An item without its end stops the scan.
  EXPECT_EQ(scan(5, "<Item x=\"1\" y=\"2\"></Item><Item x=\"3\" y=\"4\">").size(), 1u);
  EXPECT_TRUE(scan(5, "<?xml version=\"1.0\"?><TEF/>").empty());
  // A value holding the field separator or a line break keeps the line in its twelve fields.
  EXPECT_EQ(scan(5, "<Item PointDescription=\"A|B\r\nC\" x=\"1\" y=\"2\"></Item>")[0],
            "-|-|A B  C|-|-|-|-|-|-|-|1|2|");
}

TEST_P(TourenXml, LongItemsKeepTheirPositionWhole) {
  // The generator reads at most kMaxLineRead characters of a line; the position is at its end.
  const std::string longText(10000, 'a');
  const struct {
    const char* what;
    std::string attributes;
    bool nameCut;
  } cases[] = {
      {"long instruction", "Instruction=\"" + longText + "\" PointDescription=\"Hof\"", false},
      {"long values everywhere",
       "Instruction=\"" + longText + "\" SegDescription=\"" + longText + "\" TimeStamp=\"" +
           longText + "\" PointDescription=\"Hof\"",
       false},
      {"long name", "PointDescription=\"" + longText + "\"", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto lines = scan(
        5, "<Item " + c.attributes + " ViaStation=\"true\" x=\"11.12345\" y=\"51.12345\"></Item>");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_LE(lines[0].size(), TextLines::kMaxLineRead);
    ASSERT_EQ(GetXML(session, session.doc.InputLines.at(0), 0), 1);
    EXPECT_EQ(p().LatDec, "51.12345");
    EXPECT_EQ(p().LonDec, "11.12345");
    EXPECT_TRUE(p().ViaStationPoint);
    const std::string& name = p().navi(RtePlaceName);
    if (c.nameCut) {
      EXPECT_EQ(lines[0].size(), TextLines::kMaxLineRead) << "the name keeps all the room left";
      EXPECT_EQ(name, std::string(name.size(), 'a'));
    } else {
      EXPECT_EQ(name, "Hof");
    }
  }
}

TEST_P(TourenXml, ReadsNameStationMarkAndPosition) {
  const std::string line = "-|12.5|T\xF6pen|-|-|-|3.1|-|-|true|11.86756|50.39372|";
  ASSERT_EQ(GetXML(session, line, 0), 1);
  EXPECT_EQ(p().navi(RtePlaceName), "T\xF6pen");
  EXPECT_TRUE(p().ViaStationPoint);
  EXPECT_EQ(p().LonDec, "11.86756");
  EXPECT_EQ(p().LatMer, "6507467");
  EXPECT_EQ(p().LonGrMin, "01152.0536");
  EXPECT_EQ(p().FixOk, "1");
  ASSERT_EQ(GetXML(session, "-|0|Start|-|-|-|3.1|-|-|-|11.5|50.5|", 1), 1);
  EXPECT_FALSE(p().ViaStationPoint) << "only this reader clears the mark";
}

TEST_P(TourenXml, DecimalCommaOfTefFilesOnEveryHost) {
  ASSERT_EQ(GetXML(session, "-|0|-|-|-|-|0|-|-|-|11,91293|50,32684|", 0), 1);
  EXPECT_EQ(p().LonDec, "11.91293");
  EXPECT_EQ(p().LatDec, "50.32684");
  EXPECT_NEAR(static_cast<double>(p().LonValue), 11.91293, 1e-12);
  EXPECT_EQ(p().LonMer, "1324660");
  EXPECT_EQ(p().LatGMS, h("050\xB0"
                          "19\xB4"
                          "36.62\""));
}

TEST_P(TourenXml, PointsWithoutPositionAreRefusedWithTheReadersMessages) {
  EXPECT_EQ(GetXML(session, "-|-|-|-|-|-|-|-|-|-|0.00|0.00|", 4), 0);
  EXPECT_EQ(GetXML(session, "", 5), 0);
  ASSERT_EQ(port.prompts.size(), 2u);
  EXPECT_NE(port.prompts[0].text.find("\xF6stliche L\xE4nge"), std::string::npos);
  EXPECT_NE(port.prompts[0].text.find("Routenpunkt 5"), std::string::npos);
  EXPECT_EQ(port.prompts[1].text, "Die aktuelle Zeile 6\r der Quelldatei ist leer !");
  EXPECT_THROW(GetXML(session, "-|-|-|-|-|-|-|-|-|-|Ost|50|", 0), ConvertError);
}

KURSOLIN_ON_BOTH_HOSTS(TourenXml);

}  // namespace
}  // namespace kursolin
