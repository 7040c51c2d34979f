// Editing the route's points: every edit must leave exactly the route a generation of the edited
// points makes, in every output format, and must be taken back to the exact bytes.
#include <gtest/gtest.h>

#include <functional>

#include "core/cp1252.h"
#include "formats/coordtext.h"
#include "formats/registry.h"
#include "support/fake_port.h"
#include "support/nmea_writer.h"
#include "support/session_setup.h"
#include "workflow/route_command.h"
#include "workflow/route_edit.h"
#include "workflow/route_history.h"
#include "workflow/saving.h"

namespace kursolin {
namespace {

constexpr int kDecimalText = 22;
constexpr int kRmc = 2;

// A route made from input lines taking every nth record, in one output format.
struct Route {
  test::ScriptedPort port;
  Session s{port, HostSettings::german()};
  Route(int input, const std::vector<std::string>& lines, int output, int nth = 1) {
    test::createLikeTheWindow(s);
    test::useInput(s, input);
    test::setInput(s, lines);
    test::useOutput(s, output);
    s.opt.rules.AllGGACheck = true;
    s.opt.rules.XRPSpin = nth;
    EXPECT_EQ(RouteExecute(s), RouteResult::Completed);
  }
  // What the user sees of the route: file bytes, table rows, caption.
  std::string shown() const {
    std::string t = routeFileBytes(s, s.doc.OutputLines) + "|" + s.outputCaption();
    for (const auto& row : s.doc.PointTable.rows) {
      for (const auto& cell : row) t += cell + ";";
    }
    return t;
  }
};

// A line of the decimal coordinate input as the session reads it.
std::string coordLine(const Session& s, const char* lat, const char* lon) {
  const std::string sep = separatorCharacter(s.opt.get(InputSeparator));
  return s.opt.get(InputLatFirst) ? lat + sep + lon : lon + sep + lat;
}

TEST(RouteEdit, EditsGiveTheRouteAGenerationOfTheEditedPointsGives) {
  test::ScriptedPort port;
  Session plain{port, HostSettings::german()};
  test::createLikeTheWindow(plain);
  const auto L = [&](const char* lat, const char* lon) { return coordLine(plain, lat, lon); };
  const std::vector<std::string> coords = {L("48.100000", "11.100000"), L("48.110000", "11.120000"),
                                           L("48.120000", "11.150000"), L("48.140000", "11.160000"),
                                           L("48.150000", "11.190000")};
  test::TrackBuilder t(47.5, 8.5, 9 * 3600);
  t.add(t.current()).drive(30, 50, 6, 1);
  const std::vector<std::string> rmc = t.rmcLines();
  ASSERT_EQ(rmc.size(), 7u);
  const auto lines = [](const std::vector<std::string>& from, std::vector<std::size_t> pick) {
    std::vector<std::string> out;
    for (std::size_t i : pick) out.push_back(from[i]);
    return out;
  };
  const GeoPosition rmc3{t.fixes()[3].lat + 0.00001, t.fixes()[3].lon - 0.00001};

  struct Case {
    const char* what;
    int input;
    std::vector<std::string> before;
    int nth;
    std::function<bool(Session&)> edit;
    std::vector<std::string> expected;
  } cases[] = {
      {"move a middle point",
       kDecimalText,
       coords,
       1,
       [](Session& s) {
         return movePoint(s, 2, {48.125, 11.1425});
       },
       {coords[0], coords[1], L("48.125000", "11.142500"), coords[3], coords[4]}},
      {"move the start",
       kDecimalText,
       coords,
       1,
       [](Session& s) {
         return movePoint(s, 0, {48.0, 11.0});
       },
       {L("48.000000", "11.000000"), coords[1], coords[2], coords[3], coords[4]}},
      {"delete two points", kDecimalText, coords, 1,
       [](Session& s) {
         return deletePoints(s, {3, 1});
       },
       lines(coords, {0, 2, 4})},
      {"delete the end", kDecimalText, coords, 1, [](Session& s) { return deletePoints(s, {4}); },
       lines(coords, {0, 1, 2, 3})},
      {"insert on a line",
       kDecimalText,
       coords,
       1,
       [](Session& s) {
         return insertPoint(s, 1, {48.115, 11.135});
       },
       {coords[0], coords[1], L("48.115000", "11.135000"), coords[2], coords[3], coords[4]}},
      {"insert snapped to the recording", kRmc, rmc, 2,
       [rmc3](Session& s) { return insertTrackPoint(s, 1, rmc3); }, lines(rmc, {0, 2, 3, 4, 6})},
  };
  int formats = 0;
  for (const OutputFormatInfo& f : outputFormats()) {
    if (!f.available()) continue;
    ++formats;
    for (const Case& c : cases) {
      SCOPED_TRACE(f.cliName + ": " + c.what);
      Route edited(c.input, c.before, f.code, c.nth);
      const std::string original = edited.shown();
      RouteHistory history;
      bool done = false;
      ASSERT_TRUE(history.record(edited.s, "Punkt", [&] { done = c.edit(edited.s); }));
      ASSERT_TRUE(done);
      Route generated(c.input, c.expected, f.code);
      EXPECT_EQ(edited.shown(), generated.shown());
      EXPECT_TRUE(edited.port.prompts.empty());
      // One undo step back to the exact bytes, and forward again.
      const std::string after = edited.shown();
      ASSERT_TRUE(history.undo(edited.s));
      EXPECT_EQ(edited.shown(), original);
      ASSERT_TRUE(history.redo(edited.s));
      EXPECT_EQ(edited.shown(), after);
    }
  }
  EXPECT_GE(formats, 13);
}

TEST(RouteEdit, ARouteKeepsTwoPointsAndNeedsARoute) {
  test::ScriptedPort port;
  Session s{port, HostSettings::german()};
  test::createLikeTheWindow(s);
  EXPECT_FALSE(movePoint(s, 0, {48, 11}));
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts.back().text, "Keine Route vorhanden !");

  const std::vector<std::string> three = {
      coordLine(s, "48.1", "11.1"), coordLine(s, "48.2", "11.2"), coordLine(s, "48.3", "11.3")};
  Route r(kDecimalText, three, 3);
  const std::string before = r.shown();
  EXPECT_FALSE(deletePoints(r.s, {0, 2}));
  EXPECT_FALSE(deletePoints(r.s, {0, 1, 2}));
  EXPECT_FALSE(deletePoints(r.s, {7}));  // no such point: nothing happens, nothing is said
  EXPECT_EQ(r.shown(), before);
  ASSERT_EQ(r.port.prompts.size(), 2u);
  EXPECT_EQ(r.port.prompts[0].text,
            "Diese Punkte können nicht gelöscht werden: eine Route behält mindestens zwei "
            "Routenpunkte."_cp);
  EXPECT_TRUE(deletePoints(r.s, {1}));
  EXPECT_EQ(r.s.doc.RoutePointCount, 2);
  EXPECT_FALSE(deletePoints(r.s, {0}));
  EXPECT_EQ(r.port.prompts.back().text,
            "Dieser Punkt kann nicht gelöscht werden: eine Route behält mindestens zwei "
            "Routenpunkte."_cp);
  EXPECT_EQ(r.s.doc.RoutePointCount, 2);
}

}  // namespace
}  // namespace kursolin
