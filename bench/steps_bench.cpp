// The steps every record of a log goes through: reading one sentence, converting its
// coordinates, and emitting one route point in each output format.
#include <benchmark/benchmark.h>

#include <string>

#include "core/coords.h"
#include "core/host.h"
#include "formats/registry.h"
#include "support/fake_port.h"
#include "support/session_setup.h"
#include "track/nmea.h"
#include "workflow/emit.h"

namespace {

using namespace kursolin;

const std::string kGGA = "$GPGGA,060001.00,5006.6551,N,00840.9285,E,1,08,1.1,84.2,M,47.9,M,,*59";
const std::string kVTG = "$GPVTG,055.5,T,,M,004.2,N,007.8,K,A*01";
const std::string kRMC =
    "$GPRMC,060001.00,A,5006.6551,N,00840.9285,E,004.2,055.5,091226,,,A*5A";

struct Fixture {
  test::ScriptedPort port;
  Session s{port, HostSettings::german()};
  Fixture() {
    test::createLikeTheWindow(s);
    test::useInput(s, 1);
  }
};

void BM_ParseGGA(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) benchmark::DoNotOptimize(GetGGA(f.s, kGGA, 0));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kGGA.size()));
}

void BM_ParseVTG(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) benchmark::DoNotOptimize(GetVTG(f.s, kVTG, 0));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kVTG.size()));
}

void BM_ParseRMC(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) benchmark::DoNotOptimize(GetRMC(f.s, kRMC, 0));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kRMC.size()));
}

// One RouteOut of the record read from kGGA and kVTG in the output format `code`. The output
// is emptied every few thousand points so the run measures a step, not a growing route.
void routeOutStep(benchmark::State& state, int code) {
  Fixture f;
  test::useOutput(f.s, code);
  GetGGA(f.s, kGGA, 0);
  GetVTG(f.s, kVTG, 1);
  const PointRecord record = f.s.CurrentPoint;
  for (auto _ : state) {
    if (f.s.doc.RoutePointCount >= 4096) {
      f.s.doc.OutputLines.clear();
      f.s.doc.emittedPoints.clear();
      f.s.doc.RoutePointCount = 0;
    }
    f.s.CurrentPoint = record;
    RouteOut(f.s, 50.11, 8.68, record.LatValue, record.LonValue);
  }
  benchmark::DoNotOptimize(f.s.doc.OutputLines.Count());
}

const bool kRouteOutRegistered = [] {
  for (const OutputFormatInfo& f : outputFormats()) {
    if (!f.write || f.cliName.empty()) continue;
    benchmark::RegisterBenchmark(("BM_RouteOut/" + f.cliName).c_str(), routeOutStep, f.code);
  }
  return true;
}();

void BM_GMToDez(benchmark::State& state) {
  Fixture f;
  const std::string dm = "5006.6551";
  for (auto _ : state) benchmark::DoNotOptimize(GMToDez(f.s.numbers, dm));
}

void BM_KGrad(benchmark::State& state) {
  Fixture f;
  const std::string dm = "00840.9285";
  for (auto _ : state) benchmark::DoNotOptimize(KGrad(f.s.numbers, dm));
}

void BM_GMSToDez(benchmark::State& state) {
  Fixture f;
  const std::string dms = "50*06*39,31";
  for (auto _ : state) benchmark::DoNotOptimize(GMSToDez(f.s.numbers, dms));
}

void BM_GeoDezToGrMin(benchmark::State& state) {
  Fixture f;
  const std::string dec = "50,110918";
  for (auto _ : state) benchmark::DoNotOptimize(GeoDezToGrMin(f.s.numbers, dec));
}

void BM_DezToMer(benchmark::State& state) {
  long double v = 50.110918L;
  for (auto _ : state) {
    benchmark::DoNotOptimize(DezToMerN(v));
    benchmark::DoNotOptimize(DezToMerO(v / 6));
  }
}

void BM_MerToDez(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(MerToDezN(6458285));
    benchmark::DoNotOptimize(MerToDezO(965410));
  }
}

void BM_FormatFixed(benchmark::State& state) {
  long double v = 50.110918333333L;
  for (auto _ : state) benchmark::DoNotOptimize(formatFixed(v, 0, 6, ','));
}

void BM_ParseNumber(benchmark::State& state) {
  const std::string t = "5006,6551";
  for (auto _ : state) benchmark::DoNotOptimize(tryStrToFloat(t, ','));
}

BENCHMARK(BM_ParseGGA);
BENCHMARK(BM_ParseVTG);
BENCHMARK(BM_ParseRMC);
BENCHMARK(BM_GMToDez);
BENCHMARK(BM_KGrad);
BENCHMARK(BM_GMSToDez);
BENCHMARK(BM_GeoDezToGrMin);
BENCHMARK(BM_DezToMer);
BENCHMARK(BM_MerToDez);
BENCHMARK(BM_FormatFixed);
BENCHMARK(BM_ParseNumber);

}  // namespace
