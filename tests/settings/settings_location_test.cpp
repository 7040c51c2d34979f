// Where the settings file lives: beside the program while its folder can be written, else in the
// user's settings folder (an installed program). Permissions do not bind root, so the cases with
// an unwritable program folder run as the user "nobody".

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iostream>

#include <gtest/gtest.h>

#include "settings/settings.h"
#include "support/child_process.h"
#include "support/fake_port.h"
#include "support/temp_folder.h"

namespace kursolin {
namespace {

using test::inChild;
using test::kCannotDropPrivileges;

struct FolderCase {
  const char* xdg;
  const char* home;
  std::string expected;
};

TEST(SettingsLocation, UserFolderFromTheEnvironment) {
  const std::vector<FolderCase> cases = {
      {"/x/cfg", "/home/u", "/x/cfg/Kursolin/"},
      {"/x/cfg//", "/home/u", "/x/cfg/Kursolin/"},
      {nullptr, "/home/u", "/home/u/.config/Kursolin/"},
      {"", "/home/u/", "/home/u/.config/Kursolin/"},
      {"relativ/cfg", "/home/u", "/home/u/.config/Kursolin/"},
      {"/", "/home/u", "/Kursolin/"},
      {nullptr, "relativ", ""},
      {nullptr, nullptr, ""},
      {nullptr, "/home/j\xC3\xBCrgen",
       "/home/j\xFCrgen/.config/Kursolin/"},  // cp1252, as paths are
  };
  for (const FolderCase& c : cases) {
    EXPECT_EQ(userSettingsFolder(c.xdg, c.home), c.expected)
        << (c.xdg ? c.xdg : "(none)") << " / " << (c.home ? c.home : "(none)");
  }
}

class Location : public ::testing::Test {
 protected:
  void SetUp() override {
    // The user "nobody" must be able to create its settings folder below this one.
    ::chmod(base.path().c_str(), 0777);
    app = base.file("app");
    ASSERT_EQ(::mkdir(app.c_str(), 0755), 0);
    config = base.file("cfg/Kursolin/");
  }
  /// Saves a changed rule and reads it back in a fresh session, as the given user; 0 when both
  /// went to `expectedFile` and nothing else was written.
  int saveAndReload(bool unprivileged, const std::string& expectedFile) {
    return inChild(unprivileged, [&] {
      {
        test::ScriptedPort port;
        Session s(port, HostSettings::german());
        s.AppDir = app + "/";
        s.ConfigDir = config;
        if (settingsPath(s) != expectedFile) {
          std::cerr << "settings path " << settingsPath(s) << "\n";
          return 1;
        }
        loadSettings(s);
        s.opt.rules.MeterSpin = 7000;
        if (!saveSettings(s) || !port.prompts.empty()) return 2;
      }
      test::ScriptedPort port;
      Session again(port, HostSettings::german());
      again.AppDir = app + "/";
      again.ConfigDir = config;
      loadSettings(again);
      return again.opt.rules.MeterSpin == 7000 ? 0 : 3;
    });
  }
  test::TempFolder base;
  std::string app, config;
};

TEST_F(Location, AWritableProgramFolderKeepsItsSettings) {
  EXPECT_EQ(saveAndReload(false, app + "/Kursolin.Ini"), 0);
  EXPECT_FALSE(std::filesystem::exists(base.file("cfg"))) << "no user folder is made";
}

TEST_F(Location, AnInstalledProgramKeepsThemInTheUsersFolder) {
  ASSERT_EQ(::chmod(app.c_str(), 0555), 0);
  const int code = saveAndReload(true, config + "Kursolin.Ini");
  if (code == kCannotDropPrivileges) GTEST_SKIP() << "cannot run as an unprivileged user here";
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(std::filesystem::is_empty(app));
  struct stat st {};
  ASSERT_EQ(::stat(config.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u) << "the new settings folder is the user's alone";
}

// Installed for every user (the data folder beside the program folder): root may write among the
// programs, yet its settings go to its own folder like everybody's; a settings file that was put
// beside the program on purpose stays the one used.
TEST_F(Location, AnInstalledProgramUsesTheUsersFolderEvenWhereItMayWrite) {
  std::filesystem::create_directories(installedDataFolder(app + "/"));
  EXPECT_EQ(saveAndReload(false, config + "Kursolin.Ini"), 0);
  EXPECT_TRUE(std::filesystem::is_empty(app)) << "nothing is written among the programs";

  std::ofstream(app + "/Kursolin.Ini") << "[Setup]\r\n";
  EXPECT_EQ(saveAndReload(false, app + "/Kursolin.Ini"), 0);
}

TEST_F(Location, AUserFolderThatCannotBeMadeIsReportedOnSaving) {
  ASSERT_EQ(::chmod(app.c_str(), 0555), 0);
  ASSERT_EQ(::mkdir(base.file("cfg").c_str(), 0555), 0);
  const int code = inChild(true, [&] {
    test::ScriptedPort port;
    Session s(port, HostSettings::german());
    s.AppDir = app + "/";
    s.ConfigDir = config;
    if (saveSettings(s)) return 1;
    const std::string expected = "nach " + config + "Kursolin.Ini kann nicht geschrieben werden";
    if (port.prompts.size() != 1 || port.prompts[0].text != expected) {
      for (const auto& p : port.prompts) std::cerr << "[" << p.text << "]\n";
      return 2;
    }
    return 0;
  });
  if (code == kCannotDropPrivileges) GTEST_SKIP() << "cannot run as an unprivileged user here";
  EXPECT_EQ(code, 0);
}

}  // namespace
}  // namespace kursolin
