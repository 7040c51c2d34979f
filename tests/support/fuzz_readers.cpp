#include "support/fuzz_readers.h"

#include <string>

#include "core/host.h"
#include "formats/detection.h"
#include "formats/gpx.h"
#include "formats/registry.h"
#include "formats/tomtom.h"
#include "formats/tourenxml.h"
#include "session/session.h"
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
    s.opt.ShowErrors = true;
    // The GPX load parses the bytes as a file; its lines, if any, go to its reader.
    const GpxLoad gpx = parseGpx(text, "fuzz.gpx");
    for (std::size_t i = 0; i < gpx.lines.size() && i < 2000; ++i)
      GetGPX(s, gpx.lines[i], static_cast<int>(i));
    s.doc.InputLines.setText(text);
    for (int i = 0; i < s.doc.InputLines.Count() && i < 2000; ++i) {
      const std::string line = s.doc.InputLines.at(i);
      // Every reader of the registry, each on every line.
      for (const InputFormatInfo& f : inputFormats()) {
        s.opt.InputFormat = f.code;
        s.doc.InputLayout = (i % 2) == 0;
        if (f.readA) guarded([&] { f.readA(s, line, i); });
        if (f.readB) guarded([&] { f.readB(s, line, i); });
      }
    }
    // The TomTom flag pass works on whatever lines an edited output pane holds.
    if (s.doc.InputLines.Count() <= 2000) {
      TextLines flagged = s.doc.InputLines;
      SetTTFlag(s, flagged);
      for (int i = 0; i < flagged.Count(); ++i) MakeTTK(flagged.at(i));
    }
    if (s.doc.InputLines.Count() > 5000) continue;
    // The recognition tests at load, which may trim the lines, and the Tourenplaner item scan.
    for (const InputFormatInfo& f : inputFormats()) {
      if (!f.check) continue;
      s.doc.InputLines.setText(text);
      s.opt.InputFormat = f.code;
      guarded([&] { f.check(s); });
    }
    for (TourenItems items : {TourenItems::Stations, TourenItems::All}) TourenXML(s, text, items);
    // Format detection, every content test over the same bytes.
    {
      TextLines lines;
      lines.setText(text);
      detectInputFormat(s, {std::string_view(text).substr(0, kDetectionHeadBytes), lines, "txt"});
    }
    s.doc.InputLines.setText(text);
    for (int code : {1, 2, 9, 10, 20, 21, 22, 23, 24, 3, 6}) {
      for (bool everyNth : {false, true}) {
        useInput(s, code);
        // Every output with a writer of its own: Navigon, the table, BCR and Falk.
        useOutput(s, everyNth ? 6 : code == 3 ? 5 : code == 6 ? 7 : 2);
        s.opt.rules.AllGGACheck = everyNth;
        s.opt.rules.XRPSpin = 3;
        s.opt.rules.ZeitCheck = true;
        s.opt.ShowPointInfo = true;
        guarded([&] { RouteErzeugen(s); });
      }
    }
  }
}

}  // namespace kursolin::test
