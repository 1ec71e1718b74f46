#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "build_run/build_run.h"
#include "build_run/compile_errors.h"
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
    COM_SETTINGS = r.options;
    std::string line;
    Args words;
    Compile_Command(r.compiler, r.source, r.program, line, words);
    EXPECT_EQ(Compiler_View(line), r.expected) << line;
    EXPECT_EQ(words, r.expected) << line;
  }
  COM_SETTINGS = "";
}

// With no options, the compiler's quoted path and -g stand one blank apart.
TEST(CompileCommand, EmptyOptionsLeaveOneBlankBeforeDashG) {
  COM_SETTINGS = "";
  std::string line;
  Args words;
  Compile_Command("g++", "a.cpp", "a", line, words);
  EXPECT_NE(line.find("\"g++\" -g -o"), std::string::npos);
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
  std::string compiler, source, program;
  Begin_Compile("Z:\\编译器\\g++.exe", "Z:\\no\\한국 a.cpp", "Z:\\no\\한국 a.exe", compiler, source,
                program);
  EXPECT_EQ(Unreadable_Characters(), "한국");
  EXPECT_EQ(Unreadable_Compiler_Characters(), GetACP() == 936 ? "" : "编译器");
  EXPECT_EQ(source, "Z:\\no\\한국 a.cpp");
  EXPECT_EQ(program.compare(0, 18, "Z:\\no\\tivex-build-"), 0) << program;
  EXPECT_FALSE(End_Compile(false));
}
#endif

// GCC's messages as versions 8 to 14 word them, in English and Chinese, in
// colour at a terminal, and a linker's: the first error in the source and
// the words of its hint ("" where the table knows none).
TEST(CompileErrors, FirstErrorInTheSourceIsPlacedAndExplained) {
  const struct {
    std::string output;
    int line, col;
    std::string words;
  } rows[] = {
      {"a.cpp: In function 'int main()':\na.cpp:4:25: error: expected ';' before 'return'\n", 4, 25,
       "上一行的末尾可能少了分号 ;"},
      {"a.cpp:4:25: 错误：expected ‘;’ before ‘return’\r\n", 4, 25, "分号"},
      {"\x1b[01m\x1b[Ka.cpp:3:5:\x1b[m\x1b[K \x1b[01;31m\x1b[Kerror: \x1b[m\x1b[K'cout' was not "
       "declared in this scope; did you mean 'std::cout'?\n",
       3, 5, "cout 属于 std：写成 std::cout，或在 #include 之后加一行 using namespace std;"},
      {"a.cpp:3:5: 错误：‘cout’在此作用域中尚未声明\n", 3, 5, "<iostream>"},
      {"a.cpp:3:12: 错误：‘y’在此作用域中尚未声明\n", 3, 12, "y 没有声明"},
      {"a.cpp:2:16: error: 'sqrt' was not declared in this scope\n", 2, 16, "<cmath>"},
      {"a.cpp:3:10: 错误：‘vector’不是‘std’的成员\n", 3, 10, "std::vector"},
      {"In file included from a.cpp:1:\n/usr/include/x.h:2:3: error: expected ';' before 'int'\n"
       "a.cpp:7:1: error: '::main' must return 'int'\n",
       7, 1, "int main()"},
      {"a.cpp:5:9: error: no match for 'operator<<' (operand types are 'std::istream' {aka "
       "'std::basic_istream<char>'} and 'int')\n",
       5, 9, "cin 要用 >>"},
      {"a.cpp:6:10: error: no match for 'operator>>' (operand types are 'std::ostream' and 'int')\n",
       6, 10, "cout 要用 <<"},
      {"a.cpp:9: error: expected '}' at end of input\n", 9, 0, "大括号没有配对"},
      {"a.cpp:1:10: 致命错误：bits/stdc++.h：没有那个文件或目录\n", 1, 10, "头文件"},
      {"a.cpp:4:3: error: 'else' without a previous 'if'\n", 4, 3, "else"},
      {"a.cpp:2:5: error: stray '\\357' in program\n", 2, 5, "英文输入"},
      {"a.cpp:2:1: error: something no table knows\n", 2, 1, ""},
      {"/usr/bin/ld: Scrt1.o: in function `_start':\n(.text+0x17): undefined reference to `main'\n"
       "collect2: error: ld returned 1 exit status\n",
       0, 0, "找不到 main 函数"},
      {"C:/mingw64/bin/ld.exe: cannot open output file a.exe: Permission denied\n", 0, 0,
       LOCKED_PROGRAM_HINT},
      {"", 0, 0, ""}};
  for (const auto& row : rows) {
    int line = -1, col = -1;
    std::string message;
    EXPECT_EQ(First_Error(row.output, "a.cpp", line, col, message), row.line > 0) << row.output;
    EXPECT_EQ(line, row.line) << row.output;
    EXPECT_EQ(col, row.col) << row.output;
    std::string hint = Error_Hint(message);
    EXPECT_EQ(hint.empty(), row.words.empty()) << hint;
    EXPECT_NE(hint.find(row.words), std::string::npos) << hint;
  }
}

// GCC 11 and later count what the screen shows (a tab to the next multiple of
// 8, a Chinese character as 2); GCC 9 and 10 count bytes and quote the line
// with its tabs. Tivex counts characters, as Notepad does.
TEST(CompileErrors, ColumnsAreCountedInCharacters) {
  const struct {
    std::string text;
    int col;
    bool bytes;
    int ccol, screen;
  } rows[] = {{"\tcout << x", 9, false, 2, 9},       {"\tcout << x", 2, true, 2, 9},
              {"  s = \"你好\"；", 13, false, 11, 13}, {"  s = \"你好\"；", 15, true, 11, 13},
              {"ab", 5, false, 5, 5},                {"", 1, false, 1, 1}};
  for (const auto& row : rows) {
    EXPECT_EQ(Character_Column(row.text, row.col, row.bytes), row.ccol) << row.text;
    EXPECT_EQ(Display_Column(row.text, row.ccol), row.screen) << row.text;
  }
  EXPECT_TRUE(Columns_Are_Bytes("a.cpp:2:2: error: x\n    2 | \tcout\n      | \t^\n"));
  EXPECT_FALSE(Columns_Are_Bytes("a.cpp:2:9: error: x\n    2 |         cout\n"));
  EXPECT_EQ(Marked_Line("\t你a\x1b", 3), "            你a^[\n              ^\n");
}

// Each full-width mark once, with its own column; none inside a string, a
// character or a comment, where Chinese is allowed.
TEST(CompileErrors, FullWidthPunctuationIsNamedOncePerCharacter) {
  const std::string tail = "是中文标点，请切换到英文标点后改成 ";
  const struct {
    std::string text;
    std::vector<std::string> hints;
  } rows[] = {
      {"  cout << \"你好，世界\"；// 注释，", {"第 4 行第 18 列的“；”" + tail + ";"}},
      {"if （a ＞ 0）{", {"第 4 行第 4 列的“（”" + tail + "(", "第 4 行第 7 列的“＞”" + tail + ">",
                         "第 4 行第 10 列的“）”" + tail + ")"}},
      {"char c = '，'; /* ， */ x = 1", {}},
      {"int\xe3\x80\x80x;", {"第 4 行第 4 列是一个全角空格，请切换到英文输入后改成普通空格"}}};
  for (const auto& row : rows) EXPECT_EQ(Punctuation_Hints(row.text, 4), row.hints) << row.text;
}
