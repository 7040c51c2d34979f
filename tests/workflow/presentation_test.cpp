// The presentation rows and the codec rows describe the same formats.
#include <gtest/gtest.h>

#include "formats/registry.h"
#include "workflow/presentation.h"

namespace kursolin {
namespace {

template <class Codec, class Shown>
std::vector<int> codes(const std::vector<Codec>& codec, const std::vector<Shown>& shown,
                       std::vector<int>& shownCodes) {
  std::vector<int> out;
  for (const auto& r : codec) out.push_back(r.code);
  for (const auto& r : shown) shownCodes.push_back(r.code);
  return out;
}

TEST(Presentation, EveryRowIsShownOnceInTheSameOrder) {
  std::vector<int> shownIn, shownOut;
  EXPECT_EQ(codes(inputFormats(), inputPresentations(), shownIn), shownIn);
  EXPECT_EQ(codes(outputFormats(), outputPresentations(), shownOut), shownOut);
}

// Detection prefers the format whose extension the file has; the open dialog must offer the same.
TEST(Presentation, OpenDialogsOfferTheExtensionsDetectionKnows) {
  for (const InputFormatInfo& f : inputFormats()) {
    if (!f.recognize) continue;
    EXPECT_EQ(fileExtensionsOf(*inputPresentation(f.code)), f.extensions) << f.code;
  }
}

}  // namespace
}  // namespace kursolin
