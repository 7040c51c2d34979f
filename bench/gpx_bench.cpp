// How long a 100 MB GPX track takes to load into intermediate lines, from memory and from a file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "formats/gpx.h"

namespace {

using namespace kursolin;

// A recording phone's track: position, elevation, time and a vendor extension per point.
const std::string& hundredMegabytes() {
  static const std::string text = [] {
    std::string t =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"bench\" "
        "xmlns=\"http://www.topografix.com/GPX/1/1\">\n  <trk>\n    <trkseg>\n";
    char point[512];
    for (long i = 0; t.size() < 100'000'000; ++i) {
      const long s = i % 86400;
      std::snprintf(point, sizeof point,
                    "      <trkpt lat=\"%.7f\" lon=\"%.7f\">\n        <ele>%.1f</ele>\n"
                    "        <time>2023-06-%02ldT%02ld:%02ld:%02ldZ</time>\n"
                    "        <extensions><speed>%.2f</speed></extensions>\n      </trkpt>\n",
                    48.0 + (i % 5000) * 1e-5, 11.0 + (i / 5000) * 1e-5, 500.0 + i % 300,
                    1 + i / 86400 % 28, s / 3600, s / 60 % 60, s % 60, (i % 40) * 0.5);
      t += point;
    }
    return t + "    </trkseg>\n  </trk>\n</gpx>\n";
  }();
  return text;
}

void BM_GpxParseInMemory(benchmark::State& state) {
  const std::string& text = hundredMegabytes();
  for (auto _ : state) {
    const GpxLoad r = parseGpx(text, "bench.gpx");
    benchmark::DoNotOptimize(r.lines.size());
    state.counters["points"] = static_cast<double>(r.lines.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_GpxParseInMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GpxLoadFile(benchmark::State& state) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "kursolin-bench-100mb.gpx").string();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << hundredMegabytes();
  }
  for (auto _ : state) {
    const GpxLoad r = loadGpxFile(path);
    benchmark::DoNotOptimize(r.lines.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * hundredMegabytes().size()));
  std::filesystem::remove(path);
}
BENCHMARK(BM_GpxLoadFile)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
