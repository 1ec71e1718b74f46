// Lines that a person can type or paste but nobody means: each gets its
// ordinary message and the next line is read.

#include <gtest/gtest.h>

#include <string>

#include "dialogue/harness.h"
#include "unit/scratch.h"

namespace {

const std::string HUGE_DIGITS(4 << 20, '7');
const std::string HUGE_TEXT(4 << 20, 'a');
const std::string NULS(1000, '\0');
const std::string BAD_UTF8 = "\xff\xfe\xc0\xaf.cpp";
// What a console gives for Ctrl+Z, Enter, which beginners press to undo.
const std::string CTRL_Z = "\x1A";

}  // namespace

TEST(Limits, MenuAnswersOfMegabytesNulBytesAndInvalidUtf8) {
  Scratch dir;
  Outcome o = Run_Tivex(dir.Dir(), HUGE_DIGITS + "\n" + HUGE_TEXT + "\n" + NULS + "\n" + BAD_UTF8 +
                                       "\n" + CTRL_Z + "\n");
  EXPECT_EQ(o.out, Lane(Main_Screen() + OUT_OF_RANGE + NOT_NATURAL + NOT_NATURAL + NOT_NATURAL +
                        NOT_NATURAL));
  EXPECT_EQ(o.status, 1);
}

TEST(Limits, PathsThatCannotNameAFileAreInvalid) {
  Scratch dir;
  dir.Write("a.cpp", "");
  // A CR in an answer would split the settings file, even where a name has one.
  dir.Write("cr\r.cpp", "");
  const std::string too_long = std::string(5000, 'a') + ".cpp";
  const std::string long_name = std::string(300, 'b') + ".cpp";
  Outcome o = Run_Tivex(dir.Dir(), "2\n" + HUGE_TEXT + "\n" + NULS + "\n" + BAD_UTF8 + "\n" +
                                       too_long + "\n" + long_name + "\n" +
                                       std::string("a.cpp\0.cpp", 10) + "\ncr\r.cpp\n" + CTRL_Z +
                                       "\nZ：、tmp、t．cpp\na.cpp\n",
                        Without_Compilers(dir));
  // A Chinese input method in Chinese punctuation mode types "、" for "\".
  const std::string hint = "提示：路径中有中文标点“、：．”，请把输入法切换到英文标点后再输入。\n";
  EXPECT_EQ(o.out, Lane(Main_Screen() + Cls() + "请输入 C++ 文件的完整路径：\n" + INVALID + INVALID +
                        INVALID + INVALID + INVALID + INVALID + INVALID + INVALID + INVALID + hint +
                        "\n编译器路径无效！请重新设置。\n\n" +
                        Pause() + Main_Screen()));
}

TEST(Limits, NewFileWithAnInvalidOrOverlongNameIsRefusedWithAReason) {
  Scratch dir;
  Outcome o = Run_Tivex(dir.Dir(), "1\n1\n.\n" + BAD_UTF8 + "\n1\n.\n" + std::string(300, 'x') +
                                       "\n3\n");
  std::string ask = Cls() + "请输入想要创建的文件的完整目录：\n请输入想要创建的文件名（不含扩展名）：\n\n";
  std::string head = Lane(Main_Screen() + Edit_Screen() + ask +
                          "创建失败！（文件名不是有效的 UTF-8 文本）\n\n" + Pause() + Edit_Screen() +
                          ask + "创建失败！（");
  EXPECT_EQ(o.out.substr(0, head.size()), head);
  std::string tail = Lane("）\n\n" + Pause() + Edit_Screen() + Main_Screen());
  ASSERT_GE(o.out.size(), head.size() + tail.size());
  EXPECT_EQ(o.out.substr(o.out.size() - tail.size()), tail);
  EXPECT_EQ(dir.Listing(), "");
}

// An answer is at most 64 KiB, as a line of the settings file: options that
// long reach the file whole, and longer ones, a megabyte too, or one whose
// byte after 64 KiB is a CR, are refused.
TEST(Limits, OptionsOfUpTo64KiBReachTheSettingsFileWhole) {
  Scratch dir;
  const std::string most(65536, 'O');
  Outcome o = Run_Tivex(dir.Dir(), "3\n3\n" + most + "x\n" + std::string(1 << 20, 'O') + "\n" + most +
                                       "\rmore\n" + most + "\n5\n4\n");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(dir.Read(SETTINGS_FILE), "\r\n\r\n" + most);
  const std::string too_long = Lane("编译选项太长（最多 64 KiB），请重新输入。\n");
  EXPECT_NE(o.out.find(too_long + too_long + too_long + Lane("设置成功！")), std::string::npos);
}
