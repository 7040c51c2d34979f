// libFuzzer entry of one target of tests/support/fuzz_targets.h, chosen when it is built.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "support/fuzz_targets.h"

namespace {

const kursolin::test::FuzzTarget& target() {
  static const kursolin::test::FuzzTarget* t = kursolin::test::findFuzzTarget(KURSOLIN_FUZZ_TARGET);
  if (!t) {
    std::fprintf(stderr, "no fuzz target \"%s\"\n", KURSOLIN_FUZZ_TARGET);
    std::abort();
  }
  return *t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  target().run(data, size);
  return 0;
}
