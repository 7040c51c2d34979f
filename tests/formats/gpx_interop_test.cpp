// GPX against independent judges: the GPX 1.1 schema (xmllint) and GPSBabel, each skipped when
// its program is not installed.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <map>
#include <sstream>

#include "core/coords.h"
#include "core/cp1252.h"
#include "formats/gpx.h"
#include "support/fake_port.h"
#include "support/gpx_writer.h"
#include "support/session_setup.h"
#include "support/temp_folder.h"
#include "track/nmea.h"

namespace kursolin {
namespace {

using namespace kursolin::literals;

bool haveProgram(const char* name) {
  return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a command line; its output goes to `log` so a failure can show it.
int run(const std::string& command, const std::string& log) {
  return std::system((command + " >'" + log + "' 2>&1").c_str());
}

std::string quoted(const std::string& path) {
  return "'" + path + "'";
}

std::string schema() {
  return std::string(KURSOLIN_TEST_DATA) + "/gpx/gpx11.xsd";
}

std::string sample(const char* name) {
  return std::string(KURSOLIN_SHARED_SAMPLES) + "/" + name;
}

bool present(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// The rows of a CSV file as column name -> text, quotes removed.
std::vector<std::map<std::string, std::string>> readCsv(const std::string& path) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(test::readBytes(path));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> cells(1);
    bool inQuotes = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      if (inQuotes && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        cells.back().push_back('"');
        ++i;
      } else if (c == '"') {
        inQuotes = !inQuotes;
      } else if (c == ',' && !inQuotes) {
        cells.emplace_back();
      } else {
        cells.back().push_back(c);
      }
    }
    rows.push_back(cells);
  }
  std::vector<std::map<std::string, std::string>> out;
  for (std::size_t r = 1; r < rows.size(); ++r) {
    std::map<std::string, std::string> m;
    for (std::size_t c = 0; c < rows[0].size() && c < rows[r].size(); ++c)
      m[rows[0][c]] = rows[r][c];
    out.push_back(m);
  }
  return out;
}

class GpxInterop : public ::testing::Test {
 protected:
  GpxInterop() : session(port, HostSettings::german()) {}
  void SetUp() override { test::createLikeTheWindow(session); }

  // A route through all four quarters of the globe, with names that need escaping and UTF-8.
  void writeRoute() {
    using P = test::GpxOutPoint;
    const auto u = RouteRole::Unknown;
    test::writeGpxRoute(
        session,
        {P{"48.117300", "11.516667", "-", u, "545", "123519.00", "010623"},
         P{"-33.856800", "151.215000", "Sydney & <Oper>", u, "12", "235959.379", "311299"},
         P{"-22.951900", "-43.210500", "Grüße – €"_cp, u, "0", "000000.00", "01.01.00"},
         P{"40.689200", "-74.044500", "-", u, "93", "000001.5", "010100"},
         P{"0.000000", "0.000000", "\"Null\" 'Insel'", u}, P{"89.999999", "-180.000000", "-", u}});
  }

  test::ScriptedPort port;
  Session session;
  test::TempFolder dir;
};

TEST_F(GpxInterop, WrittenFilesValidateAgainstTheGpx11Schema) {
  if (!haveProgram("xmllint")) GTEST_SKIP() << "xmllint is not installed";
  writeRoute();
  // The whole route, the route turned round, a part file and a route without points.
  std::vector<TextLines> files(4);
  files[0] = session.doc.OutputLines;
  const std::vector<std::string> written = session.doc.OutputLines.lines();
  files[1].assign({written.rbegin(), written.rend()});
  files[2].assign({session.doc.OutputLines.at(5), session.doc.OutputLines.at(6)});
  for (auto& f : files) finishGpx(session, f);
  ASSERT_EQ(gpxPointCount(files[1]), 6);
  ASSERT_EQ(gpxPointCount(files[2]), 2);
  ASSERT_EQ(gpxPointCount(files[3]), 0);
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string path = dir.file("route" + std::to_string(i) + ".gpx");
    test::writeBytes(path, gpxFileBytes(files[i]));
    const std::string log = dir.file("xmllint.log");
    EXPECT_EQ(run("xmllint --nonet --noout --schema " + quoted(schema()) + " " + quoted(path), log),
              0)
        << i << "\n"
        << test::readBytes(log);
  }
  // The schema check does catch a broken file.
  const std::string bad = dir.file("bad.gpx");
  test::writeBytes(bad,
                   "<?xml version=\"1.0\"?><gpx version=\"1.1\" creator=\"x\" "
                   "xmlns=\"http://www.topografix.com/GPX/1/1\"><rte><rtept lat=\"91\" "
                   "lon=\"0\"/></rte></gpx>\n");
  EXPECT_NE(run("xmllint --nonet --noout --schema " + quoted(schema()) + " " + quoted(bad),
                dir.file("bad.log")),
            0);
}

