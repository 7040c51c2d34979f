// libFuzzer entry: every reader and generator over arbitrary input files.
#include <cstddef>
#include <cstdint>

#include "support/fuzz_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kursolin::test::fuzzReaders(data, size);
  return 0;
}
