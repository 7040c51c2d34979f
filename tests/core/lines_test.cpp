// The compact line store: whatever way the lines come in, they read back as splitLines cuts them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/lines.h"

namespace kursolin {
namespace {

TEST(TextLinesStore, TextsReadBackLineByLineWhateverTheLineEnds) {
  const std::vector<std::string> texts = {
      "", "a", "a\r\n", "a\r\nb", "a\nb\n", "a\rb\r", "\r\n\r\n", "a\r\r\nb", "a\n\rb",
      "$GPGGA,1*00\r\n$GPVTG,2*00\r\n\r\n$GPRMC,3*00", "x\r", "\n", "only\r\nCR LF\r\n"};
  for (const std::string& t : texts) {
    const std::vector<std::string> expected = splitLines(t);
    TextLines copied, adopted;
    copied.setText(t);
    adopted.adoptText(std::string(t));
    for (const TextLines* l : {&copied, &adopted}) {
      ASSERT_EQ(l->Count(), static_cast<int>(expected.size())) << t;
      EXPECT_EQ(l->lines(), expected) << t;
      for (int i = 0; i < l->Count(); ++i) {
        EXPECT_EQ(l->at(i), expected[static_cast<std::size_t>(i)]);
        EXPECT_EQ(l->full(i), expected[static_cast<std::size_t>(i)]);
      }
      EXPECT_EQ(l->at(-1), "");
      EXPECT_EQ(l->at(l->Count()), "");
      EXPECT_EQ(l->full(l->Count()), "");
    }
  }
}

TEST(TextLinesStore, AddAssignAndClearKeepTheLinesAndCountRevisions) {
  TextLines l;
  const auto r0 = l.revision();
  l.add("one");
  l.add("");
  l.add("three");
  EXPECT_EQ(l.lines(), (std::vector<std::string>{"one", "", "three"}));
  EXPECT_EQ(l.text(), "one\r\n\r\nthree\r\n");
  l.assign({"x", "yz"});
  EXPECT_EQ(l.Count(), 2);
  EXPECT_EQ(l.full(1), "yz");
  l.clear();
  EXPECT_TRUE(l.empty());
  EXPECT_EQ(l.revision(), r0 + 5);
}

TEST(TextLinesStore, ReadsAreLimitedFullLinesAreNot) {
  const std::string longLine(TextLines::kMaxLineRead + 10, 'x');
  TextLines l;
  l.setText("short\r\n" + longLine + "\r\nend");
  EXPECT_EQ(l.at(1).size(), TextLines::kMaxLineRead);
  EXPECT_EQ(l.full(1).size(), longLine.size());
  std::string buffer = "left over from before";
  l.readInto(2, buffer);
  EXPECT_EQ(buffer, "end");
  l.readInto(1, buffer);
  EXPECT_EQ(buffer, longLine.substr(0, TextLines::kMaxLineRead));
}

TEST(TextLinesStore, ReplacingALineMovesTheOnesAfterIt) {
  struct Case {
    long long index;
    const char* text;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {0, "first and longer", {"first and longer", "b", "cc"}},
      {0, "", {"", "b", "cc"}},
      {1, "middle", {"a1", "middle", "cc"}},
      {2, "c", {"a1", "b", "c"}},
      {3, "outside", {"a1", "b", "cc"}},
      {-1, "outside", {"a1", "b", "cc"}},
  };
  for (const Case& c : cases) {
    TextLines l;
    l.setText("a1\nb\ncc");
    l.replaceLine(c.index, c.text);
    EXPECT_EQ(l.lines(), c.expected) << c.index << " " << c.text;
    EXPECT_EQ(l.text().size(), l.lines().size() * 2 + l.lines()[0].size() +
                                   l.lines()[1].size() + l.lines()[2].size());
  }
}

}  // namespace
}  // namespace kursolin
