// Undo and redo of the route's changes, and the list of files opened last.
#include <gtest/gtest.h>

#include "formats/registry.h"
#include "settings/recent_files.h"
#include "support/fake_port.h"
#include "support/nmea_writer.h"
#include "support/session_setup.h"
#include "support/temp_folder.h"
#include "workflow/loading.h"
#include "workflow/output_commands.h"
#include "workflow/reduce.h"
#include "workflow/reverse.h"
#include "workflow/route_command.h"
#include "workflow/route_history.h"
#include "workflow/saving.h"

namespace kursolin {
namespace {

class RouteHistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::createLikeTheWindow(s);
    test::TrackBuilder t(48.0, 11.0, 12 * 3600);
    t.add(t.current()).drive(0, 40, 900, 5).drive(90, 40, 900, 5).drive(180, 40, 900, 5);
    test::useInput(s, 1);
    test::setInput(s, t.ggaVtgLines());
    markInputLoaded(s);  // as if loaded: only the route counts as unsaved work
  }
  // What saving would write now.
  std::string bytes() const { return routeFileBytes(s, s.doc.OutputLines); }
  void generate(int meters) {
    s.opt.rules.MeterSpin = meters;
    history.record(s, "Routendaten erzeugen", [this] { RouteExecute(s); });
  }

  test::ScriptedPort port;
  Session s{port, HostSettings::german()};
  RouteHistory history;
};

// Every kind of change, for every output format: undo goes back through the exact bytes each
// change replaced, redo forward through those it made.
TEST_F(RouteHistoryTest, UndoAndRedoRestoreTheExactBytesInEveryOutputFormat) {
  for (const OutputFormatInfo& f : outputFormats()) {
    if (!f.available()) continue;
    SCOPED_TRACE(f.code);
    history.clear();
    test::useOutput(s, f.code);
    s.doc.OutputLines.clear();
    std::vector<std::string> states = {bytes()};
    std::vector<int> formats = {f.code};
    const auto step = [&](const std::string& label, const std::function<void()>& change) {
      ASSERT_TRUE(history.record(s, label, change)) << label;
      states.push_back(bytes());
      formats.push_back(s.opt.OutputFormat);
    };
    generate(1000);
    states.push_back(bytes());
    formats.push_back(f.code);
    step("Routendaten erzeugen", [this] {
      s.opt.rules.MeterSpin = 300;
      RouteExecute(s);
    });
    if (f.reversible) step("Route umkehren", [this] { reverseRoute(s); });
    step("Route verringern", [this] { RouteVerringern(s, 3); });
    const int other = f.code == 1 ? 3 : 1;
    port.answer({PromptAnswer::Yes});
    step("Ausgabeformat wechseln", [this, other] { NaviArtChange(s, other); });

    for (std::size_t i = states.size() - 1; i-- > 0;) {
      ASSERT_TRUE(history.undo(s));
      EXPECT_EQ(bytes(), states[i]) << "undo to " << i;
      EXPECT_EQ(s.opt.OutputFormat, formats[i]);
    }
    EXPECT_FALSE(history.undo(s));
    for (std::size_t i = 1; i < states.size(); ++i) {
      ASSERT_TRUE(history.redo(s));
      EXPECT_EQ(bytes(), states[i]) << "redo to " << i;
      EXPECT_EQ(s.opt.OutputFormat, formats[i]);
    }
    EXPECT_FALSE(history.redo(s));
  }
}

TEST_F(RouteHistoryTest, ANewChangeAfterUndoDropsTheStepsToRedo) {
  test::useOutput(s, 1);
  generate(1000);
  generate(300);
  ASSERT_TRUE(history.undo(s));
  EXPECT_TRUE(history.canRedo());
  EXPECT_EQ(history.redoLabel(), "Routendaten erzeugen");
  history.record(s, "Route umkehren", [this] { reverseRoute(s); });
  EXPECT_FALSE(history.canRedo());
  EXPECT_EQ(history.undoLabel(), "Route umkehren");
  EXPECT_EQ(history.undoCount(), 2u);
}

