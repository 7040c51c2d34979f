// Copying a file whole or not at all, and finding a program on the search path.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "core/fileio.h"
#include "support/temp_folder.h"

namespace kursolin {
namespace {

TEST(FileCopy, CopiesEveryByteAndReplacesTheWholeTarget) {
  test::TempFolder f;
  const std::string bytes = std::string("A\r\nB\0\xB0\xB4\r", 8);
  test::writeBytes(f.file("src"), bytes);
  test::writeBytes(f.file("dst"), std::string(100, 'x'));  // longer than the source
  EXPECT_TRUE(FileCopy(f.file("src"), f.file("dst")));
  EXPECT_EQ(test::readBytes(f.file("dst")), bytes);
  EXPECT_TRUE(FileCopy(f.file("src"), f.file("new")));
  EXPECT_EQ(test::readBytes(f.file("new")), bytes);
  EXPECT_EQ(f.entries(), (std::set<std::string>{"src", "dst", "new"}));
}

TEST(FileCopy, AnUnwritableTargetIsFalseAndLeavesNothing) {
  test::TempFolder f;
  test::writeBytes(f.file("src"), "data");
  EXPECT_FALSE(FileCopy(f.file("src"), f.file("missing/dst")));
  ::mkdir(f.file("dir").c_str(), 0755);
  EXPECT_FALSE(FileCopy(f.file("src"), f.file("dir")));
  EXPECT_EQ(f.entries(), (std::set<std::string>{"src", "dir"}));
}

TEST(FileCopy, AnUnopenableSourceIsAnErrorForTheCaller) {
  test::TempFolder f;
  ::mkdir(f.file("dir").c_str(), 0755);
  for (const std::string& source : {f.file("absent"), f.file("dir")}) {
    try {
      FileCopy(source, f.file("dst"));
      ADD_FAILURE() << source << " was copied";
    } catch (const FileOpenError& e) {
      EXPECT_EQ(std::string(e.what()), "Datei " + source +
                                           " kann nicht ge\xF6"
                                           "ffnet werden");
    }
  }
  EXPECT_EQ(f.entries(), std::set<std::string>{"dir"});
}

TEST(FindOnPath, FirstExecutableFileInSearchOrder) {
  test::TempFolder a, b, c;
  test::writeBytes(a.file("tool"), "");   // not executable
  ::mkdir(b.file("tool").c_str(), 0755);  // a folder
  test::writeBytes(c.file("tool"), "");
  ::chmod(c.file("tool").c_str(), 0755);
  const std::string all = a.path() + ":" + b.path() + "::" + c.path() + "/";
  EXPECT_EQ(findOnPath("tool", all), c.file("tool"));
  EXPECT_FALSE(findOnPath("tool", a.path() + ":" + b.path()));
  EXPECT_FALSE(findOnPath("tool", ""));
  EXPECT_FALSE(findOnPath("other", all));
}

TEST(PrivateFolder, OnlyItsOwnerCanEnterItAndItGoesWithItsFiles) {
  test::TempFolder tmp;
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  ::setenv("TMPDIR", tmp.path().c_str(), 1);
  const auto folder = makePrivateFolder();
  if (old) {
    ::setenv("TMPDIR", saved.c_str(), 1);
  } else {
    ::unsetenv("TMPDIR");
  }
  ASSERT_TRUE(folder);
  EXPECT_EQ(folderOf(*folder).rfind(tmp.dir(), 0), 0u);
  struct stat st {};
  ASSERT_EQ(::stat(folder->c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  test::writeBytes(*folder + "a", "1");
  removeFolder(*folder);
  EXPECT_TRUE(tmp.entries().empty());
}

}  // namespace
}  // namespace kursolin
