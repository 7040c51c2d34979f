// The desktop entry offers the program for the files of every format it reads.
#include <gtest/gtest.h>

#include <algorithm>

#include "cli/desktop_entry.h"
#include "formats/registry.h"
#include "workflow/presentation.h"

namespace kursolin {
namespace {

TEST(DesktopEntry, NamesTheTypesOfEveryFormatThisVersionReads) {
  const std::vector<std::string> types = cli::openedMimeTypes();
  for (const InputFormatInfo& f : inputFormats()) {
    if (!f.available()) continue;
    const InputPresentation& p = *inputPresentation(f.code);
    EXPECT_FALSE(p.mimeTypes.empty()) << "code " << f.code << " gives the desktop no type";
    for (const std::string& t : p.mimeTypes) {
      EXPECT_EQ(std::count(types.begin(), types.end(), t), 1) << t;
    }
  }
  const std::string entry = cli::desktopEntry();
  std::string line = "\nMimeType=";
  for (const std::string& t : types) line += t + ";";
  EXPECT_NE(entry.find(line + "\n"), std::string::npos) << entry;
  // NMEA logs come as ".txt" and ".log" files.
  EXPECT_NE(line.find("text/plain;"), std::string::npos);
  EXPECT_NE(line.find("text/x-log;"), std::string::npos);
}

}  // namespace
}  // namespace kursolin
