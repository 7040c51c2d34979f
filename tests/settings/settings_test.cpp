#include "settings/settings.h"

#include <gtest/gtest.h>

#include "core/cp1252.h"
#include "formats/bcr.h"
#include "formats/coordtext.h"
#include "formats/falk.h"
#include "formats/gpx.h"
#include "formats/navigon.h"
#include "formats/table.h"
#include "formats/tomtom.h"
#include "session/map_options.h"
#include "support/hosts.h"
#include "support/temp_folder.h"

namespace kursolin {
namespace {

using test::fixture;
using test::readBytes;
using test::writeBytes;

class Settings : public test::HostTest {
 protected:
  Settings() { session.AppDir = folder.dir(); }

  std::string iniPath() const { return folder.file("Kursolin.Ini"); }
  /// Loads a settings file holding text.
  void load(const std::string& text) {
    writeBytes(iniPath(), text);
    ASSERT_EQ(loadSettings(session), ProfileReadStatus::Read);
  }
  /// The value of one key of the settings file as it stands on disk.
  std::string onDisk(const char* section, const char* key) {
    return Profile::fromBytes(readBytes(iniPath())).readString(section, key, "<missing>");
  }

  test::TempFolder folder;
};

void expectSameSettings(const Session& a, const Session& b) {
  for (const SettingRow& row : settingRows()) {
    EXPECT_TRUE(settingValue(a, row) == settingValue(b, row)) << row.section << "/" << row.key;
  }
  EXPECT_EQ(a.shell.HideStartDialog, b.shell.HideStartDialog);
  EXPECT_EQ(a.opt.ShowErrors, b.opt.ShowErrors);
}

TEST_P(Settings, PathIsTheIniFileInAppDir) {
  session.AppDir = "/opt/kursolin/";
  EXPECT_EQ(settingsPath(session), "/opt/kursolin/Kursolin.Ini");
}

TEST_P(Settings, FirstStartWithoutAFileGivesEveryDefault) {
  // Start from a session full of other values, so each default must really be applied.
  ASSERT_EQ(loadSettingsFrom(session, fixture("full.ini")), ProfileReadStatus::Read);
  ASSERT_EQ(loadSettings(session), ProfileReadStatus::Missing);
  const Session& s = session;
  EXPECT_EQ(s.opt.InputFormat, 1);
  EXPECT_EQ(s.opt.OutputFormat, 1);
  EXPECT_EQ(s.opt.TimeMode, 1);
  EXPECT_EQ(s.opt.SummerOffset, 2);
  EXPECT_EQ(s.opt.WinterOffset, 1);
  EXPECT_TRUE(s.shell.ShowStartNotice);
  EXPECT_FALSE(s.shell.HideStartDialog);
  EXPECT_EQ(s.shell.geometry.SizeW, 853);
  EXPECT_EQ(s.shell.geometry.SizeH, 693);
  EXPECT_EQ(s.shell.geometry.PosT, 20);
  EXPECT_EQ(s.shell.geometry.PosH, 20);
  EXPECT_EQ(s.shell.geometry.NMH, 338);
  EXPECT_EQ(s.shell.geometry.NMW, 440);
  EXPECT_EQ(s.shell.geometry.NAH, 338);
  EXPECT_EQ(s.shell.geometry.NAW, 398);
  EXPECT_EQ(s.shell.geometry.STH, 223);
  EXPECT_EQ(s.shell.geometry.STW, 843);
  EXPECT_TRUE(s.opt.rules.MeterCheck);
  EXPECT_EQ(s.opt.rules.MeterSpin, 1000);
  EXPECT_EQ(s.opt.rules.MeterSpeedEdit, 50);
  EXPECT_TRUE(s.opt.rules.GradCheck);
  EXPECT_EQ(s.opt.rules.GradEdit, 75);
  EXPECT_EQ(s.opt.rules.GradSpeedEdit, 20);
  EXPECT_TRUE(s.opt.rules.PauseCheck);
  EXPECT_EQ(s.opt.rules.PauseEdit, 3);
  EXPECT_FALSE(s.opt.rules.ZeitCheck);
  EXPECT_EQ(s.opt.rules.ZeitSpin, 30);
  EXPECT_EQ(s.opt.rules.MinDistEdit, 50);
  EXPECT_FALSE(s.opt.rules.AllGGACheck);
  EXPECT_EQ(s.opt.rules.XRPSpin, 10);
  EXPECT_EQ(s.opt.get(InputSeparator), "\t");
  EXPECT_EQ(s.opt.get(InputSeparatorText), "Tab");
  EXPECT_EQ(s.opt.get(OutputSeparator), "\t");
  EXPECT_TRUE(s.opt.get(InputLatFirst));
  EXPECT_TRUE(s.opt.get(OutputLatFirst));
  EXPECT_FALSE(s.opt.get(InputFreeSeparator));
  EXPECT_FALSE(s.opt.get(OutputFreeSeparator));
  EXPECT_EQ(s.opt.get(TEFreeEdit), "-");
  EXPECT_EQ(s.opt.get(TAFreeEdit), "-");
  EXPECT_EQ(s.opt.get(CsvSeparator), ";");
  EXPECT_EQ(s.opt.StopSpeed, 1.0L);
  EXPECT_EQ(s.opt.StartSpeed, 7.0L);
  EXPECT_EQ(s.opt.HKorEdit, 48);
  EXPECT_TRUE(s.opt.HoeheNull);
  EXPECT_EQ(s.opt.get(MpMN), 100);
  EXPECT_EQ(s.opt.get(MpTT3), 15);
  EXPECT_EQ(s.opt.get(MpFalk), 90);
  EXPECT_EQ(s.opt.get(MpMTP), 50);
  EXPECT_EQ(s.opt.get(TTFlags), "413");
  EXPECT_EQ(s.opt.get(FalkFlags), "4324");
  EXPECT_FALSE(s.opt.get(MN4ShowOrt));
  EXPECT_FALSE(s.opt.get(MN42ShowOrt));
  EXPECT_TRUE(s.opt.get(MN5ShowOrt));
  EXPECT_FALSE(s.opt.ShowPointInfo);
  EXPECT_EQ(s.opt.OpenDir, folder.dir());
  EXPECT_EQ(s.opt.SaveDir, folder.dir());
  EXPECT_EQ(s.opt.get(BcrDirectory), folder.dir());
  EXPECT_EQ(s.opt.get(RNHeader), "");
  EXPECT_FALSE(s.opt.get(RDeskripToFN));
  EXPECT_EQ(s.opt.get(PIndex), 0);
  EXPECT_EQ(s.opt.get(OPTIMIZATION), 50);
  EXPECT_FALSE(s.opt.get(PREFERNICE_C) || s.opt.get(ALTROUTE_C) || s.opt.get(CORRUSED_C) ||
               s.opt.get(TRAFFICUSED_C) || s.opt.get(PREFERMAUT_C) || s.opt.get(PREFERVIGN_C));
  EXPECT_FALSE(s.shell.debug.Find || s.shell.debug.HelpEdit || s.shell.debug.ShowErrorMenu ||
               s.shell.debug.ShowError);
  EXPECT_FALSE(s.opt.ShowErrors);
  EXPECT_FALSE(session.shell.item("Fehlermeldung").visible);
  EXPECT_FALSE(session.shell.item("RPInfo").checked);
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(Settings, FirstCloseCreatesTheFileWithEveryWrittenKeyInOrder) {
  session.AppDir = "/opt/kursolin/";
  ASSERT_EQ(loadSettingsFrom(session, iniPath()), ProfileReadStatus::Missing);
  ASSERT_TRUE(saveSettingsTo(session, iniPath()));
  EXPECT_EQ(readBytes(iniPath()), readBytes(fixture("defaults.ini")));
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(Settings, SaveGoesToAppDir) {
  ASSERT_TRUE(saveSettings(session));
  EXPECT_EQ(onDisk("Setup", "DiM"), "1000");
  EXPECT_EQ(folder.entries(), std::set<std::string>{"Kursolin.Ini"});
}

TEST_P(Settings, EveryKeyOfAFullFileReachesItsTarget) {
  ASSERT_EQ(loadSettingsFrom(session, fixture("full.ini")), ProfileReadStatus::Read);
  const Session& s = session;
  EXPECT_EQ(s.opt.OutputFormat, 5);
  EXPECT_EQ(s.opt.get(MpTT3), 25);
  EXPECT_EQ(s.opt.get(TTFlags), "123");
  EXPECT_EQ(s.opt.get(MpMN), 200);
  EXPECT_TRUE(s.opt.get(MN4ShowOrt));
  EXPECT_TRUE(s.opt.get(MN42ShowOrt));
  EXPECT_FALSE(s.opt.get(MN5ShowOrt));
  EXPECT_EQ(s.opt.get(MpFalk), 40);
  EXPECT_EQ(s.opt.get(MpGPX), 30);
  EXPECT_EQ(s.opt.get(FalkFlags), "1234");
  EXPECT_EQ(s.opt.MaxRoutePoints, 255);
  EXPECT_EQ(s.shell.pictureGeometry.T, 300);
  EXPECT_EQ(s.shell.pictureGeometry.L, -20);
  EXPECT_EQ(s.shell.pictureGeometry.W, 900);
  EXPECT_EQ(s.shell.pictureGeometry.H, 650);
  EXPECT_TRUE(s.opt.ShowPointInfo);
  EXPECT_TRUE(session.shell.item("RPInfo").checked);
  EXPECT_EQ(s.shell.geometry.SizeH, 700);
  EXPECT_EQ(s.shell.geometry.SizeW, 900);
  EXPECT_EQ(s.shell.geometry.PosT, 55);
  EXPECT_EQ(s.shell.geometry.PosH, 300);
  EXPECT_EQ(s.shell.geometry.NMH, 300);
  EXPECT_EQ(s.shell.geometry.NMW, 500);
  EXPECT_EQ(s.shell.geometry.NAH, 301);
  EXPECT_EQ(s.shell.geometry.NAW, 350);
  EXPECT_EQ(s.shell.geometry.STH, 210);
  EXPECT_EQ(s.shell.geometry.STW, 880);
  EXPECT_FALSE(s.opt.rules.MeterCheck);
  EXPECT_EQ(s.opt.rules.MeterSpin, 2000);
  EXPECT_EQ(s.opt.rules.MeterSpeedEdit, 60);
  EXPECT_FALSE(s.opt.rules.GradCheck);
  EXPECT_EQ(s.opt.rules.GradEdit, 45);
  EXPECT_EQ(s.opt.rules.GradSpeedEdit, 30);
  EXPECT_FALSE(s.opt.rules.PauseCheck);
  EXPECT_EQ(s.opt.rules.PauseEdit, 5);
  EXPECT_TRUE(s.opt.rules.ZeitCheck);
  EXPECT_EQ(s.opt.rules.ZeitSpin, 120);
  EXPECT_EQ(s.opt.rules.MinDistEdit, 80);
  EXPECT_FALSE(s.opt.rules.AllGGACheck);
  EXPECT_EQ(s.opt.rules.XRPSpin, 25);
  EXPECT_EQ(s.opt.StopSpeed, 2.0L);
  EXPECT_EQ(s.opt.StartSpeed, 9.0L);
  EXPECT_EQ(s.opt.HKorEdit, 12);
  EXPECT_FALSE(s.opt.HoeheNull);
  EXPECT_EQ(s.opt.get(CsvSeparator), ",");
  EXPECT_EQ(s.opt.get(InputSeparator), ";");
  EXPECT_EQ(s.opt.get(InputSeparatorText), ";");
  EXPECT_EQ(s.opt.get(OutputSeparator), "|");
  EXPECT_FALSE(s.opt.get(InputLatFirst));
  EXPECT_FALSE(s.opt.get(OutputLatFirst));
  EXPECT_TRUE(s.opt.get(InputFreeSeparator));
  EXPECT_TRUE(s.opt.get(OutputFreeSeparator));
  EXPECT_EQ(s.opt.get(TEFreeEdit), "#");
  EXPECT_EQ(s.opt.get(TAFreeEdit), "*");
  EXPECT_EQ(s.opt.InputFormat, 9);
  EXPECT_EQ(s.opt.TimeMode, 2);
  EXPECT_EQ(s.opt.SummerOffset, 3);
  EXPECT_EQ(s.opt.WinterOffset, 0);
  EXPECT_FALSE(s.shell.ShowStartNotice);
  EXPECT_TRUE(s.shell.HideStartDialog);
  EXPECT_EQ(s.opt.OpenDir, "/home/anna/Müller/"_cp);
  EXPECT_EQ(s.opt.SaveDir, "/home/anna/Navi Routen/");
  EXPECT_EQ(s.opt.get(BcrDirectory), "/home/anna/BCR/");
  EXPECT_EQ(s.opt.get(MpMTP), 75);
  EXPECT_EQ(s.opt.get(RNHeader), "Tour: ");  // quoted in the file, so the blank is kept
  EXPECT_TRUE(s.opt.get(RDeskripToFN));
  EXPECT_EQ(s.opt.get(PIndex), 4);
  EXPECT_EQ(s.opt.get(OPTIMIZATION), 70);
  EXPECT_TRUE(s.opt.get(PREFERNICE_C) && s.opt.get(ALTROUTE_C) && s.opt.get(CORRUSED_C) &&
              s.opt.get(TRAFFICUSED_C) && s.opt.get(PREFERMAUT_C) && s.opt.get(PREFERVIGN_C));
  EXPECT_TRUE(s.shell.debug.Find && s.shell.debug.HelpEdit && s.shell.debug.ShowErrorMenu &&
              s.shell.debug.ShowError);
  EXPECT_TRUE(s.opt.ShowErrors);
  EXPECT_EQ(s.opt.get(MapSource), static_cast<int>(MapSourceKind::File));
  EXPECT_EQ(s.opt.get(MapUrl), "https://karten.example/{z}/{x}/{y}.png");
  EXPECT_EQ(s.opt.get(MapAttribution), "\xA9 Beispielkarte");
  EXPECT_EQ(s.opt.get(MapCacheMB), 50);
  EXPECT_EQ(s.opt.get(MapFile), "/home/anna/Karten/Alpen.mbtiles");
}

TEST_P(Settings, SavingAnUnchangedFullFileChangesNoByte) {
  const std::string original = readBytes(fixture("full.ini"));
  load(original);
  ASSERT_TRUE(saveSettings(session));
  EXPECT_EQ(readBytes(iniPath()), original);
}

TEST_P(Settings, LoadSaveLoadKeepsEveryValue) {
  writeBytes(iniPath(), readBytes(fixture("full.ini")));
  ASSERT_EQ(loadSettings(session), ProfileReadStatus::Read);
  // Values a run may set that the fixture cannot hold for both hosts, and a few edits.
  session.opt.StopSpeed = 1.35L;
  session.opt.StartSpeed = 12.5L;
  session.opt.set(InputSeparator, "\t");
  session.opt.set(OutputSeparator, "\t");
  session.opt.set(TEFreeEdit, "\xA7");
  session.opt.rules.MeterSpin = 0;
  session.shell.geometry.PosT = -40;
  session.opt.set(MapSource, static_cast<int>(MapSourceKind::Online));
  session.opt.set(MapAttribution, "© Straßenkarte"_cp);
  session.opt.set(MapCacheMB, 4096);
  ASSERT_TRUE(saveSettings(session));
  EXPECT_EQ(onDisk("Karte", "Namensnennung"), "© Straßenkarte"_cp) << "cp1252 on disk";
  EXPECT_EQ(onDisk("Pref", "StopSpeed"), h("1.35"));
  EXPECT_EQ(onDisk("Pref", "StartSpeed"), h("12.5"));
  EXPECT_EQ(onDisk("Pref", "TE_Trenner"), "Tab");

  test::ScriptedPort port2;
  Session again(port2, test::hostWith(sep()));
  again.AppDir = session.AppDir;
  ASSERT_EQ(loadSettings(again), ProfileReadStatus::Read);
  expectSameSettings(session, again);
  EXPECT_EQ(again.opt.StopSpeed, 1.35L);
  EXPECT_EQ(again.opt.get(InputSeparator), "\t");
  EXPECT_EQ(again.opt.get(InputSeparatorText), "Tab");
  EXPECT_EQ(again.opt.get(TEFreeEdit), "\xA7");
  EXPECT_EQ(again.shell.geometry.PosT, -40);
  EXPECT_EQ(again.opt.rules.MeterSpin, 0);
  EXPECT_EQ(again.opt.get(RNHeader), "Tour: ");
  EXPECT_TRUE(again.shell.debug.ShowError);
  EXPECT_EQ(again.opt.get(MapSource), static_cast<int>(MapSourceKind::Online));
  EXPECT_EQ(again.opt.get(MapCacheMB), 4096);
}

TEST_P(Settings, HandEditedLinesSurviveAClose) {
  session.AppDir = "/opt/kursolin/";
  writeBytes(iniPath(), readBytes(fixture("handedited.ini")));
  ASSERT_EQ(loadSettingsFrom(session, iniPath()), ProfileReadStatus::Read);
  EXPECT_EQ(session.opt.OutputFormat, 3);
  EXPECT_EQ(session.opt.rules.MeterSpin, 2000);
  EXPECT_EQ(session.opt.get(RNHeader), "Tour:");
  EXPECT_TRUE(session.shell.debug.Find);
  session.opt.rules.MeterSpin = 3000;
  ASSERT_TRUE(saveSettingsTo(session, iniPath()));
  EXPECT_EQ(readBytes(iniPath()), readBytes(fixture("handedited_saved.ini")));
}

// No settings file is a megabyte long; a larger one (or a device) is refused before it fills the
// memory, and a refused file is never replaced by the close.
TEST_P(Settings, AnOversizedFileIsRefusedAndNeverOverwritten) {
  std::string big = "[Setup]\r\nDiM=7000\r\n";
  big.resize(Profile::kMaxSettingsFileBytes + 1, ';');
  writeBytes(iniPath(), big);
  std::string why;
  EXPECT_EQ(loadSettingsFrom(session, iniPath(), &why), ProfileReadStatus::Unreadable);
  EXPECT_EQ(why, "Datei gr\xF6\xDF" "er als 1 MiB");
  EXPECT_NE(session.opt.rules.MeterSpin, 7000) << "nothing of a refused file is used";
  EXPECT_FALSE(saveSettingsTo(session, iniPath()));
  EXPECT_EQ(readBytes(iniPath()), big);

  big.resize(Profile::kMaxSettingsFileBytes);
  writeBytes(iniPath(), big);
  EXPECT_EQ(loadSettingsFrom(session, iniPath(), &why), ProfileReadStatus::Read);
  EXPECT_EQ(session.opt.rules.MeterSpin, 7000);
  EXPECT_EQ(loadSettingsFrom(session, "/dev/zero", &why), ProfileReadStatus::Unreadable);
}

TEST_P(Settings, FalkFlagsAreWrittenUnderTheKeyTheyAreReadFrom) {
  load("[Navi]\r\nFprvFlags=9999\r\nFalkFlags=1111\r\n");
  EXPECT_EQ(session.opt.get(FalkFlags), "1111");
  session.opt.set(FalkFlags, "2222");
  ASSERT_TRUE(saveSettings(session));
  EXPECT_EQ(onDisk("Navi", "FalkFlags"), "2222");
  EXPECT_EQ(onDisk("Navi", "FprvFlags"), "9999");
}

struct SeparatorCase {
  const char* fileText;  // the line's value as it stands in the file
  const char* separator;
  const char* separatorText;
  const char* writtenBack;
  friend std::ostream& operator<<(std::ostream& o, const SeparatorCase& c) {
    return o << ::testing::PrintToString(std::string(c.fileText));
  }
};

class SeparatorKeys : public ::testing::TestWithParam<SeparatorCase> {};

TEST_P(SeparatorKeys, OnlyTheExactWordTabIsTheTabCharacter) {
  const SeparatorCase& c = GetParam();
  test::TempFolder folder;
  test::ScriptedPort port;
  Session s(port, HostSettings::german());
  s.AppDir = folder.dir();
  const std::string path = folder.file("Kursolin.Ini");
  writeBytes(path, std::string("[Pref]\r\nTE_Trenner=") + c.fileText +
                       "\r\nTA_Trenner=" + c.fileText + "\r\n");
  ASSERT_EQ(loadSettings(s), ProfileReadStatus::Read);
  EXPECT_EQ(s.opt.get(InputSeparator), c.separator);
  EXPECT_EQ(s.opt.get(InputSeparatorText), c.separatorText);
  EXPECT_EQ(s.opt.get(OutputSeparator), c.separator);
  ASSERT_TRUE(saveSettings(s));
  const Profile saved = Profile::fromBytes(readBytes(path));
  EXPECT_EQ(saved.readString("Pref", "TE_Trenner", "<missing>"), c.writtenBack);
  EXPECT_EQ(saved.readString("Pref", "TA_Trenner", "<missing>"), c.writtenBack);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SeparatorKeys,
    ::testing::Values(SeparatorCase{"Tab", "\t", "Tab", "Tab"},
                      SeparatorCase{"tab", "tab", "tab", "tab"},
                      SeparatorCase{"TAB", "TAB", "TAB", "TAB"},
                      SeparatorCase{"\"Tab\"", "\t", "Tab", "Tab"}, SeparatorCase{"", "", "", ""},
                      SeparatorCase{";", ";", ";", ";"},
                      SeparatorCase{"\t", "", "", ""},  // a bare tab is a blank and trimmed away
                      SeparatorCase{"\"\t\"", "\t", "\t", "Tab"}));

TEST_P(Settings, StopSpeedIsReadWithTheHostSeparatorOnly) {
  const std::string own = h("1.5");
  const std::string foreign = sep() == ',' ? "1.5" : "1,5";
  load("[Pref]\r\nStopSpeed=" + foreign + "\r\nStartSpeed=" + own + "\r\n");
  EXPECT_EQ(session.opt.StopSpeed, 1.0L);
  EXPECT_EQ(session.opt.StartSpeed, 1.5L);
  ASSERT_TRUE(saveSettings(session));
  EXPECT_EQ(onDisk("Pref", "StopSpeed"), "1");
  EXPECT_EQ(onDisk("Pref", "StartSpeed"), own);
}

struct RuleCase {
  const char* setup;
  bool meter, grad, pause, zeit, allGga;
  friend std::ostream& operator<<(std::ostream& o, const RuleCase& c) {
    return o << ::testing::PrintToString(std::string(c.setup));
  }
};

class RuleBoxes : public ::testing::TestWithParam<RuleCase> {};

TEST_P(RuleBoxes, TheKeyReadLastWins) {
  const RuleCase& c = GetParam();
  test::TempFolder folder;
  test::ScriptedPort port;
  Session s(port, HostSettings::english());
  s.AppDir = folder.dir();
  writeBytes(folder.file("Kursolin.Ini"), std::string("[Setup]\r\n") + c.setup);
  loadSettings(s);
  EXPECT_EQ(s.opt.rules.MeterCheck, c.meter);
  EXPECT_EQ(s.opt.rules.GradCheck, c.grad);
  EXPECT_EQ(s.opt.rules.PauseCheck, c.pause);
  EXPECT_EQ(s.opt.rules.ZeitCheck, c.zeit);
  EXPECT_EQ(s.opt.rules.AllGGACheck, c.allGga);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RuleBoxes,
    ::testing::Values(
        RuleCase{"AGC=1\r\nDiC=1\r\n", false, false, false, false, true},
        RuleCase{"DiC=1\r\nSecC=1\r\nAGC=1\r\n", false, false, false, false, true},
        RuleCase{"DiC=0\r\nRwC=0\r\nStopC=0\r\nAGC=1\r\n", false, false, false, false, true},
        RuleCase{"SecC=1\r\nAGC=0\r\n", true, true, true, true, false},
        RuleCase{"DiC=0\r\nRwC=1\r\nStopC=0\r\nSecC=0\r\n", false, true, false, false, false}));

TEST_P(Settings, ErrorPromptsCanBeOnWhileTheirMenuItemStaysHidden) {
  load("[Debug]\r\nShowErrorMenu=0\r\nShowError=1\r\n");
  EXPECT_TRUE(session.opt.ShowErrors);
  EXPECT_TRUE(session.shell.item("Fehlermeldung").checked);
  EXPECT_FALSE(session.shell.item("Fehlermeldung").visible);
  EXPECT_FALSE(session.shell.item("N5").visible);

  load("[Debug]\r\nShowErrorMenu=1\r\nShowError=0\r\n");
  EXPECT_FALSE(session.opt.ShowErrors);
  EXPECT_FALSE(session.shell.item("Fehlermeldung").checked);
  EXPECT_TRUE(session.shell.item("Fehlermeldung").visible);
  EXPECT_TRUE(session.shell.item("N5").visible);
}

TEST_P(Settings, ValuesOutsideAFieldsRangeBecomeTheNearerBoundAndAreSavedSo) {
  load(
      "[Navi]\r\nMpTT3=20000\r\nMpMN=-1\r\nMpFalk=10001\r\nMaxRp=1\r\n"
      "[Setup]\r\nDiM=200000\r\nDiK=-5\r\nRwG=100\r\nRwK=301\r\nStop=0\r\nSek=0\r\n"
      "MinDist=60000\r\nXRp=5000\r\n"
      "[Pref]\r\nHKor=2000\r\n"
      "[BCR]\r\nMP=99999\r\nOptim=10\r\n");
  struct Expect {
    const char* section;
    const char* key;
    int value;
  };
  const Expect expected[] = {
      {"Navi", "MpTT3", 10000},    {"Navi", "MpMN", 0},    {"Navi", "MpFalk", 10000},
      {"Navi", "MaxRp", 2},
      {"Setup", "DiM", 99000},     {"Setup", "DiK", 0},    {"Setup", "RwG", 90},
      {"Setup", "RwK", 300},       {"Setup", "Stop", 1},   {"Setup", "Sek", 1},
      {"Setup", "MinDist", 50000}, {"Setup", "XRp", 1000}, {"Pref", "HKor", 1000},
      {"BCR", "MP", 10000},        {"BCR", "Optim", 30}};
  EXPECT_EQ(session.opt.rules.MeterSpin, 99000);
  EXPECT_EQ(session.opt.HKorEdit, 1000);
  EXPECT_EQ(session.opt.get(OPTIMIZATION), 30);
  ASSERT_TRUE(saveSettings(session));
  for (const Expect& e : expected) {
    EXPECT_EQ(onDisk(e.section, e.key), std::to_string(e.value)) << e.section << "/" << e.key;
  }
  load("[BCR]\r\nOptim=100\r\n");
  EXPECT_EQ(session.opt.get(OPTIMIZATION), 95);
}

TEST_P(Settings, WindowGeometryIsTakenAsItStands) {
  load("[Pos]\r\nH=300\r\nT=-40\r\n[Size]\r\nH=5\r\nW=100000\r\n");
  EXPECT_EQ(session.shell.geometry.PosH, 300);
  EXPECT_EQ(session.shell.geometry.PosT, -40);
  EXPECT_EQ(session.shell.geometry.SizeH, 5);
  EXPECT_EQ(session.shell.geometry.SizeW, 100000);
  ASSERT_TRUE(saveSettings(session));
  EXPECT_EQ(onDisk("Pos", "H"), "300");
  EXPECT_EQ(onDisk("Size", "H"), "5");
}

TEST_P(Settings, ABlankFreeSeparatorIsWrittenAsBlankAndReadBackEmpty) {
  session.opt.set(TEFreeEdit, " ");
  session.opt.set(TAFreeEdit, " ");
  ASSERT_TRUE(saveSettings(session));
  const std::string bytes = readBytes(iniPath());
  EXPECT_NE(bytes.find("\r\nTE_FreeTrenner= \r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\nTA_FreeTrenner= \r\n"), std::string::npos);
  ASSERT_EQ(loadSettings(session), ProfileReadStatus::Read);
  EXPECT_EQ(session.opt.get(TEFreeEdit), "");
  EXPECT_EQ(session.opt.get(TAFreeEdit), "");
}

TEST_P(Settings, UnreadableNumbersGiveTheDefaultButEmptyTextsStayEmpty) {
  load(
      "[Setup]\r\nDiM=viel\r\nDiC=ja\r\nSecC=true\r\n[Navi]\r\nTTFlags=\r\nMpMN=0x20\r\n"
      "[Dir]\r\nNMEA=\r\n");
  EXPECT_EQ(session.opt.rules.MeterSpin, 1000);
  EXPECT_TRUE(session.opt.rules.MeterCheck);
  EXPECT_FALSE(session.opt.rules.ZeitCheck);
  EXPECT_EQ(session.opt.get(TTFlags), "");
  EXPECT_EQ(session.opt.get(MpMN), 32);
  EXPECT_EQ(session.opt.OpenDir, "");
  EXPECT_EQ(session.opt.SaveDir, folder.dir());
}

TEST_P(Settings, KeysAreFoundWhateverTheirLetterCase) {
  load("[SETUP]\r\ndim=4000\r\n[pref]\r\nte_trenner=|\r\n[POS]\r\nh=77\r\n");
  EXPECT_EQ(session.opt.rules.MeterSpin, 4000);
  EXPECT_EQ(session.opt.get(InputSeparator), "|");
  EXPECT_EQ(session.shell.geometry.PosH, 77);
  EXPECT_EQ(session.shell.geometry.SizeH, 693);
  // The close replaces those lines rather than adding a second spelling.
  session.opt.rules.MeterSpin = 5000;
  ASSERT_TRUE(saveSettings(session));
  const std::string bytes = readBytes(iniPath());
  EXPECT_NE(bytes.find("[SETUP]\r\ndim=5000\r\n"), std::string::npos);
  EXPECT_EQ(bytes.find("DiM="), std::string::npos);
}

// --- Overrides of the batch converter ---------------------------------------------------------

TEST_P(Settings, OverridesFollowTheNamesAndRulesOfTheFile) {
  std::string reason;
  EXPECT_TRUE(applySettingOverride(session, "setup", "dim", " 200000 ", &reason)) << reason;
  EXPECT_EQ(session.opt.rules.MeterSpin, 99000);
  EXPECT_TRUE(applySettingOverride(session, "Pref", "TE_Trenner", "Tab", &reason));
  EXPECT_EQ(session.opt.get(InputSeparator), "\t");
  EXPECT_TRUE(applySettingOverride(session, "Pref", "TA_Trenner", "\";\"", &reason));
  EXPECT_EQ(session.opt.get(OutputSeparator), ";");
  EXPECT_TRUE(applySettingOverride(session, "Setup", "AGC", "1", &reason));
  EXPECT_TRUE(session.opt.rules.AllGGACheck);
  EXPECT_FALSE(session.opt.rules.MeterCheck);
  EXPECT_TRUE(applySettingOverride(session, "Pref", "StopSpeed", h("2.5"), &reason));
  EXPECT_EQ(session.opt.StopSpeed, 2.5L);
  EXPECT_TRUE(applySettingOverride(session, "Debug", "ShowError", "1", &reason));
  EXPECT_TRUE(session.opt.ShowErrors);
  EXPECT_TRUE(applySettingOverride(session, "Navi", "MpMN", "0x40", &reason));
  EXPECT_EQ(session.opt.get(MpMN), 64);
}

TEST_P(Settings, OverridesRefuseUnknownKeysAndUnreadableValues) {
  std::string reason;
  EXPECT_FALSE(applySettingOverride(session, "Setup", "Nonsense", "1", &reason));
  EXPECT_EQ(reason, "Unbekannte Einstellung Setup/Nonsense");
  EXPECT_FALSE(applySettingOverride(session, "Navi", "DiM", "1", &reason));  // wrong section
  EXPECT_EQ(reason, "Unbekannte Einstellung Navi/DiM");

  const std::string foreign = sep() == ',' ? "2.5" : "2,5";
  const struct {
    const char* section;
    const char* key;
    std::string value;
  } bad[] = {{"Setup", "DiM", "viel"},
             {"Setup", "DiC", "ja"},
             {"Pref", "StopSpeed", foreign},
             {"Size", "W", ""}};
  for (const auto& b : bad) {
    EXPECT_FALSE(applySettingOverride(session, b.section, b.key, b.value, &reason)) << b.key;
    EXPECT_EQ(reason,
              "Ungültiger Wert für "_cp + b.section + "/" + b.key + ": \"" + b.value + "\"");
  }
  EXPECT_EQ(session.opt.rules.MeterSpin, 1000);
  EXPECT_TRUE(session.opt.rules.MeterCheck);
  EXPECT_EQ(session.opt.StopSpeed, 1.0L);
  EXPECT_EQ(session.shell.geometry.SizeW, 853);
  EXPECT_FALSE(applySettingOverride(session, "X", "Y", "1"));  // the reason is optional
}

TEST_P(Settings, AnIniGivenOnTheCommandLineIsReadLikeTheOwnFile) {
  std::string error;
  EXPECT_EQ(loadSettingsFrom(session, folder.file("absent.ini"), &error),
            ProfileReadStatus::Missing);
  std::filesystem::create_directory(folder.file("dir.ini"));
  EXPECT_EQ(loadSettingsFrom(session, folder.file("dir.ini"), &error),
            ProfileReadStatus::Unreadable);
  EXPECT_FALSE(error.empty());
  writeBytes(folder.file("other.ini"), "[Setup]\r\nXRp=7\r\n");
  EXPECT_EQ(loadSettingsFrom(session, folder.file("other.ini")), ProfileReadStatus::Read);
  EXPECT_EQ(session.opt.rules.XRPSpin, 7);
}

KURSOLIN_ON_BOTH_HOSTS(Settings);

}  // namespace
}  // namespace kursolin
