#include <gtest/gtest.h>

#include <string>

#include "platform/file_system.h"
#include "platform/file_system_internal.h"
#include "platform/programs.h"
#include "platform/test_seams.h"
#include "platform/text.h"
#include "settings/settings.h"
#include "unit/scratch.h"

namespace {

const std::string FILE_NAME = "yolvar_data.qd";

void Set(const std::string& a, const std::string& b, const std::string& c) {
  COM_PATH = a;
  CON_PATH = b;
  COM_SETTINGS = c;
}

void Expect_Settings(const std::string& a, const std::string& b, const std::string& c) {
  EXPECT_EQ(COM_PATH, a);
  EXPECT_EQ(CON_PATH, b);
  EXPECT_EQ(COM_SETTINGS, c);
}

// Loads the settings file of the working directory as the program does at start.
void Load() {
  Set("", "", "");
  Init();
}

}  // namespace

// What reaches the disk, and what the next start reads back from it.
TEST(SettingsFile, DiskHasCrLfBetweenLinesAndNothingAfterTheLast) {
  Scratch scratch;
  Cwd_Guard cwd(scratch.Dir());
  const struct {
    std::string a, b, c, bytes;
  } rows[] = {{"", "", "", "\r\n\r\n"},
              {"C:\\g++.exe", "p", "-O2", "C:\\g++.exe\r\np\r\n-O2"},
              {"", "", "-O2 ", "\r\n\r\n-O2 "},
              {"g++", "", "", "g++\r\n\r\n"}};
  for (const auto& r : rows) {
    Set(r.a, r.b, r.c);
    ASSERT_TRUE(Save_Settings());
    EXPECT_EQ(scratch.Read(FILE_NAME), r.bytes);
    Load();
    Expect_Settings(r.a, r.b, r.c);
  }
}

// The text of a settings file and the three settings read from it: LF and
// CR LF alike, missing lines empty, the fourth and later ignored, a CR inside
// a line kept, one byte-order mark at the start dropped (as Notepad writes it).
TEST(SettingsFile, ParsesEachTextIntoThreeSettings) {
  const struct {
    std::string text, a, b, c;
  } rows[] = {{"a\r\nb\r\nc", "a", "b", "c"},
              {"a\nb\nc\n", "a", "b", "c"},
              {"only", "only", "", ""},
              {"a\r\nb", "a", "b", ""},
              {"a\r\nb\r\n", "a", "b", ""},
              {"", "", "", ""},
              {"a\nb\nc\nd\ne", "a", "b", "c"},
              {"\xEF\xBB\xBF" "a\r\nb\rx\r\n c\r", "a", "b\rx", " c\r"},
              {"\xEF\xBB\xBF\xEF\xBB\xBF" "a\n\xEF\xBB\xBF" "b", "\xEF\xBB\xBF" "a", "\xEF\xBB\xBF" "b", ""}};
  for (const auto& r : rows) {
    Parse_Settings(r.text);
    Expect_Settings(r.a, r.b, r.c);
  }
}

TEST(SettingsFile, SaveAndLoadKeepBlanksAndChineseText) {
  Scratch scratch;
  Cwd_Guard cwd(scratch.Dir());
  Set(" 空格 /编译器/g++ ", "  ", "  -O2  -DNAME=\"a b\"  ");
  ASSERT_TRUE(Save_Settings());
  EXPECT_EQ(scratch.Read(FILE_NAME), " 空格 /编译器/g++ \r\n  \r\n  -O2  -DNAME=\"a b\"  ");
  Load();
  Expect_Settings(" 空格 /编译器/g++ ", "  ", "  -O2  -DNAME=\"a b\"  ");
  EXPECT_EQ(scratch.Listing(), FILE_NAME);
}

TEST(SettingsFile, SecondSaveReplacesTheFirst) {
  Scratch scratch;
  Cwd_Guard cwd(scratch.Dir());
  Set("one", "", "");
  ASSERT_TRUE(Save_Settings());
  Set("two", "", "x");
  ASSERT_TRUE(Save_Settings());
  EXPECT_EQ(scratch.Read(FILE_NAME), "two\r\n\r\nx");
}