TEST_F(RouteHistoryTest, RefusalsAndUnchangedRoutesKeepNoStep) {
  test::useOutput(s, 6);  // the table output cannot be reversed
  generate(1000);
  EXPECT_FALSE(history.record(s, "Route umkehren", [this] { reverseRoute(s); }));
  EXPECT_FALSE(history.record(s, "Routendaten erzeugen", [this] { RouteExecute(s); }));
  EXPECT_EQ(history.undoCount(), 1u);
}

TEST_F(RouteHistoryTest, DepthAndMemoryBoundDropTheOldestAndKeepThePresent) {
  test::useOutput(s, 1);
  struct Case {
    std::size_t depth, maxBytes, changes, kept;
  } cases[] = {
      {3, kRouteHistoryBytes, 6, 3},  // depth: the three newest stay
      {100, 1, 4, 1},                 // every step alone is over the bound: the newest stays
  };
  for (const Case& c : cases) {
    history = RouteHistory(c.depth, c.maxBytes);
    s.doc.OutputLines.clear();
    std::vector<std::string> states;
    for (std::size_t i = 0; i < c.changes; ++i) {
      states.push_back(bytes());
      generate(200 + 100 * static_cast<int>(i));
    }
    EXPECT_EQ(history.undoCount(), c.kept);
    const std::string present = bytes();
    for (std::size_t i = 0; i < c.kept; ++i) {
      ASSERT_TRUE(history.undo(s));
      EXPECT_EQ(bytes(), states[c.changes - 1 - i]);
    }
    EXPECT_FALSE(history.undo(s));
    while (history.redo(s)) {
    }
    EXPECT_EQ(bytes(), present);
  }
}

TEST_F(RouteHistoryTest, LoadingAFileClearsTheHistory) {
  test::useOutput(s, 1);
  generate(1000);
  generate(300);
  history.undo(s);
  test::TempFolder dir;
  const std::string file = dir.file("fahrt.txt");
  test::writeBytes(file, s.doc.InputLines.text());
  history.follow(s);
  ASSERT_TRUE(loadInputFile(s, file));
  history.follow(s);
  EXPECT_FALSE(history.canUndo());
  EXPECT_FALSE(history.canRedo());
  EXPECT_EQ(history.bytes(), 0u);
}

TEST_F(RouteHistoryTest, UndoBackToTheSavedRouteCountsAsSaved) {
  test::useOutput(s, 1);
  generate(1000);
  s.doc.savedOutputRevision = s.doc.OutputLines.revision();  // as a save leaves it
  history.record(s, "Route umkehren", [this] { reverseRoute(s); });
  EXPECT_TRUE(workUnsaved(s.doc));
  history.undo(s);
  EXPECT_FALSE(workUnsaved(s.doc));
  history.redo(s);
  EXPECT_TRUE(workUnsaved(s.doc));
}

TEST(RecentFiles, OrderDuplicatesLimitAndTheSettingsSection) {
  RecentFiles list;
  for (int i = 1; i <= 10; ++i) list.add("/t/f" + std::to_string(i) + ".nmea", 1);
  list.add("/t/f5.nmea", 2);  // again: moves to the top with its new format
  std::vector<std::string> paths;
  for (const RecentFile& f : list.entries()) paths.push_back(f.path);
  EXPECT_EQ(paths,
            (std::vector<std::string>{"/t/f5.nmea", "/t/f10.nmea", "/t/f9.nmea", "/t/f8.nmea",
                                      "/t/f7.nmea", "/t/f6.nmea", "/t/f4.nmea", "/t/f3.nmea"}));
  EXPECT_EQ(list.entries().front().format, 2);

  list.add("/t/ mit Blank .gpx", 25);
  Profile p;
  list.write(p);
  RecentFiles back;
  back.read(p);
  ASSERT_EQ(back.entries().size(), kRecentFilesMax);
  EXPECT_EQ(back.entries().front().path, "/t/ mit Blank .gpx");
  EXPECT_EQ(back.entries().front().format, 25);

  // A shorter list leaves no entry of the longer one behind.
  RecentFiles shorter;
  shorter.add("/t/a.itn", 10);
  shorter.write(p);
  back.read(p);
  ASSERT_EQ(back.entries().size(), 1u);
  EXPECT_EQ(back.entries().front().path, "/t/a.itn");
}

}  // namespace
}  // namespace kursolin
