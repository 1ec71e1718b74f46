// The settings file as the program finds it at start and leaves it at exit.

#include <gtest/gtest.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "dialogue/harness.h"
#include "unit/scratch.h"

namespace {

// Whether the file carries the hidden attribute alone, as Wine keeps it.
std::string Dos_Attributes(const std::string& path) {
  char buf[64] = {0};
  ssize_t n = getxattr(path.c_str(), "user.DOSATTRIB", buf, sizeof buf - 1);
  return n < 0 ? "" : std::string(buf, static_cast<size_t>(n));
}

}  // namespace

TEST(SettingsFileAtExit, LoadedValuesAreWrittenBackWithCrLf) {
  Scratch dir;
  dir.Write(SETTINGS_FILE, "/opt/g++ x\n 中文 路径 \n-O2 -Wall\nfourth line\n");
  Outcome o = Run_Tivex(dir.Dir(), "4\n");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(dir.Read(SETTINGS_FILE), "/opt/g++ x\r\n 中文 路径 \r\n-O2 -Wall");
  EXPECT_EQ(dir.Listing(), SETTINGS_FILE);
}

TEST(SettingsFileAtExit, SecondRunReplacesTheHiddenFile) {
  Scratch dir;
  ASSERT_EQ(Run_Tivex(dir.Dir(), "4\n").status, 0);
  // The second run changes a value, so that a skipped save shows.
  Outcome o = Run_Tivex(dir.Dir(), "3\n3\n-O2\n5\n4\n");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(dir.Read(SETTINGS_FILE), "\r\n\r\n-O2");
  if (Under_Wine()) {
    EXPECT_EQ(Dos_Attributes(dir.Path(SETTINGS_FILE)), "0x2");
  }
}

TEST(SettingsFileAtExit, EmptyDirectoryOfThatNameIsReplaced) {
  Scratch dir;
  dir.Mkdir(SETTINGS_FILE);
  Outcome o = Run_Tivex(dir.Dir(), "4\n");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(dir.Read(SETTINGS_FILE), "\r\n\r\n");
}

TEST(SettingsFileAtExit, FailedSaveIsToldAndEndsWithStatusOne) {
  Scratch dir;
  dir.Mkdir(SETTINGS_FILE + "/inside");
  Outcome o = Run_Tivex(dir.Dir(), "4\n");
  EXPECT_EQ(o.out, Lane(Main_Screen() + Cls() + "保存设置失败！\n将在 3s 内退出……\n"));
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(dir.Exists(SETTINGS_FILE + "/inside"));
  EXPECT_EQ(dir.Listing(), SETTINGS_FILE);
}

TEST(SettingsFileAtExit, FileThatCouldNotBeReadAtStartIsNeverReplaced) {
  if (Under_Wine()) GTEST_SKIP() << "Wine reads a link to /proc/self/mem as Linux does not";
  Scratch dir;
  // Opening it works; every read fails with an I/O error.
  ASSERT_EQ(symlink("/proc/self/mem", dir.Path(SETTINGS_FILE).c_str()), 0);
  Outcome o = Run_Tivex(dir.Dir(), "4\n");
  EXPECT_EQ(o.out, Main_Screen() + Cls() + "保存设置失败！\n将在 3s 内退出……\n");
  EXPECT_NE(o.err.find("yolvar_data.qd: read: "), std::string::npos) << o.err;
  EXPECT_EQ(o.status, 1);
  char target[64] = {0};
  EXPECT_GT(readlink(dir.Path(SETTINGS_FILE).c_str(), target, sizeof target - 1), 0);
  EXPECT_STREQ(target, "/proc/self/mem");
  EXPECT_EQ(dir.Listing(), SETTINGS_FILE);
}
