// kursolin-cli --device: every shipped profile turns logs and route files, made here and the
// real samples, into files its format reads back, within its limits.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "formats/registry.h"
#include "settings/devices.h"
#include "support/cli_runner.h"
#include "support/fake_port.h"
#include "support/nmea_writer.h"
#include "support/session_setup.h"
#include "support/temp_folder.h"
#include "workflow/loading.h"

namespace kursolin {
namespace {

// The points of one written file as the profile's format reads them (Falk has no reader: a
// point is a block of five lines there).
int pointsReadBack(const std::string& format, const std::string& file) {
  if (format == "falk") {
    TextLines lines;
    lines.setText(test::readBytes(file));
    return lines.Count() % 5 == 0 ? lines.Count() / 5 : -1;
  }
  // Navigon MN5 files are read with MN|4.2, whose layout they extend.
  const InputFormatInfo* in = inputFormatNamed(format == "mn5" ? "mn42-mn5" : format);
  if (!in) return -1;
  test::ScriptedPort port;
  Session s(port, HostSettings::german());
  test::createLikeTheWindow(s);
  test::useInput(s, in->code);
  if (!loadInputFile(s, file) || !port.prompts.empty()) return -1;
  return s.doc.InputLines.Count();
}

TEST(CliDevices, EachShippedProfileWritesFilesItsFormatReadsBack) {
  test::TempFolder folder;
  // A long ride with turns and a stop, and a planned route of 60 stations.
  test::TrackBuilder t(48.0, 11.0, 8 * 3600);
  t.add(t.current());
  for (int leg = 0; leg < 12; ++leg) t.drive(leg * 40 % 360, 60, 300).stand(leg == 5 ? 240 : 0);
  test::writeBytes(folder.file("fahrt.nmea"), test::joinCrLf(t.rmcLines()));
  std::string itn;
  for (int i = 0; i < 60; ++i)
    itn += std::to_string(1100000 + 900 * i) + "|" + std::to_string(4800000 + (i % 7) * 300) +
           "|P" + std::to_string(i) + "|" +
           (i == 0    ? "4"
            : i == 59 ? "3"
                      : "0") +
           "|\r\n";
  test::writeBytes(folder.file("geplant.itn"), itn);
  std::vector<std::string> inputs = {folder.file("fahrt.nmea"), folder.file("geplant.itn")};
  const std::string samples = KURSOLIN_SHARED_SAMPLES;
  for (const char* name : {"track-gga-rmc-vtg.nmea", "route.bcr", "route-tef.xml"}) {
    struct stat st {};
    if (::stat((samples + "/" + name).c_str(), &st) == 0) inputs.push_back(samples + "/" + name);
  }

  for (const DeviceProfile& d : shippedDeviceProfiles()) {
    for (const std::string& input : inputs) {
      SCOPED_TRACE(d.id + " " + input);
      const std::string out = folder.file(d.id);
      std::filesystem::remove_all(out);
      std::filesystem::create_directory(out);
      const std::string ext = outputFormatNamed(d.format)->saveExt;
      const auto r = test::runCli(folder, {"--device", d.id, "-o", out + "/Tour" + ext, input});
      ASSERT_EQ(r.rc, 0) << r.err;
      int total = 0, files = 0;
      for (const auto& e : std::filesystem::directory_iterator(out)) {
        const int n = pointsReadBack(d.format, e.path().string());
        ASSERT_GE(n, 1) << e.path();
        if (d.perFile > 0) EXPECT_LE(n, d.perFile) << e.path();
        total += n;
        ++files;
      }
      EXPECT_GE(total, 2);
      if (d.pointLimit > 0) EXPECT_LE(total, d.pointLimit);
      if (d.perFile == 0) EXPECT_EQ(files, 1);
    }
  }
}

TEST(CliDevices, ListsTheProfilesAndRefusesAnUnknownOne) {
  test::TempFolder folder;
  test::writeBytes(folder.file("Kursolin.Ini"),
                   "[Geraet eigenes]\r\nName=Mein Navi\r\nFormat=itn\r\nProDatei=30\r\n");
  const auto list = test::runCli(folder, {"--device", "list"});
  EXPECT_EQ(list.rc, 0);
  for (const DeviceProfile& d : shippedDeviceProfiles())
    EXPECT_NE(list.out.find(d.id + "  "), std::string::npos) << d.id;
  EXPECT_NE(list.out.find("eigenes  Mein Navi  (Format itn, 30 Punkte je Datei)"),
            std::string::npos)
      << list.out;
  const auto help = test::runCli(folder, {"--help"});
  EXPECT_NE(help.out.find("--device ZIEL"), std::string::npos);
  EXPECT_NE(help.out.find("garmin-motorrad"), std::string::npos);

  test::writeBytes(folder.file("a.itn"), "1100000|4800000|A|4|\r\n1100900|4800000|B|3|\r\n");
  const auto unknown = test::runCli(folder, {"--device", "zumo", folder.file("a.itn")});
  EXPECT_EQ(unknown.rc, 2);
  EXPECT_NE(unknown.err.find("Ein Zielgerät \"zumo\" gibt es nicht"), std::string::npos)
      << unknown.err;
}

}  // namespace
}  // namespace kursolin