TEST(SettingsFile, MissingFileLoadsEmptySettings) {
  Scratch scratch;
  Cwd_Guard cwd(scratch.Dir());
  Load();
  Expect_Settings("", "", "");
  EXPECT_EQ(scratch.Listing(), "");
}

TEST(SettingsFile, DirectoryIsNotReadAndAnEmptyOneIsReplaced) {
  Scratch scratch;
  Cwd_Guard cwd(scratch.Dir());
  scratch.Mkdir(FILE_NAME);
  Load();
  Expect_Settings("", "", "");
  Set("a", "b", "c");
  ASSERT_TRUE(Save_Settings());
  EXPECT_EQ(scratch.Read(FILE_NAME), "a\r\nb\r\nc");
}

TEST(SettingsFile, FailedSaveLeavesNonEmptyDirectoryAndNoTemporaryFile) {
  Scratch scratch;
  Cwd_Guard cwd(scratch.Dir());
  scratch.Mkdir(FILE_NAME + "/inside");
  Set("a", "b", "c");
  EXPECT_FALSE(Save_Settings());
  EXPECT_TRUE(scratch.Exists(FILE_NAME + "/inside"));
  EXPECT_EQ(scratch.Listing(), FILE_NAME);
}

TEST(SettingsFile, LeftoversOfKilledRunsDoNotBlockTheSave) {
  Scratch scratch;
  Cwd_Guard cwd(scratch.Dir());
  scratch.Write(FILE_NAME, "old\r\nvalues\r\nhere");
  // Process ids repeat: an earlier run of the same id left these behind.
  std::string leftovers = FILE_NAME;
  for (int attempt = 0; attempt < 3; attempt++) {
    scratch.Write(Temp_Name_Beside(FILE_NAME, attempt), "left over");
    leftovers += " " + Temp_Name_Beside(FILE_NAME, attempt);
  }
  Set("new", "", "");
  EXPECT_TRUE(Save_Settings());
  EXPECT_EQ(scratch.Read(FILE_NAME), "new\r\n\r\n");
  EXPECT_EQ(scratch.Read(Temp_Name_Beside(FILE_NAME, 0)), "left over");
  EXPECT_EQ(scratch.Listing().size(), leftovers.size());
}

// A save that fails at any step leaves the old file as it was, or no file
// where there was none, and no temporary file.
TEST(SettingsFile, FaultAtAnyStepLeavesWhatWasThereAndNoTemporaryFile) {
  for (bool old_file : {true, false}) {
    for (const char* step : {"create", "write", "flush", "rename"}) {
      Scratch scratch;
      Cwd_Guard cwd(scratch.Dir());
      if (old_file) scratch.Write(FILE_NAME, "old\r\nvalues\r\nhere");
      Set("a much longer new value", "b", "c");
      FAULT_STEP = step;
      bool saved = Save_Settings();
      FAULT_STEP.clear();
      EXPECT_FALSE(saved) << step;
      if (old_file) {
        EXPECT_EQ(scratch.Read(FILE_NAME), "old\r\nvalues\r\nhere") << step;
      }
      EXPECT_EQ(scratch.Listing(), old_file ? FILE_NAME : "") << step;
    }
  }
}

TEST(SettingsFile, SaveReachesTheDiskBeforeAndAfterTheRename) {
  Scratch scratch;
  Cwd_Guard cwd(scratch.Dir());
  FILE_CALLS.clear();
  Set("a", "b", "c");
  ASSERT_TRUE(Save_Settings());
  std::string calls;
  for (const std::string& c : FILE_CALLS) calls += c + " ";
  if (EXE_SUFFIX[0] == '\0')
    EXPECT_EQ(calls, "fsync file of 7 bytes rename fsync directory ");
  else
    EXPECT_EQ(calls, "CreateFileW WriteFile FlushFileBuffers MoveFileExW ");
}

