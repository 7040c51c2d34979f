#include "settings/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "support/hosts.h"
#include "support/temp_folder.h"

namespace kursolin {
namespace {

using test::TempFolder;

Profile withValue(const std::string& rawLine) {
  return Profile::fromBytes("[S]\r\n" + rawLine + "\r\n");
}

// --- Reading ---------------------------------------------------------------------------------

TEST(ProfileRead, SectionAndKeyNamesIgnoreAsciiCase) {
  const Profile p = Profile::fromBytes("[nAvI]\r\nmpmn=5\r\n[ Setup ]\r\nDIM=7\r\n");
  EXPECT_EQ(p.readInt("Navi", "MpMN", 0), 5);
  EXPECT_EQ(p.readInt("NAVI", "mpMN", 0), 5);
  EXPECT_EQ(p.readInt("setup", "DiM", 0), 7);
  // Case folding is ASCII only: bytes above 0x7F must match exactly.
  const Profile q = Profile::fromBytes("[\xC4]\r\nk=1\r\n");
  EXPECT_EQ(q.readInt("\xC4", "K", 0), 1);
  EXPECT_EQ(q.readInt("\xE4", "k", 0), 0);
}

struct TextCase {
  const char* line;
  const char* expected;
  friend std::ostream& operator<<(std::ostream& o, const TextCase& c) {
    return o << ::testing::PrintToString(std::string(c.line));
  }
};

class ProfileText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ProfileText, ValueIsTrimmedAndLosesOnePairOfQuotes) {
  EXPECT_EQ(withValue(GetParam().line).readString("S", "k", "DEF"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, ProfileText,
                         ::testing::Values(TextCase{"k=abc", "abc"}, TextCase{"k =  abc  ", "abc"},
                                           TextCase{"  k\t=\tabc def\t", "abc def"},
                                           TextCase{"k=\"abc\"", "abc"}, TextCase{"k='abc'", "abc"},
                                           TextCase{"k=\" a \"", " a "},
                                           TextCase{"k=\"\"x\"\"", "\"x\""},
                                           TextCase{"k=\"abc'", "\"abc'"}, TextCase{"k=\"", "\""},
                                           TextCase{"k=\"\"", ""}, TextCase{"k=", ""},
                                           TextCase{"k=   ", ""}, TextCase{"k=a=b", "a=b"},
                                           TextCase{"k=; not a comment", "; not a comment"},
                                           TextCase{"k=\xB0\xB4\xE4", "\xB0\xB4\xE4"}));

TEST(ProfileRead, EmptyValueIsNotTheDefault) {
  const Profile p = Profile::fromBytes("[S]\r\nempty=\r\n");
  EXPECT_EQ(p.readString("S", "empty", "DEF"), "");
  EXPECT_EQ(p.readString("S", "missing", "DEF"), "DEF");
  EXPECT_EQ(p.readString("Other", "empty", "DEF"), "DEF");
  // An empty text is no whole number, so number keys still fall back.
  EXPECT_EQ(p.readInt("S", "empty", 42), 42);
}

TEST(ProfileRead, ValueTextIsCutAt2047Characters) {
  const std::string longValue(3000, 'a');
  EXPECT_EQ(withValue("k=" + longValue).readString("S", "k", ""), std::string(2047, 'a'));
  const std::string exact(2047, 'b');
  EXPECT_EQ(withValue("k=\"" + exact + "\"").readString("S", "k", ""), exact);
  EXPECT_EQ(withValue("k=" + std::string(2048, 'c')).readString("S", "k", "").size(), 2047u);
}

struct IntCase {
  const char* text;
  int expected;  // with default -99
  friend std::ostream& operator<<(std::ostream& o, const IntCase& c) {
    return o << ::testing::PrintToString(std::string(c.text));
  }
};

class ProfileInt : public ::testing::TestWithParam<IntCase> {};

TEST_P(ProfileInt, ReadsWholeNumbersAndHexOrGivesTheDefault) {
  EXPECT_EQ(withValue(std::string("k=") + GetParam().text).readInt("S", "k", -99),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ProfileInt,
    ::testing::Values(IntCase{"10", 10}, IntCase{"-5", -5}, IntCase{"+7", 7}, IntCase{"010", 10},
                      IntCase{" 12 ", 12}, IntCase{"\"15\"", 15}, IntCase{"0x1F", 31},
                      IntCase{"0X1f", 31}, IntCase{"0x0", 0}, IntCase{"0x7FFFFFFF", INT_MAX},
                      IntCase{"0x80000000", -99}, IntCase{"0x", -99}, IntCase{"0xZZ", -99},
                      IntCase{"0x1G", -99}, IntCase{"-0x10", -99}, IntCase{"12abc", -99},
                      IntCase{"abc", -99}, IntCase{"1.5", -99}, IntCase{"1,5", -99},
                      IntCase{"- 5", -99}, IntCase{"2147483647", INT_MAX},
                      IntCase{"-2147483648", INT_MIN}, IntCase{"2147483648", -99},
                      IntCase{"99999999999999999999", -99}, IntCase{"", -99}));

TEST(ProfileRead, BooleansAreIntegersWithAnyNonZeroTrue) {
  struct Case {
    const char* text;
    bool whenDefaultFalse, whenDefaultTrue;
  };
  const Case cases[] = {{"1", true, true},     {"0", false, false},   {"2", true, true},
                        {"-1", true, true},    {"0x0", false, false}, {"0x10", true, true},
                        {"true", false, true}, {"ja", false, true},   {"", false, true},
                        {"false", false, true}};
  for (const Case& c : cases) {
    const Profile p = withValue(std::string("b=") + c.text);
    EXPECT_EQ(p.readBool("S", "b", false), c.whenDefaultFalse) << c.text;
    EXPECT_EQ(p.readBool("S", "b", true), c.whenDefaultTrue) << c.text;
  }
  EXPECT_TRUE(Profile().readBool("S", "b", true));
  EXPECT_FALSE(Profile().readBool("S", "b", false));
}

TEST(ProfileRead, CommentsLinesWithoutEqualsAndKeysOutsideSectionsAreNoKeys) {
  const Profile p = Profile::fromBytes(
      "early=1\r\n[S]\r\n;k=1\r\n  ; j=2\r\nloose line\r\n=3\r\n[broken\r\nafter=4\r\n");
  EXPECT_EQ(p.readInt("S", ";k", 0), 0);
  EXPECT_EQ(p.readInt("S", "k", 0), 0);
  EXPECT_EQ(p.readInt("S", "j", 0), 0);
  EXPECT_EQ(p.readString("S", "loose line", "DEF"), "DEF");
  EXPECT_EQ(p.readInt("", "early", 0), 0);
  EXPECT_EQ(p.readString("S", "", "DEF"), "DEF");
  // A line that opens no section leaves the keys after it in the section before.
  EXPECT_EQ(p.readInt("S", "after", 0), 4);
}

TEST(ProfileRead, FirstSectionAndFirstKeyWin) {
  const Profile p = Profile::fromBytes("[S]\r\nk=1\r\nK=2\r\n[T]\r\n[s]\r\nk=3\r\nonly=4\r\n");
  EXPECT_EQ(p.readInt("S", "k", 0), 1);
  EXPECT_EQ(p.readInt("S", "only", 0), 0);
}

TEST(ProfileRead, AnyLineEndAndAByteOrderMarkAreAccepted) {
  const Profile p = Profile::fromBytes("\xEF\xBB\xBF[A]\na=1\r[B]\r\nb=2\n\n[C]\rc=3");
  EXPECT_EQ(p.readInt("A", "a", 0), 1);
  EXPECT_EQ(p.readInt("B", "b", 0), 2);
  EXPECT_EQ(p.readInt("C", "c", 0), 3);
}

class ProfileFloat : public test::HostTest {};

TEST_P(ProfileFloat, ReadsOnlyTheHostNotation) {
  const Profile p = Profile::fromBytes(
      "[S]\r\nown=" + h("1.5") + "\r\nother=" + std::string(1, sep() == ',' ? '.' : ',') +
      "5\r\nint=7\r\nword=schnell\r\nneg=" + h("-0.25") + "\r\nquoted=\"" + h("2.5") + "\"\r\n");
  EXPECT_EQ(p.readFloat("S", "own", 9, sep()), 1.5L);
  EXPECT_EQ(p.readFloat("S", "other", 9, sep()), 9.0L);
  EXPECT_EQ(p.readFloat("S", "int", 9, sep()), 7.0L);
  EXPECT_EQ(p.readFloat("S", "word", 9, sep()), 9.0L);
  EXPECT_EQ(p.readFloat("S", "neg", 9, sep()), -0.25L);
  EXPECT_EQ(p.readFloat("S", "quoted", 9, sep()), 2.5L);
  EXPECT_EQ(p.readFloat("S", "missing", 9, sep()), 9.0L);
}

TEST_P(ProfileFloat, WritesTheShortestGeneralForm) {
  Profile p;
  p.writeFloat("S", "a", 1.5L, sep());
  p.writeFloat("S", "b", 7.0L, sep());
  p.writeFloat("S", "c", 0.125L, sep());
  EXPECT_EQ(p.bytes(), "[S]\r\na=" + h("1.5") + "\r\nb=7\r\nc=" + h("0.125") + "\r\n");
}

KURSOLIN_ON_BOTH_HOSTS(ProfileFloat);

// --- Writing ---------------------------------------------------------------------------------

TEST(ProfileWrite, NewFileGetsSectionsAndCrLfLines) {
  Profile p;
  p.writeString("A", "x", "1");
  p.writeInt("B", "y", -12);
  p.writeBool("A", "z", true);
  p.writeBool("B", "w", false);
  EXPECT_EQ(p.bytes(), "[A]\r\nx=1\r\nz=1\r\n[B]\r\ny=-12\r\nw=0\r\n");
}

TEST(ProfileWrite, ReplacesInPlaceKeepingSpellingSpacingAndLineEnd) {
  Profile p = Profile::fromBytes("[s]\n  Key = old value\n  KEY=second\n[T]\r\n");
  p.writeString("S", "key", "new");
  EXPECT_EQ(p.bytes(), "[s]\n  Key = new\n  KEY=second\n[T]\r\n");
}

TEST(ProfileWrite, LeavesALineThatAlreadyReadsAsTheValue) {
  const std::string text = "[S]\r\nq=\"413\"\r\nsp =  7  \r\nblank= \r\nhex=0x10\r\n";
  Profile p = Profile::fromBytes(text);
  p.writeString("S", "q", "413");
  p.writeInt("S", "sp", 7);
  p.writeString("S", "blank", " ");
  EXPECT_EQ(p.bytes(), text);
  // Same number, other spelling: the close writes decimal digits.
  p.writeInt("S", "hex", 16);
  EXPECT_EQ(p.bytes(), "[S]\r\nq=\"413\"\r\nsp =  7  \r\nblank= \r\nhex=16\r\n");
}

TEST(ProfileWrite, AppendsAfterTheLastNonBlankLineOfItsSection) {
  Profile p = Profile::fromBytes("[A]\na=1\n; note\n\n  \n[B]\r\nb=2\r\n");
  p.writeString("A", "new", "x");
  p.writeString("A", "next", "y");
  EXPECT_EQ(p.bytes(), "[A]\na=1\n; note\nnew=x\r\nnext=y\r\n\n  \n[B]\r\nb=2\r\n");
}

TEST(ProfileWrite, AppendsToAnEmptySectionAndAtTheEndOfTheFile) {
  Profile p = Profile::fromBytes("[A]\r\n[B]\r\nb=2");
  p.writeString("A", "a", "1");
  p.writeString("B", "c", "3");
  p.writeString("C", "d", "4");
  EXPECT_EQ(p.bytes(), "[A]\r\na=1\r\n[B]\r\nb=2\r\nc=3\r\n[C]\r\nd=4\r\n");

  Profile q = Profile::fromBytes("; only a comment");
  q.writeString("N", "k", "v");
  EXPECT_EQ(q.bytes(), "; only a comment\r\n[N]\r\nk=v\r\n");
}

TEST(ProfileWrite, LineBreaksInAValueCannotForgeLines) {
  Profile p;
  p.writeString("S", "k", "a\r\n[Debug]\nShowError=1");
  EXPECT_EQ(p.bytes(), "[S]\r\nk=a[Debug]ShowError=1\r\n");
  EXPECT_EQ(p.readString("Debug", "ShowError", "none"), "none");
}

TEST(ProfileWrite, UntouchedBytesSurviveExactly) {
  const std::string text =
      "\xEF\xBB\xBF; Kommentar \xE4\xF6\xFC\r\n[X]\nodd  =  spacing  \r\r\n\t\n[Y]\rk=v";
  EXPECT_EQ(Profile::fromBytes(text).bytes(), text);
  Profile p = Profile::fromBytes(text);
  p.writeString("Y", "k", "v");  // same value: nothing changes, not even the missing line end
  EXPECT_EQ(p.bytes(), text);
}

// --- Files -----------------------------------------------------------------------------------

TEST(ProfileFile, MissingFileIsAnEmptyProfile) {
  TempFolder dir;
  Profile p = Profile::fromBytes("[S]\r\nk=1\r\n");
  EXPECT_EQ(Profile::readFile(dir.file("nope.ini"), p), ProfileReadStatus::Missing);
  EXPECT_EQ(p.bytes(), "");
  EXPECT_EQ(Profile::readFile(dir.file("no/such/folder.ini"), p), ProfileReadStatus::Missing);
}

TEST(ProfileFile, AFolderIsUnreadable) {
  TempFolder dir;
  std::filesystem::create_directory(dir.file("sub.ini"));
  Profile p;
  std::string error;
  EXPECT_EQ(Profile::readFile(dir.file("sub.ini"), p, &error), ProfileReadStatus::Unreadable);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(p.bytes(), "");
}

TEST(ProfileFile, WriteReplacesTheFileAndKeepsItsPermissions) {
  TempFolder dir;
  const std::string path = dir.file("a.ini");
  test::writeBytes(path, "[S]\nold=1\n");
  ::chmod(path.c_str(), 0640);
  Profile p;
  ASSERT_EQ(Profile::readFile(path, p), ProfileReadStatus::Read);
  p.writeString("S", "new", "\xFC");
  std::string error;
  ASSERT_TRUE(p.writeFile(path, &error)) << error;
  EXPECT_EQ(test::readBytes(path), "[S]\nold=1\nnew=\xFC\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(dir.entries(), std::set<std::string>{"a.ini"});
}

TEST(ProfileFile, WriteThroughALinkReplacesTheLinkedFile) {
  TempFolder dir;
  std::filesystem::create_directory(dir.file("real"));
  test::writeBytes(dir.file("real/k.ini"), "[S]\r\n");
  std::filesystem::create_symlink(dir.file("real/k.ini"), dir.file("link.ini"));
  Profile p = Profile::fromBytes("[S]\r\nk=1\r\n");
  ASSERT_TRUE(p.writeFile(dir.file("link.ini")));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.ini")));
  EXPECT_EQ(test::readBytes(dir.file("real/k.ini")), "[S]\r\nk=1\r\n");
}

TEST(ProfileFile, FailedRenameLeavesNoTemporaryFileBehind) {
  TempFolder dir;
  // A folder in the file's place: the temporary file is written, the rename fails.
  std::filesystem::create_directory(dir.file("x.ini"));
  test::writeBytes(dir.file("x.ini/inside"), "keep");
  Profile p = Profile::fromBytes("[S]\r\nk=1\r\n");
  std::string error;
  EXPECT_FALSE(p.writeFile(dir.file("x.ini"), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(dir.entries(), std::set<std::string>{"x.ini"});
  EXPECT_EQ(test::readBytes(dir.file("x.ini/inside")), "keep");
}

}  // namespace
}  // namespace kursolin
