// Replays the saved corpus of every fuzz target: the seeds and every input that once mattered to
// the fuzzer. A target aborts on a broken promise; the sanitizer build catches the rest.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>

#include "support/fuzz_targets.h"

namespace kursolin {
namespace test {

// Names the target in test output instead of dumping its bytes.
void PrintTo(const FuzzTarget& t, std::ostream* os) { *os << t.name; }

}  // namespace test

namespace {

class FuzzCorpus : public ::testing::TestWithParam<test::FuzzTarget> {};

TEST_P(FuzzCorpus, EverySavedInputPasses) {
  const std::filesystem::path dir =
      std::filesystem::path(KURSOLIN_TEST_DATA) / "fuzz" / GetParam().name;
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    SCOPED_TRACE(e.path().string());
    std::ifstream in(e.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    GetParam().run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    ++n;
  }
  EXPECT_GT(n, 0) << "each target's corpus is part of the repository";
}

// A corpus without a target would never be replayed; the rich text one is the Qt tests'.
TEST(FuzzCorpusFolders, EachBelongsToATarget) {
  for (const auto& e :
       std::filesystem::directory_iterator(std::filesystem::path(KURSOLIN_TEST_DATA) / "fuzz")) {
    const std::string name = e.path().filename().string();
    EXPECT_TRUE(name == "rtf" || test::findFuzzTarget(name)) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzCorpus, ::testing::ValuesIn(test::fuzzTargets()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace kursolin
