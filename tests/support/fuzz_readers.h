#pragma once
// Feeds arbitrary bytes to every record reader and to both generators; used by the fuzz target
// and by the replay test of its saved corpus.

#include <cstddef>
#include <cstdint>

namespace kursolin::test {

/// Runs the readers and generators over the bytes as an input file; must never crash.
void fuzzReaders(const std::uint8_t* data, std::size_t size);

}  // namespace kursolin::test
