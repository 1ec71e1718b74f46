#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "files/files.h"
#include "platform/file_system.h"
#include "platform/programs.h"
#include "platform/text.h"
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

// What each typed line is, as the checks see it: one row a line.
TEST_F(PathChecks, EachLineGetsItsVerdict) {
  const std::string sep(1, PATH_SEPARATOR);
  const std::pair<std::string, Path_Verdict> rows[] = {
      // Missing, or quoted, or with a blank before it.
      {"", PATH_INVALID},
      {"none.cpp", PATH_INVALID},
      {" a.cpp", PATH_INVALID},
      {"\"a.cpp\"", PATH_INVALID},
      // A directory is not a file, with or without its separator.
      {"dir.cpp", PATH_NOT_FILE},
      {".", PATH_NOT_FILE},
      {"dir.cpp" + sep, PATH_NOT_FILE},
      // Found without its trailing separator, but what follows the last dot
      // is then "cpp/".
      {"a.cpp" + sep, PATH_WRONG_TYPE},
      // The extension is the text after the last dot of the whole line.
      {"noext", PATH_WRONG_TYPE},
      {"a.b/main", PATH_WRONG_TYPE},
      {"trail.", PATH_WRONG_TYPE},
      {"space.cpp ", PATH_WRONG_TYPE},
      // Capitals, a name that is only ".cpp", Chinese, a whole path.
      {"a.cpp", PATH_OK},
      {"X.CPP", PATH_OK},
      {"b.Cpp", PATH_OK},
      {".cpp", PATH_OK},
      {"程序 一.cpp", PATH_OK},
      {scratch_.Path("a.cpp"), PATH_OK}};
  for (const auto& [line, verdict] : rows) EXPECT_EQ(Check(line), verdict) << line;
}

TEST_F(PathChecks, StatusOfLinesAndWhatIsAFile) {
  const std::string sep(1, PATH_SEPARATOR);
  const std::pair<std::string, Path_Kind> rows[] = {
      {"dir.cpp" + sep, PATH_DIRECTORY},
      {"a.cpp" + sep + sep, PATH_FILE},
      // Lines that cannot name a path.
      {std::string("a.cpp\0x", 7), PATH_MISSING},
      {"\xff" "a.cpp", PATH_MISSING},
      {"\xe7\xa8" ".cpp", PATH_MISSING},
      {std::string(100000, 'x'), PATH_MISSING}};
  for (const auto& [line, kind] : rows) EXPECT_EQ(Path_Status(line), kind) << line.substr(0, 20);
  const std::pair<std::string, bool> files[] = {{"a.cpp", true},     {"noext", true},
                                                {"a.cpp" + sep, true}, {"", false},
                                                {"none", false},     {"dir.cpp", false}};
  for (const auto& [line, file] : files) EXPECT_EQ(Isfile(line), file) << line;
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
