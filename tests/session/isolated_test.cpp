// Steps in a child process: whatever the child does -- crash, loop, eat memory, print without
// end, hand back too much -- the parent goes on, and learns how it ended.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "session/isolated.h"
#include "support/fake_port.h"

namespace kursolin {
namespace {

using namespace std::chrono_literals;

ChildLimits quickLimits() {
  ChildLimits l;
  l.time = 1500ms;
  l.memoryBytes = 64ULL << 20;
  l.resultBytes = 1ULL << 20;
  return l;
}

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's allocator does not give up at the address-space limit; the time limit ends it.
constexpr ChildEnd kMemoryHogEnd = ChildEnd::TimedOut;
#else
constexpr ChildEnd kMemoryHogEnd = ChildEnd::OutOfMemory;
#endif

// Loops until the child is ended from outside.
[[noreturn]] void spin() {
  volatile unsigned long long n = 0;
  while (true) n = n + 1;
}

TEST(Isolated, EveryEndOfTheChildIsToldApart) {
  struct Case {
    const char* name;
    ChildBody body;
    ChildEnd end;
    int exitCode;
    std::string result;
    ChildLimits limits;
  } cases[] = {
      {"returns",
       [](ChildResultWriter& w) {
         w.write("abc");
         w.write(std::string(100000, 'x'));
         return 7;
       },
       ChildEnd::Finished, 7, "abc" + std::string(100000, 'x'), quickLimits()},
      {"segfault",
       [](ChildResultWriter& w) {
         w.write("half");
         w.flush();
         ::raise(SIGSEGV);
         return 0;
       },
       ChildEnd::Crashed, 0, "half", quickLimits()},
      {"throws", [](ChildResultWriter&) -> int { throw std::runtime_error("x"); },
       ChildEnd::Crashed, 0, "", quickLimits()},
      {"loops", [](ChildResultWriter&) -> int { spin(); }, ChildEnd::TimedOut, 0, "",
       quickLimits()},
      {"prints without end",
       [](ChildResultWriter&) {
         while (true) std::fputs("Warning: unsupported data type 0.\n", stderr);
         return 0;
       },
       ChildEnd::TimedOut, 0, "", quickLimits()},
      {"eats memory",
       [](ChildResultWriter&) {
         std::vector<std::string> hog;
         while (true) hog.emplace_back(1 << 20, 'm');
         return 0;
       },
       kMemoryHogEnd, 0, "", quickLimits()},
      {"hands back too much",
       [](ChildResultWriter& w) {
         while (true) w.write(std::string(4096, 'r'));
         return 0;
       },
       ChildEnd::TooMuchResult, 0, "", quickLimits()},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::ScriptedPort port;
    const auto start = std::chrono::steady_clock::now();
    const ChildOutcome out = runInChild(port, "Warten", c.limits, c.body);
    EXPECT_LT(std::chrono::steady_clock::now() - start, c.limits.time + 8s);
    EXPECT_EQ(out.end, c.end) << childFailureText(out, c.limits);
    EXPECT_EQ(port.waitTexts, std::vector<std::string>{"Warten"});
    if (c.end == ChildEnd::Finished) {
      EXPECT_EQ(out.exitCode, c.exitCode);
    }
    if (!c.result.empty()) {
      EXPECT_EQ(out.result, c.result);
    }
    if (c.end == ChildEnd::Crashed && std::string(c.name) == "segfault") {
      // A sanitizer reports the fault and ends the child its own way.
      EXPECT_TRUE(out.signal != 0 || out.exitCode != 0);
    }
    if (c.end != ChildEnd::Finished) {
      EXPECT_NE(childFailureText(out, c.limits), "");
    }
  }
}

TEST(Isolated, OnlyTheFirstPrintedLinesAreKeptAndAllAreCounted) {
  test::ScriptedPort port;
  const ChildOutcome out = runInChild(port, "", quickLimits(), [](ChildResultWriter&) {
    std::fprintf(stderr, "Warning: %s\n", std::string(5000, 'w').c_str());
    for (int i = 1; i < 100000; ++i) std::fprintf(i % 2 ? stdout : stderr, "Zeile %d\n", i);
    std::printf("ohne Zeilenende");
    return 0;
  });
  ASSERT_EQ(out.end, ChildEnd::Finished);
  EXPECT_EQ(out.diagnosticLines, 100001);
  ASSERT_EQ(out.diagnostics.size(), static_cast<std::size_t>(kChildDiagnosticLines));
  EXPECT_EQ(out.diagnostics[0].substr(0, 9), "Warning: ");
  EXPECT_LE(out.diagnostics[0].size(), 300u);
  EXPECT_EQ(out.lastDiagnostic, "ohne Zeilenende");
}

TEST(Isolated, TheFailureTextNamesTheCauseAndAFewPrintedLines) {
  ChildOutcome out;
  out.end = ChildEnd::Crashed;
  out.signal = 11;
  out.diagnostics = {"mdb: a\tb", "zweite"};
  out.diagnosticLines = 26000000;
  out.lastDiagnostic = "GLib-ERROR **: failed";
  EXPECT_EQ(childFailureText(out, quickLimits()),
            "Das Lesen brach mit einem Fehler ab (Signal 11); die Datei ist vermutlich "
            "besch\xE4"
            "digt.\rMeldungen beim Lesen:\rmdb: a b\rzweite\r(und 25999998 weitere "
            "Zeilen, zuletzt:)\rGLib-ERROR **: failed");
  out = {};
  out.end = ChildEnd::TimedOut;
  ChildLimits oneSecond = quickLimits();
  oneSecond.time = 1000ms;
  EXPECT_EQ(childFailureText(out, oneSecond),
            "Das Lesen dauerte l\xE4nger als 1 Sekunde und wurde abgebrochen; die Datei ist "
            "vermutlich besch\xE4"
            "digt.");
  out.end = ChildEnd::Cancelled;
  EXPECT_EQ(childFailureText(out, oneSecond), "");
}

TEST(Isolated, AbbrechenEndsTheChildAtOnce) {
  test::ScriptedPort port;
  port.cancelAfter = 200ms;
  ChildLimits l = quickLimits();
  l.time = 60s;
  const auto start = std::chrono::steady_clock::now();
  const ChildOutcome out = runInChild(port, "", l, [](ChildResultWriter&) -> int { spin(); });
  EXPECT_EQ(out.end, ChildEnd::Cancelled);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}

}  // namespace
}  // namespace kursolin
