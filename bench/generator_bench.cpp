// How long a day-long 1 Hz log takes to become a route in memory.
#include <benchmark/benchmark.h>

#include "support/fake_port.h"
#include "support/nmea_writer.h"
#include "support/session_setup.h"
#include "track/generator.h"
#include "workflow/dispatch.h"

namespace {

using namespace kursolin;

const std::vector<std::string>& dayLog() {
  static const std::vector<std::string> lines = [] {
    test::TrackBuilder t(48.0, 11.0, 0);
    t.add(t.current());
    // A day of driving in loops, with stops, so every rule has work to do.
    for (int block = 0; t.fixes().size() < 86400; ++block) {
      t.drive((block * 37) % 360, 30 + block % 70, 600).stand(240);
    }
    t.fixes().resize(86400);
    return t.ggaVtgLines();
  }();
  return lines;
}

void runDay(benchmark::State& state, bool everyNth) {
  test::ScriptedPort port;
  Session s(port, HostSettings::german());
  test::createLikeTheWindow(s);
  test::useOutput(s, 1);
  test::useInput(s, 1);
  s.doc.InputLines.assign(dayLog());
  s.opt.rules.ZeitCheck = true;
  s.opt.rules.AllGGACheck = everyNth;
  for (auto _ : state) {
    RouteErzeugen(s);
    benchmark::DoNotOptimize(s.doc.OutputLines.Count());
  }
  state.counters["records"] = 86400;
  state.counters["points"] = s.doc.RoutePointCount;
}

void BM_DayLogRules(benchmark::State& state) { runDay(state, false); }
void BM_DayLogEveryNth(benchmark::State& state) { runDay(state, true); }

BENCHMARK(BM_DayLogRules)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DayLogEveryNth)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
