// libFuzzer entry of the manual's rich text reader.
#include <cstddef>
#include <cstdint>

#include "app/rtf_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kursolin::test::fuzzRtf(data, size);
  return 0;
}
