// Hard inputs through the real batch converter, for every input format it can read: broken,
// foreign and hostile files, files that are no files, and targets that cannot take the route.
// Whatever comes in, the program ends by itself with 0, 1 or 2, says what went wrong in German,
// and leaves either the whole route file or none.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

#include "formats/registry.h"
#include "support/jet3_writer.h"
#include "support/nmea_writer.h"
#include "support/temp_folder.h"

namespace kursolin {
namespace {

using test::TempFolder;

struct CliRun {
  bool finished = false;  // false: killed by the watchdog
  int signal = 0;  // the signal that ended it, 0 for a normal exit
  int rc = -1;
  std::string err;
};

// Generous: a run takes milliseconds; the watchdog only keeps a hang from stalling the suite.
constexpr auto kWatchdog = std::chrono::seconds(60);

/// Runs kursolin-cli with args in a child process, as the user "nobody" when asked (root reads
/// every file regardless of its permissions).
CliRun runCli(const TempFolder& scratch, const std::vector<std::string>& args, bool asNobody = false) {
  const std::string errFile = scratch.file("stderr.txt");
  std::vector<std::string> all = {KURSOLIN_CLI_EXE, "--appdir", scratch.path()};
  all.insert(all.end(), args.begin(), args.end());
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int devNull = ::open("/dev/null", O_RDWR);
    const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    ::dup2(devNull, 0);
    ::dup2(devNull, 1);
    ::dup2(err, 2);
    if (asNobody && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
      ::_exit(99);
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(98);
  }
  CliRun r;
  if (pid < 0) return r;
  const auto deadline = std::chrono::steady_clock::now() + kWatchdog;
  int status = 0;
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      r.err = test::readBytes(errFile);
      return r;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  r.finished = true;
  if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
  if (WIFEXITED(status)) r.rc = WEXITSTATUS(status);
  r.err = test::readBytes(errFile);
  return r;
}

/// A file of the format with one record at (lat, lon), each in the format's own notation,
/// between records that are fine.
using FileMaker = std::function<std::string(const std::string& lat, const std::string& lon)>;

struct FormatCase {
  int code;
  FileMaker make;
  std::string lat, lon;  // a position the format reads
  std::vector<std::string> badCoordinates;  // NaN, huge, beyond the poles, in its notation
  bool text = true;  // false for databases: re-encoding them gives no file of the same content
};

std::string nmeaLog(bool gga, const std::string& lat, const std::string& lon) {
  std::vector<std::string> lines;
  for (int i = 0; i < 6; ++i) {
    const std::string t = "1200" + std::to_string(10 + i) + ".00";
    const std::string la = i == 3 ? lat : "48" + std::to_string(10 + i) + ".0000";
    const std::string lo = i == 3 ? lon : "011" + std::to_string(10 + i) + ".0000";
    if (gga) {
      lines.push_back(test::sentence("GPGGA," + t + "," + la + ",N," + lo + ",E,1,08,0.9,545.4,M,46.9,M,,"));
      lines.push_back(test::sentence("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K"));
    } else {
      lines.push_back(test::sentence("GPRMC," + t + ",A," + la + ",N," + lo + ",E,022.4,084.4,230394,003.1,W"));
    }
  }
  return test::joinCrLf(lines);
}

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// MN|4 (13 fields) or MN|4.2 (15 fields) lines: place fields "-", then longitude and latitude.
std::string navigon(int fields, const std::string& lat, const std::string& lon) {
  const int before = fields == 13 ? 10 : 11;
  std::vector<std::string> lines;
  for (int i = 0; i < 6; ++i) {
    const std::string lo = i == 3 ? lon : "11." + std::to_string(10 + i);
    const std::string la = i == 3 ? lat : "48." + std::to_string(10 + i);
    lines.push_back(repeat("-|", before) + lo + "|" + la + "|" + repeat("-|", fields - before - 2));
  }
  return test::joinCrLf(lines);
}

// GPX 1.1 track points; no encoding named, so a byte-order mark alone tells the parser.
std::string gpx(const std::string& lat, const std::string& lon) {
  std::string g = "<?xml version=\"1.0\"?>\r\n<gpx version=\"1.1\" creator=\"t\" "
                  "xmlns=\"http://www.topografix.com/GPX/1/1\">\r\n<trk><trkseg>\r\n";
  for (int i = 0; i < 6; ++i) {
    const std::string la = i == 3 ? lat : "48." + std::to_string(10 + i);
    const std::string lo = i == 3 ? lon : "11." + std::to_string(10 + i);
    g += "<trkpt lat=\"" + la + "\" lon=\"" + lo + "\"><time>2024-05-01T12:00:" +
         std::to_string(10 + i) + "Z</time></trkpt>\r\n";
  }
  return g + "</trkseg></trk>\r\n</gpx>\r\n";
}

// Six records of a line-per-point format, the fourth at (lat, lon).
std::string sixLines(const std::function<std::string(const std::string&, const std::string&)>& line,
                     const std::string& lat, const std::string& lon,
                     const std::function<std::string(int)>& latAt,
                     const std::function<std::string(int)>& lonAt) {
  std::vector<std::string> lines;
  for (int i = 0; i < 6; ++i) lines.push_back(i == 3 ? line(lat, lon) : line(latAt(i), lonAt(i)));
  return test::joinCrLf(lines);
}

std::string tomtom(const std::string& lat, const std::string& lon) {
  return sixLines([](auto& la, auto& lo) { return lo + "|" + la + "|Ort|0|"; }, lat, lon,
                  [](int i) { return std::to_string(4810000 + i * 1000); },
                  [](int i) { return std::to_string(1110000 + i * 1000); });
}

// Decimal degrees, latitude first, separated by a tab: the settings' defaults.
std::string degreeText(const std::string& lat, const std::string& lon) {
  return sixLines([](auto& la, auto& lo) { return la + "\t" + lo; }, lat, lon,
                  [](int i) { return "48." + std::to_string(10 + i); },
                  [](int i) { return "11." + std::to_string(10 + i); });
}

// A coordinate pair a line, latitude first, tab between; the other lines at (lat0, lon0).
std::string pairText(const std::string& lat, const std::string& lon, const std::string& lat0,
                     const std::string& lon0) {
  return sixLines([](auto& la, auto& lo) { return la + "\t" + lo; }, lat, lon,
                  [&](int) { return lat0; }, [&](int) { return lon0; });
}

std::string bcr(const std::string& lat, const std::string& lon) {
  std::string b = "[CLIENT]\r\nREQUEST=TRUE\r\nROUTENAME=x\r\nDESCRIPTIONLINES=0\r\n[COORDINATES]\r\n";
  for (int i = 0; i < 6; ++i) {
    b += "STATION" + std::to_string(i + 1) + "=" +
         (i == 3 ? lon + "," + lat
                 : std::to_string(1235000 + i * 1000) + "," + std::to_string(6125000 + i * 1000)) +
         "\r\n";
  }
  return b + "[DESCRIPTION]\r\n";
}

std::string ovl(const std::string& lat, const std::string& lon) {
  std::string o;
  for (int i = 0; i < 6; ++i) {
    o += "[Symbol " + std::to_string(i + 1) + "]\r\nTyp=3\r\n";
    o += "XKoord" + std::to_string(i) + "=" + (i == 3 ? lon : "11." + std::to_string(10 + i)) + "\r\n";
    o += "YKoord" + std::to_string(i) + "=" + (i == 3 ? lat : "48." + std::to_string(10 + i)) + "\r\n";
  }
  return o;
}

// Tourenplaner XML: route instructions, each a station, with decimal degrees in x and y.
std::string tourenXml(const std::string& lat, const std::string& lon) {
  std::string x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<TEF>\r\n";
  for (int i = 0; i < 6; ++i) {
    x += "<Item PointDist=\"" + std::to_string(i) + "\" SegDist=\"1\" ViaStation=\"S" +
         std::to_string(i) + "\"><Point x=\"" + (i == 3 ? lon : "11." + std::to_string(10 + i)) +
         "\" y=\"" + (i == 3 ? lat : "48." + std::to_string(10 + i)) + "\"/></Item>\r\n";
  }
  return x + "</TEF>\r\n";
}

// A Touratech QV database with a track table; the coordinates are Double columns.
std::string qv3(const std::string& lat, const std::string& lon) {
  test::JetTable track = test::touratechTrack();
  for (int i = 0; i < 6; ++i) {
    const double la = i == 3 ? std::strtod(lat.c_str(), nullptr) : 48.1 + i / 100.0;
    const double lo = i == 3 ? std::strtod(lon.c_str(), nullptr) : 11.1 + i / 100.0;
    track.rows.push_back({i + 1, la, lo, 10.0, 0.0});
  }
  return test::jet3Database({track});
}

const std::vector<std::string> kDegreesBad = {"nan", "NaN", "inf", "1e308", "-1e308", "91", "-91", "181", "1e-400"};

std::vector<FormatCase> formatCases() {
  std::vector<FormatCase> cases = {
      {1, [](auto& la, auto& lo) { return nmeaLog(true, la, lo); }, "4807.0380", "01131.0000",
       {"nan", "1e308", "9100.0000", "9500.0000", "4861.0000", "18100.0000", "-4807.0380"}},
      {2, [](auto& la, auto& lo) { return nmeaLog(false, la, lo); }, "4807.0380", "01131.0000",
       {"nan", "1e308", "9100.0000", "9500.0000", "4861.0000", "18100.0000", "-4807.0380"}},
      {8, [](auto& la, auto& lo) { return navigon(13, la, lo); }, "48.5", "11.5", kDegreesBad},
      {9, [](auto& la, auto& lo) { return navigon(15, la, lo); }, "48.5", "11.5", kDegreesBad},
      {25, [](auto& la, auto& lo) { return gpx(la, lo); }, "48.5", "11.5", kDegreesBad},
      {10, [](auto& la, auto& lo) { return tomtom(la, lo); }, "4850000", "1150000",
       {"nan", "1e308", "9100000", "-9100000", "18100000", "99999999999999999999"}},
      {22, [](auto& la, auto& lo) { return degreeText(la, lo); }, "48.5", "11.5", kDegreesBad},
      // Degrees, minutes and seconds; degrees and minutes run together; Mercator metres.
      {20,
       [](auto& la, auto& lo) {
         return pairText(la, lo, "48\xB0" "08\xB4" "13.20\"", "011\xB0" "34\xB4" "30.00\"");
       },
       "48\xB0" "10\xB4" "00.00\"", "011\xB0" "30\xB4" "00.00\"",
       {"nan", "1e308", "91\xB0" "00\xB4" "00.00\"", "48\xB0" "61\xB4" "00.00\"",
        "181\xB0" "00\xB4" "00.00\"", "48\xB0" "08\xB4" "1e308\""}},
      {21, [](auto& la, auto& lo) { return pairText(la, lo, "4808.2200", "01134.5000"); },
       "4810.0000", "01130.0000", {"nan", "1e308", "9100.0000", "4861.0000", "18100.0000", "-9100.0000"}},
      {23, [](auto& la, auto& lo) { return pairText(la, lo, "6122832", "1287084"); }, "6130000",
       "1240000", {"nan", "1e308", "99999999", "-99999999", "99999999999999999999"}},
      {6, [](auto& la, auto& lo) { return bcr(la, lo); }, "6130000", "1240000",
       {"nan", "1e308", "99999999", "-99999999", "99999999999999999999"}},
      {3, [](auto& la, auto& lo) { return ovl(la, lo); }, "48.5", "11.5", kDegreesBad},
      {4, [](auto& la, auto& lo) { return tourenXml(la, lo); }, "48.5", "11.5", kDegreesBad},
      {5, [](auto& la, auto& lo) { return tourenXml(la, lo); }, "48,5", "11,5", kDegreesBad},
      {24, [](auto& la, auto& lo) { return qv3(la, lo); }, "48.5", "11.5",
       {"nan", "inf", "1e308", "-1e308", "91", "-91", "181"}, false},
  };
  // A format that arrives later is still tried with everything that needs no valid file of it.
  for (const InputFormatInfo& f : inputFormats()) {
    if (f.cliName.empty() || !f.available()) continue;
    bool known = false;
    for (const auto& c : cases) known |= c.code == f.code;
    if (!known) cases.push_back({f.code, nullptr, "", "", {}});
  }
  std::erase_if(cases, [](const FormatCase& c) {
    const InputFormatInfo* f = inputFormat(c.code);
    return !f || !f->available();
  });
  return cases;
}

std::string utf16(const std::string& cp1252, bool bigEndian, bool mark) {
  std::string out = !mark ? "" : bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : cp1252) {
    // The test files are ASCII but for the umlauts of place names, which Latin-1 shares.
    const char hi = 0, lo = c;
    out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
  }
  return out;
}

std::string replaceAll(std::string s, const std::string& from, const std::string& to) {
  for (std::size_t p = 0; (p = s.find(from, p)) != std::string::npos; p += to.size()) s.replace(p, from.size(), to);
  return s;
}

std::string perLine(const std::string& text, const std::function<void(std::string&)>& change) {
  std::string out;
  std::size_t start = 0, end;
  while ((end = text.find("\r\n", start)) != std::string::npos) {
    std::string line = text.substr(start, end - start);
    change(line);
    out += line + "\r\n";
    start = end + 2;
  }
  return out + text.substr(start);
}

struct Variant {
  std::string name;
  std::string bytes;
  bool sameAsValid = false;  // must give exactly what the valid file gives
};

std::vector<Variant> variants(const FormatCase& f) {
  std::mt19937 random(14);
  std::string binary(4096, '\0');
  for (char& c : binary) c = static_cast<char>(random() & 0xFF);
  std::vector<Variant> v = {
      {"empty", ""},
      {"one byte", "$"},
      {"random binary", binary},
      {"a 1 MB line without line end", std::string(1 << 20, '7')},
      {"a 1 MB line of separators", std::string(1 << 20, '|')},
      {"NUL bytes only", std::string(4096, '\0')},
  };
  if (!f.make) return v;
  const std::string valid = f.make(f.lat, f.lon);
  v.push_back({"valid", valid, true});
  v.push_back({"UTF-16 LE with mark", utf16(valid, false, true), f.text});
  v.push_back({"UTF-16 BE with mark", utf16(valid, true, true), f.text});
  v.push_back({"UTF-8 with mark", "\xEF\xBB\xBF" + valid, f.text});
  v.push_back({"CR-only line ends", replaceAll(valid, "\r\n", "\r"), f.text});
  v.push_back({"UTF-16 without mark", utf16(valid, false, false)});
  v.push_back({"valid then a 1 MB line", valid + std::string(1 << 20, 'A')});
  v.push_back({"NUL bytes inside records", perLine(valid, [](std::string& l) {
                 l.insert(l.size() / 2, std::string(1, '\0'));
               })});
  v.push_back({"truncated last line", valid.substr(0, valid.size() - 7)});
  v.push_back({"cut in half", valid.substr(0, valid.size() / 2)});
  v.push_back({"bad checksums", perLine(valid, [](std::string& l) {
                 if (!l.empty()) l.back() = l.back() == '0' ? '1' : '0';
               })});
  for (const auto& bad : f.badCoordinates) {
    v.push_back({"latitude " + bad, f.make(bad, f.lon)});
    v.push_back({"longitude " + bad, f.make(f.lat, bad)});
  }
  return v;
}

// The stderr of a failed run: the program's own German sentences, no runtime's English.
void expectGermanMessage(const CliRun& r) {
  EXPECT_EQ(r.err.rfind("kursolin-cli: ", 0), 0u) << r.err;
  for (const char* foreign : {"terminate", "what()", "std::", "No such", "Permission denied",
                              "Is a directory", "No space", "File name too long", "error", "Error"}) {
    EXPECT_EQ(r.err.find(foreign), std::string::npos) << foreign << " in: " << r.err;
  }
}

// The route lines of an MN|4.2 file: every position on the globe, no "nan" or "inf".
void expectSensibleRoute(const std::string& route) {
  std::size_t start = 0, end;
  while ((end = route.find("\r\n", start)) != std::string::npos) {
    std::vector<std::string> f;
    std::size_t a = start, bar;
    while ((bar = route.find('|', a)) != std::string::npos && bar < end) {
      f.push_back(route.substr(a, bar - a));
      a = bar + 1;
    }
    start = end + 2;
    ASSERT_EQ(f.size(), 15u);
    char* stop = nullptr;
    const double lon = std::strtod(f[11].c_str(), &stop), lat = std::strtod(f[12].c_str(), nullptr);
    EXPECT_TRUE(std::isfinite(lat) && std::isfinite(lon)) << f[12] << " " << f[11];
    EXPECT_LE(std::fabs(lat), 90.0) << f[12];
    EXPECT_LE(std::fabs(lon), 180.0) << f[11];
  }
  EXPECT_EQ(start, route.size()) << "the last line ends in CR LF";
}

class BadInput : public ::testing::Test {
 protected:
  /// Converts `input` to MN|4.2 in a folder of its own; checks what every run must satisfy.
  CliRun convert(const FormatCase& f, const std::string& input, const std::string& target,
              bool asNobody = false) {
    const auto before = out.entries();
    const CliRun r = runCli(scratch, {"-i", std::to_string(f.code), "-f", "mn42", "-o", target, input}, asNobody);
    EXPECT_TRUE(r.finished) << "killed after " << kWatchdog.count() << " s";
    EXPECT_EQ(r.signal, 0) << "ended by signal " << r.signal << ": " << r.err;
    EXPECT_TRUE(r.rc >= 0 && r.rc <= 2) << r.rc << ": " << r.err;
    if (r.rc != 0) expectGermanMessage(r);
    auto after = out.entries();
    if (r.rc == 0 && target.rfind(out.path(), 0) == 0) {
      EXPECT_EQ(after.erase(target.substr(out.path().size() + 1)), 1u) << "the route was written";
    }
    EXPECT_EQ(after, before) << "no partial, temporary or part file";
    return r;
  }
  TempFolder scratch, out;
};

TEST_F(BadInput, EveryInputFormatSurvivesBrokenFiles) {
  for (const FormatCase& f : formatCases()) {
    std::string validRoute;
    int validRc = -1;
    for (const Variant& v : variants(f)) {
      SCOPED_TRACE("format " + std::to_string(f.code) + ", " + v.name);
      const std::string input = scratch.file("eingabe");
      test::writeBytes(input, v.bytes);
      const std::string target = out.file("route.rte");
      const CliRun r = convert(f, input, target);
      std::string route;
      if (r.rc == 0) {
        route = test::readBytes(target);
        expectSensibleRoute(route);
        ::unlink(target.c_str());
      }
      if (v.name == "valid") {
        EXPECT_EQ(r.rc, 0) << r.err;
        validRc = r.rc;
        validRoute = route;
      } else if (v.sameAsValid) {
        EXPECT_EQ(r.rc, validRc) << r.err;
        EXPECT_EQ(route, validRoute);
      }
    }
  }
}

TEST_F(BadInput, NoFileMissingFileUnreadableFile) {
  const bool root = ::geteuid() == 0;
  for (const FormatCase& f : formatCases()) {
    SCOPED_TRACE("format " + std::to_string(f.code));
    const std::string target = out.file("route.rte");
    CliRun r = convert(f, scratch.path(), target);
    EXPECT_EQ(r.rc, 2);
    // Databases and GPX files have messages of their own; each names the path.
    EXPECT_NE(r.err.find(scratch.path()), std::string::npos) << r.err;

    r = convert(f, scratch.file("fehlt"), target);
    EXPECT_EQ(r.rc, 2);
    EXPECT_NE(r.err.find(scratch.file("fehlt")), std::string::npos) << r.err;

    const std::string locked = scratch.file("gesperrt");
    test::writeBytes(locked, f.make ? f.make(f.lat, f.lon) : "x");
    ::chmod(locked.c_str(), 0);
    // As nobody the output folder is not writable either; the run must fail at the input.
    r = convert(f, locked, target, root);
    ASSERT_NE(r.rc, 99) << "could not become nobody";
    EXPECT_EQ(r.rc, 2);
    EXPECT_NE(r.err.find(locked), std::string::npos) << r.err;
    ::unlink(locked.c_str());
  }
}

// Databases on which the library itself crashes: the read runs in a process of its own, so the
// converter ends with status 2 and a message naming the file.
TEST_F(BadInput, DatabasesThatCrashTheLibrary) {
  const FormatCase qv{24, qv3, "48.5", "11.5", {}, false};
  for (const std::string& bytes : test::withDamagedUsageMaps(qv3("48.5", "11.5"))) {
    const std::string input = scratch.file("defekt.qu3");
    test::writeBytes(input, bytes);
    const CliRun r = convert(qv, input, out.file("route.rte"));
    EXPECT_EQ(r.rc, 2) << r.err;
    EXPECT_NE(r.err.find(input + " kann nicht als Access-Datenbank gelesen werden"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(test::readBytes(input), bytes);
  }
}

TEST_F(BadInput, TargetsThatCannotTakeTheRoute) {
  const bool root = ::geteuid() == 0;
  for (const FormatCase& f : formatCases()) {
    if (!f.make) continue;
    SCOPED_TRACE("format " + std::to_string(f.code));
    const std::string input = scratch.file("eingabe");
    test::writeBytes(input, f.make(f.lat, f.lon));
    // A full disk: the device that is always full stands in for a full file system.
    CliRun r = convert(f, input, "/dev/full");
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.err.find("kein Platz mehr"), std::string::npos) << r.err;

    r = convert(f, input, out.file("fehlt/route.rte"));
    EXPECT_EQ(r.rc, 1);

    // A folder without write permission, with an old route in it that must stay as it was.
    test::writeBytes(out.file("alt.rte"), "alte Route\r\n");
    ::chmod(out.path().c_str(), 0555);
    r = convert(f, input, out.file("alt.rte"), root);
    ::chmod(out.path().c_str(), 0755);
    EXPECT_EQ(r.rc, 1) << r.err;
    EXPECT_EQ(test::readBytes(out.file("alt.rte")), "alte Route\r\n");
    ::unlink(out.file("alt.rte").c_str());
  }
}

// A file system that is really full: a one-page tmpfs with its page taken. Needs the right to
// mount (root in a machine or container that allows it); skipped otherwise.
class FullFileSystem : public BadInput {
 protected:
  void SetUp() override {
    mounted = ::mount("tmpfs", out.path().c_str(), "tmpfs", 0, "size=4k,mode=0755") == 0;
    if (!mounted) GTEST_SKIP() << "cannot mount a tmpfs here";
    // Fill it; the last write fails once no page is left.
    const int fd = ::open(out.file("voll").c_str(), O_WRONLY | O_CREAT, 0644);
    const std::string block(512, 'x');
    while (fd >= 0 && ::write(fd, block.data(), block.size()) > 0) {
    }
    if (fd >= 0) ::close(fd);
  }
  void TearDown() override {
    if (mounted) ::umount(out.path().c_str());
  }
  bool mounted = false;
};

TEST_F(FullFileSystem, NeitherANewNorAReplacedRouteIsLeftHalfWritten) {
  const FormatCase f = formatCases().front();
  const std::string input = scratch.file("eingabe");
  test::writeBytes(input, f.make(f.lat, f.lon));
  CliRun r = convert(f, input, out.file("neu.rte"));
  EXPECT_EQ(r.rc, 1) << r.err;
  EXPECT_NE(r.err.find("kein Platz mehr"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(out.file("neu.rte")));

  // The filler's bytes are the old route now; the run must leave them whole.
  const std::string old = test::readBytes(out.file("voll"));
  ASSERT_FALSE(old.empty());
  r = convert(f, input, out.file("voll"));
  EXPECT_EQ(r.rc, 1) << r.err;
  EXPECT_EQ(test::readBytes(out.file("voll")), old);
}

}  // namespace
}  // namespace kursolin
