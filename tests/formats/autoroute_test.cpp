// Microsoft AutoRoute import lines: number and time, speed, altitude, position with decimal
// commas; and a whole conversion against a committed file per host.
#include <gtest/gtest.h>

#include "formats/autoroute.h"
#include "support/hosts.h"
#include "support/scratch.h"
#include "support/session_setup.h"
#include "workflow/route_command.h"
#include "workflow/saving.h"

namespace kursolin {
namespace {

using test::readBytes;

class AutoRoute : public test::HostTest {
 protected:
  void SetUp() override {
    test::createLikeTheWindow(session);
    session.opt.SaveDir = out.dir();
  }
  test::ScratchFolder out;
};

TEST_P(AutoRoute, ThirdPointOfARouteFile) {
  test::useInput(session, 22);
  test::setInput(session, {"51.3\t7.05", "51.4\t7.15", "51.5\t7.25", "51.6\t7.35"});
  session.opt.rules.AllGGACheck = true;
  session.opt.rules.XRPSpin = 1;
  test::useOutput(session, 4);
  RouteExecute(session);
  ASSERT_EQ(session.doc.OutputLines.Count(), 4);
  EXPECT_EQ(session.doc.OutputLines.at(2), "3 | Time: 00:00:00;Speed: 0.00; H\xF6he :0;51,5;7,25");
  EXPECT_EQ(session.outputCaption(), "AutoRoute Routenpunkte := 4");
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(AutoRoute, OnlyTheFirstPointOfEachCoordinateBecomesAComma) {
  PointRecord& p = session.CurrentPoint;
  p.Time = "123456.00";
  p.SpeedKmh = h("12.50");
  p.Altitude = h("498.5");
  struct Case {
    const char* lat;
    const char* lon;
    const char* tail;
  } cases[] = {
      {"48.137000", "11.575000", ";48,137000;11,575000"},
      {"-33.9", "-0.05", ";-33,9;-0,05"},
      {"51,5", "7", ";51,5;7"},  // a comma already there stays the only one
      {"1.2.3", "4", ";1,2.3;4"},
  };
  for (const auto& c : cases) {
    p.LatDec = c.lat;
    p.LonDec = c.lon;
    EXPECT_EQ(autoRouteLine(session, 12),
              "12 | Time: 12:34:56;Speed: " + h("12.50") + "; H\xF6he :" + h("498.5") + c.tail);
  }
}

TEST_P(AutoRoute, TrackSaved) {
  test::TrackBuilder t(48.137, 11.575, 9 * 3600);
  t.add(t.current()).drive(0, 40, 300, 5).stand(300).drive(90, 90, 600, 5).drive(200, 30, 300, 5);
  test::useInput(session, 1);
  test::setInput(session, t.ggaVtgLines());
  test::useOutput(session, 4);
  RouteExecute(session);
  port.saveAnswers.push_back(out.file("Tour.csv"));
  SaveNaviExecute(session);
  ASSERT_EQ(port.saveRequests.size(), 1u);
  EXPECT_EQ(port.saveRequests[0].title, "Route als Microsoft AutoRoute Importdatei speichern");
  // Speed and altitude are shown as the host writes numbers; the position always with commas.
  const std::string golden = sep() == ',' ? "track_comma_host.csv" : "track_point_host.csv";
  EXPECT_EQ(readBytes(out.file("Tour.csv")), readBytes(test::formatData("autoroute", golden)));
}

KURSOLIN_ON_BOTH_HOSTS(AutoRoute);

}  // namespace
}  // namespace kursolin
