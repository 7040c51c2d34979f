// Replays the saved fuzz corpus of the readers: every input that once mattered to the fuzzer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/fuzz_readers.h"

namespace kursolin {
namespace {

TEST(FuzzCorpus, ReadersSurviveEverySavedInput) {
  const std::filesystem::path dir = std::filesystem::path(KURSOLIN_TEST_DATA) / "fuzz" / "readers";
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(e.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    test::fuzzReaders(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    ++n;
  }
  EXPECT_GT(n, 0) << "the corpus is part of the repository";
}

}  // namespace
}  // namespace kursolin