TEST(SettingsFile, OnlyTheFirstThreeLinesAreReadAndNoLineIsLong) {
  Scratch scratch;
  const std::string most(LONGEST_LINE, 'x');
  const struct {
    std::string bytes;
    bool readable;
  } rows[] = {{"a\r\nb\nc\r\n" + std::string(1 << 20, 'x'), true},
              {most + "\r\n" + most + "\n" + most, true},
              {most + "x", false},
              {"a\n" + most + "x\n", false},
              {"a\nb\n" + most + "x", false},
              {std::string(3 << 20, '\0'), false}};
  for (const auto& r : rows) {
    scratch.Write("f", r.bytes);
    std::string text;
    std::string error = Read_Head(scratch.Path("f"), 3, text);
    EXPECT_EQ(error.empty(), r.readable) << r.bytes.size() << ": " << error;
    EXPECT_LE(text.size(), 3 * (LONGEST_LINE + 2));
    if (r.readable) {
      // Up to the end of the third line, and not a byte more.
      size_t end = 0;
      for (int line = 0; line < 3 && end != std::string::npos; line++) {
        end = r.bytes.find('\n', end);
        if (end != std::string::npos) end++;
      }
      EXPECT_EQ(text, r.bytes.substr(0, end));
    }
  }
}

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <iostream>
#include <sstream>

// The mode, and, for a save by root, the owner and group: after one
// "sudo tivex" the user's own saves must still succeed.
TEST(SettingsFile, SaveKeepsThePermissionBitsAndTheOwnerOfTheOldFile) {
  Scratch scratch;
  Cwd_Guard cwd(scratch.Dir());
  scratch.Write(FILE_NAME, "old");
  // Bits that the umask would take from a new file.
  ASSERT_EQ(chmod(FILE_NAME.c_str(), 0666), 0);
  mode_t umask_before = umask(022);
  bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(FILE_NAME.c_str(), 65534, 65534), 0);
  }
  ASSERT_TRUE(Save_Settings());
  umask(umask_before);
  struct stat st;
  ASSERT_EQ(stat(FILE_NAME.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0666u);
  EXPECT_EQ(st.st_uid, root ? 65534u : geteuid());
  EXPECT_EQ(st.st_gid, root ? 65534u : getegid());
}

