#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"

using Args = std::vector<std::string>;

TEST(SplitCommandLine, QuotedRunsAreOneArgumentAndLoseTheirQuotes) {
  EXPECT_EQ(Split_Command_Line("\"C:\\My Tools\\g++.exe\" -O2 -Wall -DNAME=\"a b\" -g -o "
                               "\"a b.exe\" \"a b.cpp\""),
            (Args{"C:\\My Tools\\g++.exe", "-O2", "-Wall", "-DNAME=a b", "-g", "-o", "a b.exe",
                  "a b.cpp"}));
}

TEST(SplitCommandLine, BlanksSeparateAndRunsOfBlanksCountOnce) {
  EXPECT_EQ(Split_Command_Line("  g++   -g\t-o  x  "), (Args{"g++", "-g", "-o", "x"}));
  EXPECT_EQ(Split_Command_Line(""), Args{});
  EXPECT_EQ(Split_Command_Line("   "), Args{});
}

TEST(SplitCommandLine, BackslashesEscapeOnlyBeforeAQuote) {
  EXPECT_EQ(Split_Command_Line("p a\\\\b \\\"x\\\" \"c\\\\\" d\\\\\\\"e"),
            (Args{"p", "a\\\\b", "\"x\"", "c\\", "d\\\"e"}));
  EXPECT_EQ(Split_Command_Line("p \"in \"\"quotes\"\"\""), (Args{"p", "in \"quotes\""}));
}

TEST(SplitCommandLine, ProgramNameKeepsBackslashesAndEmptyArgumentsStay) {
  EXPECT_EQ(Split_Command_Line("\"C:\\dir\\\" \"\" x"), (Args{"C:\\dir\\", "", "x"}));
  EXPECT_EQ(Split_Command_Line("\"\" -g"), (Args{"", "-g"}));
}

TEST(SplitCommandLine, ShellCharactersAreOrdinaryBytes) {
  EXPECT_EQ(Split_Command_Line("\"/t/$HOME `id`; 'q'/g++\" -o \"/t/a;b$c\""),
            (Args{"/t/$HOME `id`; 'q'/g++", "-o", "/t/a;b$c"}));
}

TEST(StripCmdQuotes, RemovesTheFirstAndTheLastQuote) {
  EXPECT_EQ(Strip_Cmd_Quotes("\"\"g++\" -g \"a.cpp\"\""), "\"g++\" -g \"a.cpp\"");
  EXPECT_EQ(Strip_Cmd_Quotes("\"x\""), "x");
  EXPECT_EQ(Strip_Cmd_Quotes("plain"), "plain");
  EXPECT_EQ(Strip_Cmd_Quotes("\"open"), "open");
}

TEST(SplitQuoted, BackslashIsAnOrdinaryByte) {
  EXPECT_EQ(Split_Quoted("\"\" \"C:\\p\\\" \"a b\""), (Args{"", "C:\\p\\", "a b"}));
  EXPECT_EQ(Split_Quoted("\"t\" \"./x\""), (Args{"t", "./x"}));
}

