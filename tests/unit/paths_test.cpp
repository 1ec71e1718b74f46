#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "files/files.h"
#include "platform/platform.h"
#include "unit/scratch.h"

namespace {

class PathChecks : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_.Write("a.cpp", "");
    scratch_.Write("X.CPP", "");
    scratch_.Write("b.Cpp", "");
    scratch_.Write(".cpp", "");
    scratch_.Write("noext", "");
    scratch_.Write("trail.", "");
    scratch_.Write("space.cpp ", "");
    scratch_.Write("程序 一.cpp", "");
    scratch_.Mkdir("dir.cpp");
    scratch_.Mkdir("a.b");
    scratch_.Write("a.b/main", "");
  }
  Path_Verdict Check(const std::string& line, const std::string& wh = "cpp") {
    return Check_File_Path(line, wh);
  }
  Scratch scratch_;
  Cwd_Guard cwd_{scratch_.Dir()};
};

}  // namespace

TEST_F(PathChecks, MissingPathsAreInvalid) {
  EXPECT_EQ(Check(""), PATH_INVALID);
  EXPECT_EQ(Check("none.cpp"), PATH_INVALID);
  EXPECT_EQ(Check(" a.cpp"), PATH_INVALID);
  EXPECT_EQ(Check("\"a.cpp\""), PATH_INVALID);
}

TEST_F(PathChecks, DirectoryIsNotAFile) {
  EXPECT_EQ(Check("dir.cpp"), PATH_NOT_FILE);
  EXPECT_EQ(Check("."), PATH_NOT_FILE);
}

TEST_F(PathChecks, PathIsLookedUpWithoutItsTrailingSeparator) {
  const std::string sep(1, PATH_SEPARATOR);
  EXPECT_EQ(Path_Status("dir.cpp" + sep), PATH_DIRECTORY);
  EXPECT_EQ(Path_Status("a.cpp" + sep + sep), PATH_FILE);
  EXPECT_TRUE(Isfile("a.cpp" + sep));
  // Found, but what follows the last dot is "cpp/".
  EXPECT_EQ(Check("a.cpp" + sep), PATH_WRONG_TYPE);
  EXPECT_EQ(Check("dir.cpp" + sep), PATH_NOT_FILE);
}

TEST_F(PathChecks, ExtensionIsTheTextAfterTheLastDotOfTheWholeLine) {
  EXPECT_EQ(Check("noext"), PATH_WRONG_TYPE);
  EXPECT_EQ(Check("a.b/main"), PATH_WRONG_TYPE);
  EXPECT_EQ(Check("trail."), PATH_WRONG_TYPE);
  EXPECT_EQ(Check("space.cpp "), PATH_WRONG_TYPE);
}

TEST_F(PathChecks, CapitalsAndWholeNameDotCppAreAccepted) {
  EXPECT_EQ(Check("a.cpp"), PATH_OK);
  EXPECT_EQ(Check("X.CPP"), PATH_OK);
  EXPECT_EQ(Check("b.Cpp"), PATH_OK);
  EXPECT_EQ(Check(".cpp"), PATH_OK);
  EXPECT_EQ(Check("程序 一.cpp"), PATH_OK);
  EXPECT_EQ(Check(scratch_.Path("a.cpp")), PATH_OK);
}

TEST_F(PathChecks, LinesThatCannotNameAPathAreMissing) {
  EXPECT_EQ(Path_Status(std::string("a.cpp\0x", 7)), PATH_MISSING);
  EXPECT_EQ(Path_Status("\xff" "a.cpp"), PATH_MISSING);
  EXPECT_EQ(Path_Status("\xe7\xa8" ".cpp"), PATH_MISSING);
  EXPECT_EQ(Path_Status(std::string(100000, 'x')), PATH_MISSING);
}

TEST_F(PathChecks, IsfileOnlyForRegularFiles) {
  EXPECT_TRUE(Isfile("a.cpp"));
  EXPECT_TRUE(Isfile("noext"));
  EXPECT_FALSE(Isfile(""));
  EXPECT_FALSE(Isfile("none"));
  EXPECT_FALSE(Isfile("dir.cpp"));
}

TEST_F(PathChecks, ProgramsAreRecognisedByTheirPlatformsRule) {
  scratch_.Write("tool.exe", "");
  scratch_.Write("tool", "");
  namespace fs = std::filesystem;
  fs::permissions("tool", fs::perms::owner_exec, fs::perm_options::add);
  if (EXE_SUFFIX[0] == '\0') {
    EXPECT_EQ(Check("tool", "exe"), PATH_OK);
    EXPECT_EQ(Check("tool.exe", "exe"), PATH_WRONG_TYPE);
  } else {
    EXPECT_EQ(Check("tool.exe", "exe"), PATH_OK);
    EXPECT_EQ(Check("tool", "exe"), PATH_WRONG_TYPE);
  }
  EXPECT_EQ(Check("dir.cpp", "exe"), PATH_NOT_FILE);
  EXPECT_EQ(Check("tool.none", "exe"), PATH_INVALID);
}

TEST(Change, WrapsInOnePairOfQuotesAndEscapesNothing) {
  EXPECT_EQ(Change(""), "\"\"");
  EXPECT_EQ(Change("C:\\Program Files\\a b.cpp"), "\"C:\\Program Files\\a b.cpp\"");
  EXPECT_EQ(Change("a\"b"), "\"a\"b\"");
}

TEST(CanOpenForWriting, RunningProgramCannotButAnOrdinaryFileCan) {
  Scratch scratch;
  scratch.Write("plain.txt", "x");
  EXPECT_TRUE(Can_Open_For_Writing(scratch.Path("plain.txt")));
  EXPECT_FALSE(Can_Open_For_Writing(scratch.Path("missing.txt")));
  EXPECT_FALSE(Can_Open_For_Writing(Own_Program_Path()));
}