TEST(SettingsFile, LinkedFileIsWrittenThroughItsLink) {
  Scratch scratch;
  Cwd_Guard cwd(scratch.Dir());
  scratch.Mkdir("kept");
  scratch.Mkdir("kept/sub");
  scratch.Write("kept/sub/real.qd", "old");
  // A link to a link, the second one relative to its own directory.
  ASSERT_EQ(symlink("sub/real.qd", "kept/link"), 0);
  ASSERT_EQ(symlink("kept/link", FILE_NAME.c_str()), 0);
  Set("a", "b", "c");
  ASSERT_TRUE(Save_Settings());
  EXPECT_EQ(scratch.Read("kept/sub/real.qd"), "a\r\nb\r\nc");
  struct stat st;
  ASSERT_EQ(lstat(FILE_NAME.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(scratch.Listing(), "kept " + FILE_NAME);
  // A link to nothing yet: the file is made where it points.
  ASSERT_EQ(symlink("kept/sub/new.qd", "other"), 0);
  EXPECT_EQ(Link_Target("other"), "kept/sub/new.qd");
}

// A save replaces only a regular file that may be written, through a link
// too: anything else is left as it was, no temporary file stays, and the
// reason names what refused (the directory, where no temporary file can be
// made in it).
TEST(SettingsFile, OnlyARegularFileThatMayBeWrittenIsReplaced) {
  const struct {
    const char* what;  // the entry that the settings file is or leads to
    std::string refusal;
  } rows[] = {{"device", "is a character device"}, {"fifo", "is a FIFO"},
              {"directory", "is a directory"},     {"read-only file", "may not be written"},
              {"read-only directory", "cannot make a temporary file in "},
              {"missing directory", "cannot make a temporary file in kept/none: open: "}};
  for (const auto& r : rows) {
    Scratch scratch;
    Cwd_Guard cwd(scratch.Dir());
    scratch.Mkdir("kept");
    const std::string what = r.what;
    std::string target = "kept/target";
    if (what == "device" && mknod("kept/target", S_IFCHR | 0666, makedev(1, 3)) != 0) continue;
    if (what == "fifo") {
      ASSERT_EQ(mkfifo("kept/target", 0666), 0);
    }
    if (what == "directory") scratch.Mkdir("kept/target");
    if (what == "read-only file") {
      target = FILE_NAME;
      scratch.Write(FILE_NAME, "old");
      ASSERT_EQ(chmod(FILE_NAME.c_str(), 0444), 0);
    }
    if (what == "missing directory") target = "kept/none/target";
    if (what == "read-only directory") {
      scratch.Write("kept/target", "old");
      ASSERT_EQ(chmod("kept", 0555), 0);
    }
    if (target != FILE_NAME) {
      ASSERT_EQ(symlink(target.c_str(), FILE_NAME.c_str()), 0);
    }
    // What the settings file leads to, or the link where it leads nowhere.
    auto status = what == "missing directory" ? lstat : stat;
    struct stat before, after;
    ASSERT_EQ(status(FILE_NAME.c_str(), &before), 0);
    std::stringstream err;
    std::streambuf* old = std::cerr.rdbuf(err.rdbuf());
    Set("a", "b", "c");
    bool saved = Save_Settings();
    std::cerr.rdbuf(old);
    EXPECT_FALSE(saved) << what;
    EXPECT_NE(err.str().find(r.refusal), std::string::npos) << what << ": " << err.str();
    ASSERT_EQ(status(FILE_NAME.c_str(), &after), 0) << what;
    EXPECT_EQ(after.st_mode, before.st_mode) << what;
    EXPECT_EQ(after.st_ino, before.st_ino) << what;
    if (S_ISREG(after.st_mode)) {
      EXPECT_EQ(scratch.Read(target), "old") << what;
    }
    EXPECT_EQ(scratch.Listing(), "kept " + FILE_NAME) << what;
    chmod("kept", 0755);
  }
}

TEST(SettingsFile, FileThatCannotBeReadIsNeverReplaced) {
  Scratch scratch;
  Cwd_Guard cwd(scratch.Dir());
  // Opening it works; every read fails with an I/O error.
  ASSERT_EQ(symlink("/proc/self/mem", FILE_NAME.c_str()), 0);
  Load();
  Expect_Settings("", "", "");
  Set("new", "", "");
  EXPECT_FALSE(Save_Settings());
  char target[64] = {0};
  EXPECT_GT(readlink(FILE_NAME.c_str(), target, sizeof target - 1), 0);
  EXPECT_STREQ(target, "/proc/self/mem");
  EXPECT_EQ(scratch.Listing(), FILE_NAME);
  // A file that could be replaced, but whose long line made it unreadable.
  Scratch plain;
  Cwd_Guard plain_cwd(plain.Dir());
  const std::string unread = "a\r\n" + std::string(LONGEST_LINE + 1, 'x');
  plain.Write(FILE_NAME, unread);
  Load();
  Set("new", "", "");
  EXPECT_FALSE(Save_Settings());
  EXPECT_EQ(plain.Read(FILE_NAME), unread);
}
#endif

#ifdef _WIN32
#include <windows.h>

#include <chrono>
#include <thread>

// An antivirus or a sync client holds a file that was just written for a
// moment; the save waits that out, and gives up only after about 2 s.
TEST(SettingsFile, SaveWaitsOutABriefLock) {
  Scratch scratch;
  Cwd_Guard cwd(scratch.Dir());
  scratch.Write(FILE_NAME, "old");
  std::string before = "old";
  for (int hold_ms : {300, 4000}) {
    HANDLE h = CreateFileW(L"yolvar_data.qd", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::thread holder([h, hold_ms] {
      std::this_thread::sleep_for(std::chrono::milliseconds(hold_ms));
      CloseHandle(h);
    });
    Set("a", "b", std::to_string(hold_ms));
    auto start = std::chrono::steady_clock::now();
    bool saved = Save_Settings();
    double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    holder.join();
    EXPECT_EQ(saved, hold_ms < 2000) << hold_ms;
    EXPECT_LT(took, 3.0);
    EXPECT_EQ(scratch.Read(FILE_NAME), saved ? "a\r\nb\r\n" + std::to_string(hold_ms) : before);
    before = scratch.Read(FILE_NAME);
    if (!saved) {
      EXPECT_GE(took, 1.5);
    }
  }
  EXPECT_EQ(scratch.Listing(), FILE_NAME);
}
#endif