TEST_F(GpxInterop, GpsBabelReadsTheCoordinatesWeWrite) {
  if (!haveProgram("gpsbabel")) GTEST_SKIP() << "gpsbabel is not installed";
  writeRoute();
  const std::string ours = dir.file("ours.gpx");
  test::writeBytes(ours, gpxFileBytes(session.doc.OutputLines));
  const std::string csv = dir.file("ours.csv"), log = dir.file("gpsbabel.log");
  ASSERT_EQ(
      run("gpsbabel -r -i gpx -f " + quoted(ours) + " -o unicsv,utc=0 -F " + quoted(csv), log), 0)
      << test::readBytes(log);
  const auto rows = readCsv(csv);
  const std::vector<std::vector<std::string>> expected = {
      {"48.117300", "11.516667", "KS-Rp 1", "2023/06/01", "12:35:19"},
      {"-33.856800", "151.215000", "Sydney & <Oper>", "1999/12/31", "23:59:59.379"},
      {"-22.951900", "-43.210500", "Grüße – €", "", ""},
      {"40.689200", "-74.044500", "KS-Rp 4", "2000/01/01", "00:00:01.500"},
      {"0.000000", "0.000000", "\"Null\" 'Insel'", "", ""},
      {"89.999999", "-180.000000", "KS-Rp 6", "", ""},
  };
  ASSERT_EQ(rows.size(), expected.size()) << test::readBytes(csv);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    auto r = rows[i];
    EXPECT_EQ(
        (std::vector<std::string>{r["Latitude"], r["Longitude"], r["Name"], r["Date"], r["Time"]}),
        expected[i])
        << i;
  }
}

// gpsbabel's own reading of a GPX file as rows of unicsv.
std::vector<std::map<std::string, std::string>> babelRows(const std::string& gpx,
                                                          const std::string& csv,
                                                          const std::string& log) {
  if (run("gpsbabel -t -i gpx -f " + quoted(gpx) + " -o unicsv,utc=0 -F " + quoted(csv), log) != 0)
    return {};
  return readCsv(csv);
}

// "2004/08/07" and "03:29:08.379" as the record holds them: "070804" and "032908.379".
std::pair<std::string, std::string> recordForm(const std::string& date, const std::string& time) {
  std::string t = time.substr(0, 2) + time.substr(3, 2) + time.substr(6);
  if (t.size() == 6) t += ".";
  while (t.size() < 9) t += "0";
  return {date.substr(8, 2) + date.substr(5, 2) + date.substr(2, 2), t};
}

TEST_F(GpxInterop, WeReadWhatGpsBabelWritesFromTheSampleLogs) {
  if (!haveProgram("gpsbabel")) GTEST_SKIP() << "gpsbabel is not installed";
  int samples = 0;
  for (const char* name : {"track-gga-rmc-vtg.nmea", "track-subsecond.nmea"}) {
    if (!present(sample(name))) continue;
    ++samples;
    const std::string gpx = dir.file(std::string(name) + ".gpx"), log = dir.file("babel.log");
    ASSERT_EQ(
        run("gpsbabel -i nmea -f " + quoted(sample(name)) + " -o gpx,gpxver=1.1 -F " + quoted(gpx),
            log),
        0)
        << test::readBytes(log);
    const GpxLoad load = loadGpxFile(gpx);
    ASSERT_TRUE(load.ok) << load.message;
    EXPECT_EQ(load.source, GpxSource::Track);
    const auto rows = babelRows(gpx, dir.file("babel.csv"), log);
    ASSERT_EQ(load.lines.size(), rows.size()) << name;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      ASSERT_EQ(GetGPX(session, load.lines[i], static_cast<int>(i)), 1) << load.lines[i];
      auto r = rows[i];
      const PointRecord& p = session.CurrentPoint;
      const auto [date, time] = recordForm(r["Date"], r["Time"]);
      EXPECT_EQ((std::vector<std::string>{p.LatDec, p.LonDec, p.Date, p.Time}),
                (std::vector<std::string>{r["Latitude"], r["Longitude"], date, time}))
          << name << " point " << i;
    }
    if (std::string(name) != "track-gga-rmc-vtg.nmea") continue;
    // This log has one GGA sentence per epoch: the track holds exactly its fixes, at the times
    // and positions our own NMEA parser reads from it.
    TextLines log_;
    log_.setText(test::readBytes(sample(name)));
    std::vector<std::vector<std::string>> fromNmea, fromGpx;
    for (int i = 0; i < log_.Count(); ++i) {
      if (log_.at(i).rfind("$GPGGA", 0) != 0) continue;
      ASSERT_TRUE(GetGGA(session, log_.at(i), i));
      if (session.CurrentPoint.FixOk != "1") continue;
      completePositionTexts(session.numbers, session.CurrentPoint);
      fromNmea.push_back(
          {session.CurrentPoint.Time, session.CurrentPoint.LatDec, session.CurrentPoint.LonDec});
    }
    for (std::size_t i = 0; i < load.lines.size(); ++i) {
      ASSERT_EQ(GetGPX(session, load.lines[i], static_cast<int>(i)), 1);
      fromGpx.push_back(
          {session.CurrentPoint.Time, session.CurrentPoint.LatDec, session.CurrentPoint.LonDec});
    }
    EXPECT_EQ(fromGpx.size(), 154u);
    EXPECT_EQ(fromGpx, fromNmea);
  }
  if (samples == 0) GTEST_SKIP() << "shared samples not present";
  EXPECT_TRUE(port.prompts.empty());
}

}  // namespace
}  // namespace kursolin
