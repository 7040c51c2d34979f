// Reading, replacing and copying files, and finding a program on the search path. What the user
// names may be a folder, a link, a device or a file of someone else, and none of it may be lost or
// turned into something else.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "core/cp1252.h"
#include "core/fileio.h"
#include "support/temp_folder.h"

namespace kursolin {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;

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

TEST(ReadFileBytes, RefusesWhatIsNoReadableFileWithAGermanReason) {
  TempFolder folder;
  writeBytes(folder.file("zehn"), "0123456789");
  const struct {
    std::string path;
    std::uint64_t limit;
    const char* reason;  // nullptr: read
  } cases[] = {
      {folder.path(), kMaxInputFileBytes, "ist ein Verzeichnis"},
      {folder.file("fehlt"), kMaxInputFileBytes, "Datei oder Verzeichnis nicht gefunden"},
      {folder.file("zehn/x"), kMaxInputFileBytes, "ein Teil des Pfades ist kein Verzeichnis"},
      {folder.file("zehn"), 10, nullptr},
      {folder.file("zehn"), 9, "Datei gr\xF6\xDF" "er als 0 MiB"},
      // A device has no size to check beforehand; the count of what arrives stops it.
      {"/dev/zero", 3u << 20, "Datei gr\xF6\xDF" "er als 3 MiB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    std::string why;
    const auto bytes = readFileBytes(c.path, &why, c.limit);
    if (!c.reason) {
      ASSERT_TRUE(bytes.has_value()) << why;
      EXPECT_EQ(*bytes, "0123456789");
    } else {
      EXPECT_FALSE(bytes.has_value());
      EXPECT_EQ(why, c.reason);
    }
  }
}

mode_t modeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_mode;
}

TEST(WriteFileAtomic, FollowsLinksAndReplacesTheirTarget) {
  TempFolder folder;
  ::mkdir(folder.file("ziel").c_str(), 0755);
  writeBytes(folder.file("ziel/route.rte"), "alt");
  ASSERT_EQ(::symlink("ziel/route.rte", folder.file("relativ").c_str()), 0);
  ASSERT_EQ(::symlink(folder.file("relativ").c_str(), folder.file("kette").c_str()), 0);
  ASSERT_EQ(::symlink("neu.rte", folder.file("ziel/haengend").c_str()), 0);

  ASSERT_TRUE(writeFileAtomic(folder.file("kette"), "neu"));
  EXPECT_EQ(readBytes(folder.file("ziel/route.rte")), "neu");
  for (const char* link : {"kette", "relativ"}) {
    struct stat st {};
    ASSERT_EQ(::lstat(folder.file(link).c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << link << " is still a link";
  }

  // A link to a file not yet there creates that file, beside the link.
  ASSERT_TRUE(writeFileAtomic(folder.file("ziel/haengend"), "erst"));
  EXPECT_EQ(readBytes(folder.file("ziel/neu.rte")), "erst");

  ASSERT_EQ(::symlink("schleife", folder.file("schleife").c_str()), 0);
  std::string why;
  EXPECT_FALSE(writeFileAtomic(folder.file("schleife"), "x", &why));
  EXPECT_EQ(why, "zu viele symbolische Verkn\xFCpfungen");
  EXPECT_EQ(folder.entries(), (std::set<std::string>{"ziel", "relativ", "kette", "schleife"}));
  std::set<std::string> inZiel;
  for (auto& e : std::filesystem::directory_iterator(folder.file("ziel")))
    inZiel.insert(e.path().filename().string());
  EXPECT_EQ(inZiel, (std::set<std::string>{"route.rte", "haengend", "neu.rte"}));
}

TEST(WriteFileAtomic, KeepsModeAndOwnerOfTheReplacedFile) {
  TempFolder folder;
  const std::string path = folder.file("route.itn");
  writeBytes(path, "alt");
  ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
  }
  ASSERT_TRUE(writeFileAtomic(path, "neu"));
  EXPECT_EQ(readBytes(path), "neu");
  EXPECT_EQ(modeOf(path) & 07777, 0604u);
  if (root) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
  }
}

TEST(WriteFileAtomic, DevicesAndPipesAreWrittenInPlace) {
  TempFolder folder;
  std::string why;
  EXPECT_FALSE(writeFileAtomic("/dev/full", "route", &why));
  EXPECT_EQ(why, "kein Platz mehr auf dem Datentr\xE4ger");
  EXPECT_TRUE(S_ISCHR(modeOf("/dev/full")));
  EXPECT_TRUE(writeFileAtomic("/dev/null", "route", &why)) << why;
  EXPECT_TRUE(S_ISCHR(modeOf("/dev/null")));

  const std::string fifo = folder.file("rohr");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  // Without a reader the write is refused at once instead of waiting for one.
  EXPECT_FALSE(writeFileAtomic(fifo, "route", &why));
  EXPECT_EQ(why, "kein Leser an der Gegenstelle");
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_TRUE(writeFileAtomic(fifo, "route", &why)) << why;
  char buf[16] = {};
  EXPECT_EQ(::read(reader, buf, sizeof buf), 5);
  EXPECT_EQ(std::string(buf), "route");
  ::close(reader);
  EXPECT_TRUE(S_ISFIFO(modeOf(fifo)));
  EXPECT_EQ(folder.entries(), std::set<std::string>{"rohr"}) << "no temporary file left";
}

TEST(WriteFileAtomic, NamesUpToTheLengthLimitAndNoTemporaryLeftOnFailure) {
  TempFolder folder;
  for (std::size_t length : {240u, 250u, 255u}) {
    const std::string name = std::string(length - 4, 'r') + ".rte";
    ASSERT_TRUE(writeFileAtomic(folder.file(name), "neu")) << length;
    ASSERT_TRUE(writeFileAtomic(folder.file(name), "neuer")) << length;
    EXPECT_EQ(readBytes(folder.file(name)), "neuer");
  }
  EXPECT_EQ(folder.entries().size(), 3u);
  std::string why;
  EXPECT_FALSE(writeFileAtomic(folder.file(std::string(256, 'r')), "x", &why));
  EXPECT_EQ(why, "Dateiname zu lang");
  EXPECT_FALSE(writeFileAtomic(folder.path(), "x", &why));
  EXPECT_EQ(why, "ist ein Verzeichnis");
  EXPECT_EQ(folder.entries().size(), 3u);
}

TEST(DecodeTextFile, ByteOrderMarksAreDecodedOtherTextIsCp1252Already) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"Z\xFCrich", "Z\xFCrich"},
      {"", ""},
      {"\xEF\xBB\xBF", ""},
      {"\xEF\xBB\xBFZ\xC3\xBCrich \xE2\x82\xAC", "Z\xFCrich \x80"},
      {std::string("\xFF\xFE" "A\0\xFC\0\xAC\x20\x92\x21", 10), "A\xFC\x80?"},
      {std::string("\xFE\xFF\0A\0\xFC\x20\xAC", 8), "A\xFC\x80"},
      {std::string("\xFF\xFE" "A\0\x3D\xD8\xB2\xDE" "B", 9), "A??"},  // surrogate pair, odd byte
      {std::string("\xFF\xFE\x00\xD8" "A\0", 6), "?A"},  // lone surrogate
      {std::string("\xFF\xFE" "A\0\0\0B\0", 8), std::string("A\0B", 3)},
  };
  for (const auto& c : cases) EXPECT_EQ(decodeTextFile(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace kursolin
