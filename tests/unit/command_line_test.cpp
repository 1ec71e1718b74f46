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
