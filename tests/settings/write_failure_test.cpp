// A close that cannot write the settings file tells the user and loses nothing. Permissions do not
// bind root, so these cases run in a child process that first becomes the user "nobody".

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
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

/// Loads and saves the settings of appDir with one changed value; 0 when the save failed exactly
/// as the user should see it.
int expectRefusedSave(const std::string& appDir, ProfileReadStatus expectedLoad) {
  test::ScriptedPort port;
  Session s(port, HostSettings::german());
  s.AppDir = appDir;
  if (loadSettings(s) != expectedLoad) {
    std::cerr << "unexpected load status\n";
    return 1;
  }
  s.opt.rules.MeterSpin = 7000;
  if (saveSettings(s)) {
    std::cerr << "save reported success\n";
    return 1;
  }
  const std::string expected = "nach " + appDir + "Kursolin.Ini kann nicht geschrieben werden";
  if (port.prompts.size() != 1 || port.prompts[0].kind != PromptKind::Error ||
      port.prompts[0].buttons != PromptButtons::Ok || port.prompts[0].text != expected) {
    std::cerr << "prompts: " << port.prompts.size() << "\n";
    for (const auto& p : port.prompts) std::cerr << "  [" << p.text << "]\n";
    return 1;
  }
  return 0;
}

struct RefusedCase {
  const char* name;
  mode_t folderMode;
  mode_t fileMode;
  ProfileReadStatus load;
  friend std::ostream& operator<<(std::ostream& o, const RefusedCase& c) { return o << c.name; }
};

class RefusedSave : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedSave, ShowsTheMessageAndLeavesTheOldFile) {
  const RefusedCase& c = GetParam();
  test::TempFolder base;
  const std::string app = base.file("app");
  ASSERT_EQ(::mkdir(app.c_str(), 0755), 0);
  const std::string ini = app + "/Kursolin.Ini";
  const std::string old = "; mine\r\n[Setup]\r\nDiM=2000\r\n[Debug]\r\nShowError=1\r\n";
  test::writeBytes(ini, old);
  ASSERT_EQ(::chmod(ini.c_str(), c.fileMode), 0);
  ASSERT_EQ(::chmod(app.c_str(), c.folderMode), 0);

  const int code = inChild(true, [&] { return expectRefusedSave(app + "/", c.load); });
  if (code == kCannotDropPrivileges) GTEST_SKIP() << "cannot run as an unprivileged user here";
  EXPECT_EQ(code, 0);

  ::chmod(app.c_str(), 0755);
  ::chmod(ini.c_str(), 0644);
  EXPECT_EQ(test::readBytes(ini), old);
  std::set<std::string> names;
  for (auto& e : std::filesystem::directory_iterator(app)) names.insert(e.path().filename());
  EXPECT_EQ(names, std::set<std::string>{"Kursolin.Ini"});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedSave,
    ::testing::Values(RefusedCase{"UnwritableFolder", 0555, 0644, ProfileReadStatus::Read},
                      RefusedCase{"ReadOnlyFile", 0777, 0444, ProfileReadStatus::Read},
                      RefusedCase{"UnreadableFile", 0777, 0222, ProfileReadStatus::Unreadable}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

TEST(WriteFailure, AnUnchangedFileNeedsNoWriteAccess) {
  test::TempFolder base;
  const std::string app = base.file("app");
  ASSERT_EQ(::mkdir(app.c_str(), 0755), 0);
  {
    test::ScriptedPort port;
    Session s(port, HostSettings::german());
    s.AppDir = app + "/";
    ASSERT_TRUE(saveSettings(s));
  }
  const std::string before = test::readBytes(app + "/Kursolin.Ini");
  ASSERT_EQ(::chmod(app.c_str(), 0555), 0);
  const int code = inChild(true, [&] {
    test::ScriptedPort port;
    Session s(port, HostSettings::german());
    s.AppDir = app + "/";
    loadSettings(s);
    return saveSettings(s) && port.prompts.empty() ? 0 : 1;
  });
  if (code == kCannotDropPrivileges) GTEST_SKIP() << "cannot run as an unprivileged user here";
  EXPECT_EQ(code, 0);
  ::chmod(app.c_str(), 0755);
  EXPECT_EQ(test::readBytes(app + "/Kursolin.Ini"), before);
}

TEST(WriteFailure, AWriteThatBreaksOffLeavesTheOldFileAndNoTemporaryFile) {
  test::TempFolder folder;
  const std::string old = "[Setup]\r\nDiM=5\r\n";
  test::writeBytes(folder.file("Kursolin.Ini"), old);
  const int code = inChild(false, [&] {
    // The file size limit stops the write of the new file part way, whoever runs the test.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit lim{};
    ::getrlimit(RLIMIT_FSIZE, &lim);
    lim.rlim_cur = 64;
    if (::setrlimit(RLIMIT_FSIZE, &lim) != 0) return 2;
    return expectRefusedSave(folder.dir(), ProfileReadStatus::Read);
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(test::readBytes(folder.file("Kursolin.Ini")), old);
  EXPECT_EQ(folder.entries(), std::set<std::string>{"Kursolin.Ini"});
}

}  // namespace
}  // namespace kursolin
