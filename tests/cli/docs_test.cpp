// The batch converter's options as the manual and the man page describe them: every option the
// help lists is described in both, and every option they name exists.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

#include "cli/cli.h"

namespace {

std::string fileText(const std::string& relative) {
  std::ifstream in(std::string(KURSOLIN_TEST_DATA) + "/../../" + relative, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Long options named in a text; the man page's "\-" counts as "-".
std::set<std::string> longOptions(std::string text) {
  text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
  std::set<std::string> found;
  const std::regex option(R"((^|[^A-Za-z0-9-])(--[a-z][a-z-]*[a-z]))");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), option);
       it != std::sregex_iterator(); ++it) {
    found.insert((*it)[2]);
  }
  return found;
}

TEST(Docs, ManualAndManPageDescribeEveryOptionOfTheHelpAndNoOther) {
  const std::set<std::string> help = longOptions(kursolin::cli::helpText());
  ASSERT_GT(help.size(), 15u);
  // The desktop program's own option, which the manual describes beside them.
  const std::set<std::string> desktop = {"--appdir", "--help"};
  for (const char* doc : {"doc/KSHelp.hlp", "doc/kursolin-cli.1"}) {
    const std::string text = fileText(doc);
    ASSERT_FALSE(text.empty()) << doc;
    const std::set<std::string> named = longOptions(text);
    for (const std::string& o : help) EXPECT_TRUE(named.count(o)) << o << " missing in " << doc;
    for (const std::string& o : named) {
      EXPECT_TRUE(help.count(o) || desktop.count(o)) << doc << " names " << o << ", which no "
                                                     << "program has";
    }
  }
}

}  // namespace
