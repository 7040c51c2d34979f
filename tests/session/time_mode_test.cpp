// The time mode of the menu "Zeitangabe", the hours it adds during one generation and the
// record times shown with them.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>

#include <cstdio>
#include <fstream>

#include "core/cp1252.h"
#include "core/geotime.h"
#include "session/time_mode.h"
#include "support/hosts.h"

namespace kursolin {
namespace {

class TimeShift : public test::HostTest {};

TEST_P(TimeShift, ShiftedDisplayTimes) {
  session.ActiveTimeOffset = 2;
  EXPECT_EQ(TimeChange(session, "123519.00"), "14:35:19");
  EXPECT_EQ(TimeChange(session, "230000"), "01:00:00");
  session.ActiveTimeOffset = 0;
  EXPECT_EQ(TimeChange(session, "000000.00"), "00:00:00");
  session.ActiveTimeOffset = -1;
  EXPECT_EQ(TimeChange(session, "003000"), "23:30:00");
}

TEST_P(TimeShift, InvalidTimesFailWithAMessage) {
  for (const char* t : {"", "12", "256000", "126100", "125960", "12ab00", "1200 0"}) {
    EXPECT_THROW(TimeChange(session, t), ConvertError) << t;
  }
}

KURSOLIN_ON_BOTH_HOSTS(TimeShift);

TEST(TimeMode, OnlyTheThreeModesAreTaken) {
  test::ScriptedPort port;
  Session s(port, HostSettings::german());
  TimeArtChange(s, 2);
  EXPECT_EQ(s.opt.TimeMode, 2);
  TimeArtChange(s, 7);
  EXPECT_EQ(s.opt.TimeMode, 2) << "other values change nothing";
  WinterTimeClick(s);
  EXPECT_EQ(s.opt.TimeMode, 3);
  SommerTimeClick(s);
  EXPECT_EQ(s.opt.TimeMode, 2);
  NMEATimeClick(s);
  EXPECT_EQ(s.opt.TimeMode, 1);
}

const std::string kSummerQuestion =
    "Die GPS Log-Datei wurde nicht zur Sommerzeit erstellt\r   M\xF6"
    "chten Sie die Zeitangaben trotzdem umstellen ?";
const std::string kWinterQuestion =
    "Die GPS Log-Datei wurde nicht zur Winterzeit erstellt\r   M\xF6"
    "chten Sie die Zeitangaben trotzdem umstellen ?";

TEST(TimeOffset, ChoiceForOneGeneration) {
  const LocalDateTime july{2007, 7, 14, 10, 0, 0}, january{2007, 1, 14, 10, 0, 0};
  struct Case {
    int mode;
    std::optional<LocalDateTime> file;
    std::optional<PromptAnswer> answer;  // nullopt: no question expected
    const std::string* question;
    int offset;
  } cases[] = {
      {1, january, std::nullopt, nullptr, 0},
      {2, july, std::nullopt, nullptr, 2},
      {2, january, PromptAnswer::Yes, &kSummerQuestion, 2},
      {2, january, PromptAnswer::No, &kSummerQuestion, 0},
      {2, std::nullopt, PromptAnswer::Yes, &kSummerQuestion, 2},
      {3, january, std::nullopt, nullptr, 1},
      {3, july, PromptAnswer::Yes, &kWinterQuestion, 1},
      {3, july, PromptAnswer::No, &kWinterQuestion, 0},
      {3, std::nullopt, PromptAnswer::No, &kWinterQuestion, 0},
      {4, july, std::nullopt, nullptr, 0},
  };
  for (const auto& c : cases) {
    test::ScriptedPort port;
    Session s(port, HostSettings::german());
    s.opt.TimeMode = c.mode;
    if (c.answer) port.answer({*c.answer});
    EXPECT_EQ(activeTimeOffsetFor(s, c.file), c.offset) << "mode " << c.mode;
    if (c.question) {
      ASSERT_EQ(port.prompts.size(), 1u) << "mode " << c.mode;
      EXPECT_EQ(port.prompts[0].text, *c.question);
      EXPECT_EQ(port.prompts[0].kind, PromptKind::Confirmation);
      EXPECT_EQ(port.prompts[0].buttons, PromptButtons::YesNo);
    } else {
      EXPECT_TRUE(port.prompts.empty()) << "mode " << c.mode;
    }
  }
}

TEST(TimeOffset, TakesTheDateOfTheLoadedFile) {
  // The test runs with TZ set to German time, so the local time of the stamp is known.
  char path[] = "/tmp/kursolin-timeXXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  struct timeval tv[2] = {};
  tv[0].tv_sec = tv[1].tv_sec = 1184400000;  // 2007-07-14 08:00 UTC, summer
  ASSERT_EQ(utimes(path, tv), 0);
  test::ScriptedPort port;
  Session s(port, HostSettings::german());
  s.doc.InputFileName = path;
  s.doc.InputFileTime = fileModificationTime(path);
  s.opt.TimeMode = 2;
  chooseActiveTimeOffset(s);
  EXPECT_EQ(s.ActiveTimeOffset, 2);
  EXPECT_TRUE(port.prompts.empty());
  s.opt.TimeMode = 3;
  port.answer({PromptAnswer::No});
  chooseActiveTimeOffset(s);
  EXPECT_EQ(s.ActiveTimeOffset, 0);
  EXPECT_EQ(port.prompts.size(), 1u);
  std::remove(path);
  // Mode 1 needs no file at all.
  s.opt.TimeMode = 1;
  s.doc.InputFileName = "*.txt";
  s.doc.InputFileTime.reset();
  chooseActiveTimeOffset(s);
  EXPECT_EQ(s.ActiveTimeOffset, 0);
  EXPECT_EQ(port.prompts.size(), 1u);
}

}  // namespace
}  // namespace kursolin
