#include "support/fuzz_targets.h"

#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "core/cp1252.h"
#include "core/host.h"
#include "formats/accessdb.h"
#include "formats/bcr.h"
#include "formats/coordtext.h"
#include "formats/gpx.h"
#include "formats/navigon.h"
#include "formats/ovl.h"
#include "formats/tomtom.h"
#include "formats/tourenxml.h"
#include "picture/raster.h"
#include "picture/tile_image.h"
#include "session/session.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "support/fake_port.h"
#include "support/fuzz_readers.h"
#include "support/session_setup.h"
#include "track/nmea.h"
#include "workflow/dispatch.h"
#include "workflow/loading.h"

namespace kursolin::test {

namespace {

// Beyond this many lines a generation adds time per input but no new paths.
constexpr int kMaxLines = 2000;

// A broken promise of a reader: report it the way the sanitizers do, so the fuzzer keeps it.
void require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz target: %s\n", what);
  std::abort();
}

// The readers' own conversion errors are the one failure they are allowed.
template <typename F>
void guarded(F&& f) {
  try {
    f();
  } catch (const ConvertError&) {
  }
}

std::string bytesOf(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// Runs f on a session as the window has it after start, once with German and once with English
// number notation; messages on, so the readers' message boxes are made as well.
template <typename F>
void inEverySession(F&& f) {
  for (const HostSettings& host : {HostSettings::german(), HostSettings::english()}) {
    ScriptedPort port;
    Session s(port, host);
    createLikeTheWindow(s);
    s.opt.ShowErrors = true;
    f(s);
  }
}

// Makes routes from InputLines into each output, by the rules and by every third record.
void generate(Session& s, std::initializer_list<int> outputs) {
  if (s.doc.InputLines.Count() > kMaxLines) return;
  const TextLines loaded = s.doc.InputLines;
  for (int out : outputs) {
    for (bool everyNth : {false, true}) {
      s.doc.InputLines = loaded;
      useOutput(s, out);
      s.opt.rules.AllGGACheck = everyNth;
      s.opt.rules.XRPSpin = 3;
      s.opt.rules.ZeitCheck = true;
      s.opt.ShowPointInfo = true;
      guarded([&] { RouteErzeugen(s); });
    }
  }
}

// Loads the bytes as a file of the input format (byte-order marks, the check at load and its
// trimming), then generates.
void loadAndGenerate(Session& s, int code, const std::string& bytes,
                     std::initializer_list<int> outputs) {
  useInput(s, code);
  if (loadInputText(s, "fuzz", bytes)) generate(s, outputs);
}

// The decoded lines of the bytes, as the readers see them, at most kMaxLines.
TextLines linesOf(const std::string& bytes) {
  TextLines lines;
  lines.setText(decodeTextFile(bytes));
  return lines;
}

void fuzzNmea(const std::uint8_t* data, std::size_t size) {
  const std::string bytes = bytesOf(data, size);
  const TextLines lines = linesOf(bytes);
  inEverySession([&](Session& s) {
    for (int i = 0; i < lines.Count() && i < kMaxLines; ++i) {
      const std::string& line = lines.at(i);
      pruefsumme(line);
      checksumText(line);
      guarded([&] { GetGGA(s, line, i); });
      guarded([&] { GetVTG(s, line, i); });
      guarded([&] { GetRMC(s, line, i); });
    }
    loadAndGenerate(s, 1, bytes, {1, 6});
    loadAndGenerate(s, 2, bytes, {1, 24});
  });
}

void fuzzNavigon(const std::uint8_t* data, std::size_t size) {
  const std::string bytes = bytesOf(data, size);
  const TextLines lines = linesOf(bytes);
  navigonRecognized(lines, NavigonVersion::MN4);
  navigonRecognized(lines, NavigonVersion::MN42);
  inEverySession([&](Session& s) {
    for (int i = 0; i < lines.Count() && i < kMaxLines; ++i) {
      s.doc.InputLayout = i % 2 == 0 ? kNavigonMN5Layout : 0;
      for (NavigonVersion layout : {NavigonVersion::MN4, NavigonVersion::MN42})
        guarded([&] { GetMN(s, lines.at(i), i, layout); });
    }
    loadAndGenerate(s, 8, bytes, {0, 2});
    loadAndGenerate(s, 9, bytes, {1, 2});
  });
}

void fuzzItn(const std::uint8_t* data, std::size_t size) {
  const std::string bytes = bytesOf(data, size);
  const TextLines lines = linesOf(bytes);
  tomTomRecognized(lines);
  inEverySession([&](Session& s) {
    for (int i = 0; i < lines.Count() && i < kMaxLines; ++i) {
      const std::string& line = lines.at(i);
      guarded([&] { GetTT(s, line, i); });
      // Coordinate fields come to MakeTTK from every reader's numbers and from edited panes.
      for (std::size_t a = 0, bar; a <= line.size(); a = bar + 1) {
        bar = line.find('|', a);
        if (bar == std::string::npos) bar = line.size();
        MakeTTK(line.substr(a, bar - a));
      }
    }
    if (lines.Count() <= kMaxLines) {
      TextLines flagged = lines;
      SetTTFlag(s, flagged);
    }
    loadAndGenerate(s, 10, bytes, {3, 1});
  });
}

void fuzzBcr(const std::uint8_t* data, std::size_t size) {
  const std::string bytes = bytesOf(data, size);
  const TextLines lines = linesOf(bytes);
  inEverySession([&](Session& s) {
    for (int i = 0; i < lines.Count() && i < kMaxLines; ++i)
      guarded([&] { GetBCR(s, lines.at(i), i); });
    // The check at load cuts the lines to the [COORDINATES] entries.
    loadAndGenerate(s, 6, bytes, {5, 1});
  });
}

void fuzzTourenXml(const std::uint8_t* data, std::size_t size) {
  const std::string bytes = bytesOf(data, size);
  UTF8_Umlaute_umwandeln(bytes);
  inEverySession([&](Session& s) {
    for (int code : {4, 5}) {
      useInput(s, code);
      TourenXML(s, bytes, code == 4 ? TourenItems::Stations : TourenItems::All);
      for (int i = 0; i < s.doc.InputLines.Count() && i < kMaxLines; ++i)
        guarded([&] { GetXML(s, s.doc.InputLines.at(i), i); });
      generate(s, {5, 1});
    }
  });
}

void fuzzOvl(const std::uint8_t* data, std::size_t size) {
  const std::string bytes = bytesOf(data, size);
  const TextLines lines = linesOf(bytes);
  inEverySession([&](Session& s) {
    for (int i = 0; i < lines.Count() && i < kMaxLines; ++i) {
      guarded([&] { GetOVL_X(s, lines.at(i), i); });
      guarded([&] { GetOVL_Y(s, lines.at(i)); });
    }
    loadAndGenerate(s, 3, bytes, {1, 7});
  });
}

void fuzzCoordText(const std::uint8_t* data, std::size_t size) {
  const std::string bytes = bytesOf(data, size);
  inEverySession([&](Session& s) {
    for (const char* sep : {"\t", ";", " ", ","}) {
      s.opt.set(InputSeparator, sep);
      s.opt.set(InputLatFirst, *sep != ';');
      for (int code : {20, 21, 22, 23}) loadAndGenerate(s, code, bytes, {code, 1});
    }
  });
}

// libmdb opens databases by name only, so the bytes become an anonymous in-memory file whose
// /proc name is handed over: no disk file per run, and nothing left behind after a crash.
class MemoryFile {
 public:
  explicit MemoryFile(const std::string& bytes) : fd_(::memfd_create("fuzz.mdb", 0)) {
    require(fd_ >= 0, "memfd_create failed");
    require(::write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()),
            "writing the in-memory file failed");
  }
  ~MemoryFile() { ::close(fd_); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  std::string path() const { return "/proc/self/fd/" + std::to_string(fd_); }

 private:
  int fd_;
};

// A load reads the database in a child process, as the window does: whatever the library does
// with the bytes ends there. The short limit keeps an input that makes it loop from stalling
// the run.
constexpr std::chrono::milliseconds kAccessReadTime{2000};

void fuzzAccess(const std::uint8_t* data, std::size_t size) {
  const MemoryFile file(bytesOf(data, size));
  checkAccessFile(file.path());
  inEverySession([&](Session& s) {
    s.opt.databaseReadLimits.time = kAccessReadTime;
    useInput(s, 24);
    const std::vector<std::string> before = s.doc.InputLines.lines();
    if (loadInputFile(s, file.path())) {
      generate(s, {1, 24});
    } else {
      const bool untouched = s.doc.InputLines.Count() == 0 || s.doc.InputLines.lines() == before;
      require(untouched, "a failed load added lines");
    }
  });
}

void fuzzSettings(const std::uint8_t* data, std::size_t size) {
  const std::string bytes = bytesOf(data, size);
  Profile p = Profile::fromBytes(bytes);
  // The file keeps every line the program does not write exactly as it was.
  require(p.bytes() == bytes, "a profile read and written again differs from the file");
  inEverySession([&](Session& s) {
    applySettings(s, p);
    Profile stored = p;
    storeSettings(s, stored);
    Profile::fromBytes(stored.bytes());
    // Every Section/Key=Value line as a batch converter override.
    const TextLines lines = linesOf(bytes);
    std::string section;
    for (int i = 0; i < lines.Count() && i < kMaxLines; ++i) {
      const std::string& line = lines.at(i);
      const auto eq = line.find('='), close = line.find(']');
      if (!line.empty() && line[0] == '[') {
        section = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
      } else if (eq != std::string::npos) {
        applySettingOverride(s, section, line.substr(0, eq), line.substr(eq + 1));
      }
    }
  });
}

void fuzzGpx(const std::uint8_t* data, std::size_t size) {
  const GpxLoad gpx = parseGpx(bytesOf(data, size), "fuzz.gpx");
  if (!gpx.ok) return;
  inEverySession([&](Session& s) {
    useInput(s, 25);
    s.doc.InputLines.assign(gpx.lines);
    for (int i = 0; i < s.doc.InputLines.Count() && i < kMaxLines; ++i)
      GetGPX(s, s.doc.InputLines.at(i), i);
    generate(s, {24, 1});
  });
}

void fuzzTileImage(const std::uint8_t* data, std::size_t size) {
  const auto image = decodeTileImage(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!image) return;
  require(image->width > 0 && image->height > 0 && image->width <= kMaxTileEdge &&
              image->height <= kMaxTileEdge,
          "a tile of impossible size");
  require(image->rgba.size() == static_cast<std::size_t>(image->width) * image->height * 4,
          "a tile's pixels do not match its size");
  // Drawn as a map draws it: scaled up from a part, and scaled down whole.
  RasterCanvas canvas(64, 64, {255, 255, 255, 255});
  canvas.image(image->pixels(), {image->width / 4.0, image->height / 4.0, 1, 1}, {0, 0, 64, 64},
               0.6);
  canvas.image(image->pixels(),
               {0, 0, static_cast<double>(image->width), static_cast<double>(image->height)},
               {-3.5, 10.25, 40, 17}, 1);
}

}  // namespace

const std::vector<FuzzTarget>& fuzzTargets() {
  static const std::vector<FuzzTarget> targets = {
      {"nmea", fuzzNmea},
      {"navigon", fuzzNavigon},
      {"itn", fuzzItn},
      {"bcr", fuzzBcr},
      {"tourenxml", fuzzTourenXml},
      {"ovl", fuzzOvl},
      {"coordtext", fuzzCoordText},
      {"access", fuzzAccess},
      {"settings", fuzzSettings},
      {"gpx", fuzzGpx},
      {"readers", fuzzReaders},
      {"tileimage", fuzzTileImage},
  };
  return targets;
}

const FuzzTarget* findFuzzTarget(const std::string& name) {
  for (const FuzzTarget& t : fuzzTargets())
    if (t.name == name) return &t;
  return nullptr;
}

}  // namespace kursolin::test
