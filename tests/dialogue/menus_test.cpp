// The menus, the about screen and the ways out of the program.

#include <gtest/gtest.h>

#include <chrono>

#include "dialogue/harness.h"
#include "unit/scratch.h"
#include "version.h"

namespace {

const std::string ABOUT =
    "作者：Tivex 开发组（https://tivex.example.org/）\n"
    "介绍：为初学者准备的命令行 C++ 编辑、编译与运行工具。\n"
    "版本：v" TIVEX_VERSION "\n"
    "发布时间：" TIVEX_RELEASE_DATE "\n\n";

}  // namespace

TEST(Menus, ChoiceFourSavesAndSaysFarewell) {
  Scratch dir;
  auto start = std::chrono::steady_clock::now();
  Outcome o = Run_Tivex(dir.Dir(), "4\n");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
  EXPECT_EQ(o.out, Lane(Main_Screen() + Farewell()));
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(dir.Read(SETTINGS_FILE), "\r\n\r\n");
  EXPECT_EQ(dir.Listing(), SETTINGS_FILE);
}

TEST(Menus, EveryPageAndTheAboutScreen) {
  Scratch dir;
  Outcome o = Run_Tivex(dir.Dir(), "1\n3\n3\n4\n5\n");
  EXPECT_EQ(o.out, Lane(Main_Screen() + Edit_Screen() + Main_Screen() + Settings_Screen() + Cls() +
                        ABOUT + Pause() + Settings_Screen() + Main_Screen()));
  EXPECT_EQ(o.status, 1);
}

TEST(Menus, RefusedAnswersGetTheirMessageAndThePageIsNotRedrawn) {
  Scratch dir;
  Outcome o = Run_Tivex(dir.Dir(),
                        "0\n5\n\n+3\n 3\n3.\n３\n0000000003\n1000000000\n3a bcdefghijk\n03\n");
  EXPECT_EQ(o.out, Lane(Main_Screen() + OUT_OF_RANGE + OUT_OF_RANGE + OUT_OF_RANGE + NOT_NATURAL +
                        NOT_NATURAL + NOT_NATURAL + NOT_NATURAL + OUT_OF_RANGE + OUT_OF_RANGE +
                        NOT_NATURAL + Settings_Screen()));
}

TEST(Menus, SubMenusRefuseTheirOwnOutOfRangeChoices) {
  Scratch dir;
  Outcome o = Run_Tivex(dir.Dir(), "1\n4\n0\n3\n3\n6\n5\n");
  EXPECT_EQ(o.out, Lane(Main_Screen() + Edit_Screen() + OUT_OF_RANGE + OUT_OF_RANGE +
                        Main_Screen() + Settings_Screen() + OUT_OF_RANGE + Main_Screen()));
}

TEST(Menus, CrLfAnswersAndALastLineWithoutLineEndCount) {
  Scratch dir;
  Outcome o = Run_Tivex(dir.Dir(), "1\r\n3\r\n3");
  EXPECT_EQ(o.out, Lane(Main_Screen() + Edit_Screen() + Main_Screen() + Settings_Screen()));
  EXPECT_EQ(o.status, 1);
}

TEST(EndOfInput, EndsAtOnceWithoutSavingAtEveryMenu) {
  Scratch dir;
  dir.Write(SETTINGS_FILE, "keep\nthis\nfile");
  struct Case {
    const char* input;
    std::string out;
  };
  for (const Case& c : {Case{"", Main_Screen()}, Case{"9\n", Main_Screen() + OUT_OF_RANGE},
                        Case{"1\n", Main_Screen() + Edit_Screen()},
                        Case{"3\n", Main_Screen() + Settings_Screen()},
                        Case{"3\n4\n", Main_Screen() + Settings_Screen() + Cls() + ABOUT + Pause() +
                                           Settings_Screen()}}) {
    Outcome o = Run_Tivex(dir.Dir(), c.input);
    EXPECT_EQ(o.out, Lane(c.out)) << c.input;
    EXPECT_EQ(o.status, 1) << c.input;
    EXPECT_EQ(dir.Read(SETTINGS_FILE), "keep\nthis\nfile");
    EXPECT_EQ(dir.Listing(), SETTINGS_FILE);
  }
}

TEST(EndOfInput, InputLeftNonBlockingIsWaitedFor) {
  if (Under_Wine()) GTEST_SKIP() << "a Windows pipe has no non-blocking mode to leave";
  Scratch dir;
  Outcome o = Run_Tivex_Fed(dir.Dir(), {"1\n", "3", "\n"});
  EXPECT_EQ(o.out, Main_Screen() + Edit_Screen() + Main_Screen());
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(o.status, 1);
}

TEST(Arguments, HelpAndVersionAnswerAndAnythingElseIsRefused) {
  Scratch dir;
  Outcome o = Run_Tivex(dir.Dir(), "", {}, {"--help"});
  EXPECT_EQ(o.out.find(Lane("Tivex C++ IDE：")), 0u) << o.out;
  EXPECT_NE(o.out.find("yolvar_data.qd"), std::string::npos);
  EXPECT_NE(o.out.find("share/doc/tivex/README.md"), std::string::npos);
  EXPECT_NE(o.out.find("README.txt"), std::string::npos);
  EXPECT_EQ(o.status, 0);
  o = Run_Tivex(dir.Dir(), "", {}, {"--version"});
  EXPECT_EQ(o.out, Lane("tivex " TIVEX_VERSION "\n"));
  EXPECT_EQ(o.status, 0);
  // The argument named is the one not understood, never a known one.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"-x"}, {"--help", "-x"}, {"-x", "--version"}}) {
    o = Run_Tivex(dir.Dir(), "4\n", {}, args);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find("“-x”"), std::string::npos) << o.err;
    EXPECT_EQ(o.status, 2);
  }
  o = Run_Tivex(dir.Dir(), "", {}, {"--version", "--help"});
  EXPECT_NE(o.err.find("“--help”"), std::string::npos) << o.err;
  EXPECT_EQ(dir.Listing(), "");
}

TEST(Arguments, AnAnswerThatCannotBeWrittenIsAFailure) {
  if (Under_Wine()) GTEST_SKIP() << "a POSIX shell puts the output on /dev/full";
  Scratch dir;
  for (const char* redirect : {" >/dev/full", " >&-"}) {
    for (const char* option : {" --help", " --version"}) {
      std::string line = std::string("exec \"$0\"") + option + redirect;
      Outcome o = Run_Binary({"/bin/sh", "-c", line, TIVEX_BIN}, dir.Dir(), "", {});
      EXPECT_NE(o.status, 0) << line;
    }
  }
}
