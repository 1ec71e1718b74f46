#include <gtest/gtest.h>

#include <string>

#include "build_run/build_run.h"
#include "platform/platform.h"
#include "settings/settings.h"

namespace {

const std::string X = EXE_SUFFIX;

}  // namespace

TEST(ExePath, ReplacesOnlyTheLastFourBytes) {
  EXPECT_EQ(Exe_Path("a.cpp"), "a" + X);
  EXPECT_EQ(Exe_Path("A.CPP"), "A" + X);
  EXPECT_EQ(Exe_Path("D:\\src.old\\a.b.CPP"), "D:\\src.old\\a.b" + X);
  EXPECT_EQ(Exe_Path("/home/u/程序 一.Cpp"), "/home/u/程序 一" + X);
}

TEST(ExePath, SourceNamedJustDotCppStillGivesAName) {
  if (X.empty()) {
    EXPECT_EQ(Exe_Path(".cpp"), ".out");
    EXPECT_EQ(Exe_Path("dir/.cpp"), "dir/.out");
    // Not the directory itself nor its parent.
    EXPECT_EQ(Exe_Path("..cpp"), "..out");
    EXPECT_EQ(Exe_Path("dir/...cpp"), "dir/...out");
    EXPECT_EQ(Exe_Path("a..cpp"), "a.");
  } else {
    EXPECT_EQ(Exe_Path(".cpp"), ".exe");
    EXPECT_EQ(Exe_Path("dir\\.cpp"), "dir\\.exe");
  }
}

TEST(CompileCommand, EmptyOptionsLeaveOneBlankBeforeDashG) {
  COM_PATH = "C:\\MinGW\\bin\\g++.exe";
  COM_SETTINGS = "";
  EXPECT_EQ(Compile_Command("a b.cpp", "a b.exe"),
            "cmd /c\"\"C:\\MinGW\\bin\\g++.exe\" -g -o \"a b.exe\" \"a b.cpp\"\"");
}

TEST(CompileCommand, OptionsStandUnquotedBeforeDashG) {
  COM_PATH = "g++";
  COM_SETTINGS = " -O2 -Wall ";
  EXPECT_EQ(Compile_Command("a.cpp", "a"), "cmd /c\"\"g++\"  -O2 -Wall  -g -o \"a\" \"a.cpp\"\"");
  COM_SETTINGS = "";
}

TEST(LaunchCommands, PauserGetsAnEmptyTitleAndTheProgram) {
  CON_PATH = "C:\\Dev\\ConsolePauser.exe";
  EXPECT_EQ(Pauser_Launch_Command("C:\\a b.exe"),
            "start \"\" \"C:\\Dev\\ConsolePauser.exe\" \"C:\\a b.exe\"");
  CON_PATH = "";
  EXPECT_EQ(Pauser_Launch_Command("a.exe"), "start \"\" \"\" \"a.exe\"");
}

TEST(LaunchCommands, DirectLaunchIsTitledWithTheSource) {
  EXPECT_EQ(Direct_Launch_Command("C:\\a b.cpp", "C:\\a b.exe"),
            "start \"C:\\a b.cpp\" \"C:\\a b.exe\"");
}

TEST(CompileCommand, NamesThatTheCompilerWouldReadAsOptionsGoInAsPaths) {
  COM_PATH = "g++";
  COM_SETTINGS = "";
  const std::string dot = std::string(".") + PATH_SEPARATOR;
  EXPECT_EQ(Compile_Command("-o.cpp", "-o" + X),
            "cmd /c\"\"g++\" -g -o \"" + dot + "-o" + X + "\" \"" + dot + "-o.cpp\"\"");
  EXPECT_EQ(Compile_Command("@a.cpp", "@a" + X),
            "cmd /c\"\"g++\" -g -o \"" + dot + "@a" + X + "\" \"" + dot + "@a.cpp\"\"");
  EXPECT_EQ(Compile_Command("x/-a.cpp", "x/-a"), "cmd /c\"\"g++\" -g -o \"x/-a\" \"x/-a.cpp\"\"");
}
