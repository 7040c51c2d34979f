// The find button's search: the selected time of a route point found in the loaded file.
#include <gtest/gtest.h>

#include "workflow/search.h"

namespace kursolin {
namespace {

class Search : public ::testing::Test {
 protected:
  void input(std::vector<std::string> lines) { doc.InputLines.assign(std::move(lines)); }
  Document doc;
};

TEST_F(Search, SearchTextDropsEveryColon) {
  EXPECT_EQ(nmeaSearchText("12:34:56"), "123456");
  EXPECT_EQ(nmeaSearchText(":1:2:"), "12");
  EXPECT_EQ(nmeaSearchText("::"), "");
  EXPECT_EQ(nmeaSearchText("12.5"), "12.5");
}

struct SearchCase {
  const char* name;
  std::vector<std::string> lines;
  std::string selection;
  int line;
  long long column, offset, length;
};

void PrintTo(const SearchCase& c, std::ostream* os) {
  *os << c.name;
}

class SearchFinds : public Search, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(SearchFinds, FirstOccurrenceWithCrLfOffsets) {
  const SearchCase& c = GetParam();
  input(c.lines);
  const auto m = GetNMEATime(doc, c.selection);
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->line, c.line);
  EXPECT_EQ(m->column, c.column);
  EXPECT_EQ(m->offset, c.offset);
  EXPECT_EQ(m->length, c.length);
}

const std::vector<std::string> kLog = {
    "$GPGGA,123455.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*47",
    "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48",
    "$GPGGA,123456.00,4807.0400,N,01131.0100,E,1,08,0.9,545.4,M,46.9,M,,*47",
    "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48",
};

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchFinds,
    ::testing::Values(
        // Third line: two lines of 70 and 41 characters, each followed by CR LF, then column 7.
        SearchCase{"TimeInThirdLine", kLog, "12:34:56", 2, 7, 70 + 2 + 41 + 2 + 7, 6},
        SearchCase{"FirstLine", kLog, "12:34:55", 0, 7, 7, 6},
        // Digits that an earlier record carries by chance win, whatever kind of record it is.
        SearchCase{"EarlierNonGgaRecord",
                   {"$GPRMC,000000.00,A,4807.0400,N,01131.0100,E,0.0,0.0,123456,,*00",
                    "$GPGGA,123456.00,4807.0400,N"},
                   "12:34:56",
                   0,
                   52,
                   52,
                   6},
        SearchCase{"EmptyLinesCountTheirBreak", {"", "", "x123456"}, "123456", 2, 1, 2 + 2 + 1, 6},
        SearchCase{"WithoutColons", kLog, "4807.04", 2, 17, 70 + 2 + 41 + 2 + 17, 7}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Search, NothingFoundForEmptyOrAbsentText) {
  input(kLog);
  EXPECT_FALSE(GetNMEATime(doc, ""));
  EXPECT_FALSE(GetNMEATime(doc, ":"));
  EXPECT_FALSE(GetNMEATime(doc, "23:59:59"));
  input({});
  EXPECT_FALSE(GetNMEATime(doc, "12:34:56"));
}

TEST_F(Search, LongLinesAreSearchedBeyondTheReadLimit) {
  std::string longLine(TextLines::kMaxLineRead + 10, 'a');
  longLine += "123456";
  input({longLine});
  const auto m = GetNMEATime(doc, "12:34:56");
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->column, static_cast<long long>(TextLines::kMaxLineRead + 10));
}

}  // namespace
}  // namespace kursolin
