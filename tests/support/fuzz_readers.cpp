#include "support/fuzz_readers.h"

#include <string>

#include "core/host.h"
#include "core/session.h"
#include "formats/gpx.h"
#include "formats/registry.h"
#include "support/fake_port.h"
#include "support/session_setup.h"
#include "workflow/dispatch.h"

namespace kursolin::test {

namespace {

// The readers' own conversion errors are the one failure they are allowed.
template <typename F>
void guarded(F&& f) {
  try {
    f();
  } catch (const ConvertError&) {
  }
}

}  // namespace

void fuzzReaders(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const HostSettings& host : {HostSettings::german(), HostSettings::english()}) {
    ScriptedPort port;
    Session s(port, host);
    createLikeTheWindow(s);
    s.ShowErrors = true;
    // The GPX load parses the bytes as a file; its lines, if any, go to its reader.
    const GpxLoad gpx = parseGpx(text, "fuzz.gpx");
    for (std::size_t i = 0; i < gpx.lines.size() && i < 2000; ++i)
      GetGPX(s, gpx.lines[i], static_cast<int>(i));
    s.InputLines.setText(text);
    for (int i = 0; i < s.InputLines.Count() && i < 2000; ++i) {
      const std::string line = s.InputLines.at(i);
      // Every reader of the registry, each on every line.
      for (const InputFormatInfo& f : inputFormats()) {
        s.InputFormat = f.code;
        s.InputIsMN5 = (i % 2) == 0;
        if (f.readA) guarded([&] { f.readA(s, line, i); });
        if (f.readB) guarded([&] { f.readB(s, line, i); });
      }
    }
    if (s.InputLines.Count() > 5000) continue;
    for (int code : {1, 2, 9, 24}) {
      for (bool everyNth : {false, true}) {
        useInput(s, code);
        useOutput(s, everyNth ? 6 : 2);
        s.rules.AllGGACheck = everyNth;
        s.rules.XRPSpin = 3;
        s.rules.ZeitCheck = true;
        s.ShowPointInfo = true;
        guarded([&] { RouteErzeugen(s); });
      }
    }
  }
}

}  // namespace kursolin::test
