#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "build_run/build_run.h"
#include "platform/file_system.h"
#include "platform/programs.h"
#include "platform/text.h"
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

namespace {

using Args = std::vector<std::string>;

// What the compiler finds in its argv when the interpreter has run the
// compile line: "cmd /c" and the outer quotes gone, then the line split as
// a Windows program splits its own.
Args Compiler_View(const std::string& line) {
  EXPECT_EQ(line.compare(0, 7, "cmd /c\""), 0) << line;
  EXPECT_EQ(line.back(), '"') << line;
  return Split_Arguments(line.substr(7, line.size() - 8));
}

}  // namespace

// The line that Windows runs and the words that POSIX runs mean the same
// arguments: the paths whole, the options split, -g -o, program, source.
TEST(CompileCommand, TheLineAndTheWordsGiveTheCompilerTheSameArguments) {
  const std::string dot = std::string(".") + PATH_SEPARATOR;
  const struct {
    std::string compiler, options, source, program;
    Args expected;
  } rows[] = {
      {"C:\\MinGW\\bin\\g++.exe", "", "a b.cpp", "a b.exe",
       {"C:\\MinGW\\bin\\g++.exe", "-g", "-o", "a b.exe", "a b.cpp"}},
      {"g++", " -O2  -Wall ", "a.cpp", "a", {"g++", "-O2", "-Wall", "-g", "-o", "a", "a.cpp"}},
      {"g++", "-DNAME=\"a b\" -I\"C:\\My Dir\"", "a.cpp", "a",
       {"g++", "-DNAME=a b", "-IC:\\My Dir", "-g", "-o", "a", "a.cpp"}},
      {"/opt/my tools/g++", "", "-o.cpp", "-o", {"/opt/my tools/g++", "-g", "-o", dot + "-o", dot + "-o.cpp"}},
      {"g++", "", "@a.cpp", "@a", {"g++", "-g", "-o", dot + "@a", dot + "@a.cpp"}},
      {"g++", "", "x/-a.cpp", "x/-a", {"g++", "-g", "-o", "x/-a", "x/-a.cpp"}},
      {"D:\\编译器\\g++.exe", "-std=c++20", "程序 一.cpp", "程序 一.exe",
       {"D:\\编译器\\g++.exe", "-std=c++20", "-g", "-o", "程序 一.exe", "程序 一.cpp"}}};
  for (const auto& r : rows) {
    COM_PATH = r.compiler;
    COM_SETTINGS = r.options;
    std::string line;
    Args words;
    Compile_Command(r.source, r.program, line, words);
    EXPECT_EQ(Compiler_View(line), r.expected) << line;
    EXPECT_EQ(words, r.expected) << line;
  }
  COM_PATH = COM_SETTINGS = "";
}

// With no options, the compiler's quoted path and -g stand one blank apart.
TEST(CompileCommand, EmptyOptionsLeaveOneBlankBeforeDashG) {
  COM_PATH = "g++";
  COM_SETTINGS = "";
  std::string line;
  Args words;
  Compile_Command("a.cpp", "a", line, words);
  EXPECT_NE(line.find("\"g++\" -g -o"), std::string::npos);
  COM_PATH = "";
}

// The start line's quoted words are the title, the program and its
// argument, and they are the words that POSIX runs.
TEST(LaunchCommands, TitleProgramAndArgumentAreTheQuotedWords) {
  const struct {
    std::string pauser, source, program;
    Args expected;
  } rows[] = {{"C:\\Dev\\ConsolePauser.exe", "", "C:\\a b.exe", {"", "C:\\Dev\\ConsolePauser.exe", "C:\\a b.exe"}},
              {"", "", "a.exe", {"", "", "a.exe"}},
              {"", "C:\\a b.cpp", "C:\\a b.exe", {"C:\\a b.cpp", "C:\\a b.exe"}}};
  for (const auto& r : rows) {
    std::string line;
    Args words;
    if (r.source.empty())
      Pauser_Launch_Command(r.pauser, r.program, line, words);
    else
      Direct_Launch_Command(r.source, r.program, line, words);
    EXPECT_EQ(line.compare(0, 6, "start "), 0) << line;
    EXPECT_EQ(Split_Arguments(line.substr(6)), r.expected) << line;
    EXPECT_EQ(words, r.expected) << line;
  }
}

#ifdef _WIN32
#include <windows.h>

#include "platform/compiler.h"

// A compiler without a UTF-8 manifest (this one does not even exist) reads
// the ANSI code page; where no short form can stand in for a name (the
// folder does not exist), the characters it cannot read are named, and a
// program of such a name is written under a name of ASCII letters.
TEST(AnsiCompiler, IsToldWhichCharactersOfAPathItCannotRead) {
  if (GetACP() == CP_UTF8) GTEST_SKIP() << "every compiler reads UTF-8 here";
  std::string source, program;
  Begin_Compile("Z:\\no\\g++.exe", "Z:\\no\\한국 a.cpp", "Z:\\no\\한국 a.exe", source, program);
  EXPECT_EQ(Unreadable_Characters(), "한국");
  EXPECT_EQ(source, "Z:\\no\\한국 a.cpp");
  EXPECT_EQ(program.compare(0, 18, "Z:\\no\\tivex-build-"), 0) << program;
  EXPECT_FALSE(End_Compile(false));
}
#endif