TEST(PathText, WellFormedUtf8WithoutNul) {
  EXPECT_TRUE(Is_Path_Text(""));
  EXPECT_TRUE(Is_Path_Text("C:\\程序\\a b.cpp"));
  EXPECT_TRUE(Is_Path_Text("\xF0\x9F\x98\x80"));
  EXPECT_FALSE(Is_Path_Text(std::string("a\0b", 3)));
  EXPECT_FALSE(Is_Path_Text("\x80"));
  EXPECT_FALSE(Is_Path_Text("\xC0\xAF"));          // overlong
  EXPECT_FALSE(Is_Path_Text("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(Is_Path_Text("\xF4\x90\x80\x80"));  // past U+10FFFF
  EXPECT_FALSE(Is_Path_Text("\xE7\xA8"));          // cut short
  EXPECT_FALSE(Is_Path_Text("\xE7" "a" "\xA8"));
}

TEST(KeyIsComplete, EscapeSequencesAndCharactersAreWholeKeys) {
  struct {
    const char* bytes;
    bool complete;
  } rows[] = {{"", false},          {"x", true},           {"\x1b", false},
              {"\x1b[", false},     {"\x1b[B", true},      {"\x1b[1;5", false},
              {"\x1b[1;5C", true},  {"\x1b[15~", true},    {"\x1bO", false},
              {"\x1bOP", true},     {"\x1bx", true},       {"\xE6\xB5", false},
              {"\xE6\xB5\x8B", true}, {"\xF0\x9F\x98", false}, {"\x80", true}};
  for (const auto& r : rows) EXPECT_EQ(Key_Is_Complete(r.bytes), r.complete) << r.bytes;
}

TEST(CompleteUtf8Prefix, HoldsBackOnlyACharacterStillToBeCompleted) {
  EXPECT_EQ(Complete_Utf8_Prefix(""), 0u);
  EXPECT_EQ(Complete_Utf8_Prefix("ab"), 2u);
  EXPECT_EQ(Complete_Utf8_Prefix("a\xE8"), 1u);
  EXPECT_EQ(Complete_Utf8_Prefix("a\xE8\xAE"), 1u);
  EXPECT_EQ(Complete_Utf8_Prefix("a\xE8\xAE\xBE"), 4u);
  EXPECT_EQ(Complete_Utf8_Prefix("\xF0\x9F\x98"), 0u);
  EXPECT_EQ(Complete_Utf8_Prefix("a\x80\x80"), 3u);  // stray bytes are not held for ever
}

TEST(TrailingSeparators, AreDroppedButARootStays) {
  EXPECT_EQ(Without_Trailing_Separators("a.cpp/", "/"), "a.cpp");
  EXPECT_EQ(Without_Trailing_Separators("dir//", "/"), "dir");
  EXPECT_EQ(Without_Trailing_Separators("/", "/"), "/");
  EXPECT_EQ(Without_Trailing_Separators("///", "/"), "/");
  EXPECT_EQ(Without_Trailing_Separators("C:\\src\\", "\\/"), "C:\\src");
  EXPECT_EQ(Without_Trailing_Separators("C:\\", "\\/"), "C:\\");
  EXPECT_EQ(Without_Trailing_Separators("a\\", "/"), "a\\");
}

TEST(NamesForOtherPrograms, AreNeitherFormatsNorOptions) {
  EXPECT_EQ(Tmux_Literal("#(touch x) #{pane_id} ##"), "##(touch x) ##{pane_id} ####");
  const std::string dot = std::string(".") + PATH_SEPARATOR;
  EXPECT_EQ(Path_Argument("+!touch x.cpp", "-+"), dot + "+!touch x.cpp");
  EXPECT_EQ(Path_Argument("-x.cpp", "-+"), dot + "-x.cpp");
  EXPECT_EQ(Path_Argument("a-+.cpp", "-+"), "a-+.cpp");
  EXPECT_EQ(Path_Argument("/tmp/-x.cpp", "-+"), "/tmp/-x.cpp");
  EXPECT_EQ(Path_Argument("", "-+"), "");
}

TEST(ExceptionText, HexAndWordsForCrashesNothingForExitStatuses) {
  EXPECT_EQ(Exception_Text(0xC0000005UL), "0xC0000005（访问冲突）");
  EXPECT_EQ(Exception_Text(0xC00000FDUL), "0xC00000FD（栈溢出）");
  EXPECT_EQ(Exception_Text(0xC0000094UL), "0xC0000094（整数除以零）");
  EXPECT_EQ(Exception_Text(0xC0000001UL), "0xC0000001");
  EXPECT_EQ(Exception_Text(0), "");
  EXPECT_EQ(Exception_Text(255), "");
  EXPECT_EQ(Exception_Text(0x7FFFFFFFUL), "");
}
