#pragma once
// The fuzz targets, one per reader: each feeds arbitrary bytes to one reader the way a load and a
// route generation would, and must never crash. The libFuzzer entries and the replay test of
// their saved corpora (tests/data/fuzz/<name>/) both reach them through this table.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kursolin::test {

using FuzzEntry = void (*)(const std::uint8_t* data, std::size_t size);

struct FuzzTarget {
  std::string name;  // also the folder of its corpus
  FuzzEntry run;
};

/// Every fuzz target of the headless program.
const std::vector<FuzzTarget>& fuzzTargets();

/// The target of that name, nullptr for none.
const FuzzTarget* findFuzzTarget(const std::string& name);

}  // namespace kursolin::test
