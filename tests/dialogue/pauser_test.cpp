// ConsolePauser: the program's own output, then a rule, its return value and
// its run time, then the key wait.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "dialogue/harness.h"
#include "unit/scratch.h"

namespace {

const std::string KEY_WAIT = "请按任意键继续. . .\n";

// On Windows the pauser ends with 0 whatever the program did, so that
// Windows Terminal closes its tab on the key press.
int Pauser_Status(int program_status) { return Under_Wine() ? 0 : program_status; }

// What the report names: the run time, the CPU time and the peak memory.
struct Figures {
  double took = -1, cpu = -1, peak_mb = -1;
};

// Checks the report around its figures and returns them.
Figures Expect_Report(const std::string& out, const std::string& before, int status) {
  Figures f;
  std::string head = Lane(before + "\n" + std::string(40, '-') + "\n程序已退出，返回值为 " +
                          std::to_string(status) + "，用时 ");
  std::string tail = Lane(" MB。\n" + KEY_WAIT);
  EXPECT_EQ(out.substr(0, head.size()), head);
  // On Windows a C runtime's abort ends a program with 3 too.
  std::string next = Under_Wine() && status == 3 ? "可能的原因：如果程序没有自己 return 3" : "CPU 时间 ";
  size_t line_end = out.find(Lane(" 秒。\n"), head.size()) + Lane(" 秒。\n").size();
  EXPECT_EQ(out.compare(line_end, next.size(), next), 0) << out;
  size_t cost = out.find(Lane("\nCPU 时间 "), head.size()) - Lane(" 秒。").size();
  size_t memory = out.find("，内存峰值 ", cost);
  EXPECT_NE(memory, std::string::npos) << out;
  if (memory == std::string::npos || out.size() < memory + tail.size()) return f;
  EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
  f.took = std::atof(out.substr(head.size()).c_str());
  f.cpu = std::atof(out.substr(cost + Lane(" 秒。\nCPU 时间 ").size()).c_str());
  f.peak_mb = std::atof(out.substr(memory + std::string("，内存峰值 ").size()).c_str());
  return f;
}

}  // namespace

TEST(ConsolePauser, ReportsTheReturnValueAndAPlausibleRunTime) {
  Scratch dir;
  // "return -1;" is -1 on Windows, where a status has 32 bits, and 255 here.
  for (int status : {0, 3, 255, -1}) {
    Place_Program(dir, Exe("prog"), std::to_string(status));
    Outcome o = Run_Pauser(dir.Dir(), {Exe("prog")});
    int told = status == -1 && !Under_Wine() ? 255 : status;
    double took = Expect_Report(o.out, "fake_program ran\n", told).took;
    EXPECT_GE(took, 0.0);
    EXPECT_LT(took, 10.0);
    EXPECT_EQ(o.status, Pauser_Status(told));
  }
  Place_Program(dir, Exe("prog"), "sleep 4");
  double took = Expect_Report(Run_Pauser(dir.Dir(), {Exe("prog")}).out, "fake_program ran\n", 4).took;
  EXPECT_GE(took, 0.3);
  EXPECT_LT(took, 10.0);
}

// The CPU time and the peak memory, against what the program counted itself.
TEST(ConsolePauser, TellsWhatTheRunCost) {
  Scratch dir;
  Place_Program(dir, Exe("prog"), "work");
  Outcome o = Run_Pauser(dir.Dir(), {Exe("prog")});
  Figures f = Expect_Report(o.out, "fake_program ran\n", 0);
  double cpu = 0, peak_mb = 0;
  std::istringstream(dir.Read("work.txt")) >> cpu >> peak_mb;
  EXPECT_GE(cpu, 0.5);
  EXPECT_GE(peak_mb, 64.0);
  EXPECT_NEAR(f.cpu, cpu, 0.05 * cpu + 0.01) << o.out;
  EXPECT_NEAR(f.peak_mb, peak_mb, 0.05 * peak_mb) << o.out;
  EXPECT_GE(f.took, f.cpu * 0.95);
}

// A small program's peak is its own, well below ConsolePauser's: a start
// that borrows ConsolePauser's memory (vfork) lends it nearly all of that.
TEST(ConsolePauser, TellsASmallProgramsOwnPeak) {
#ifndef TINY_PROGRAM
  GTEST_SKIP() << "the small program is built on Linux";
#else
  if (Under_Wine()) GTEST_SKIP() << "Windows counts each process's working set apart";
  Scratch dir;
  dir.Write("tiny", Read_File(TINY_PROGRAM));
  ASSERT_EQ(chmod(dir.Path("tiny").c_str(), 0755), 0);
  Outcome o = Run_Pauser(dir.Dir(), {"tiny"});
  Figures f = Expect_Report(o.out, "", 0);
  double own_kib = 0, pauser_kib = 0;
  std::istringstream(dir.Read("tiny.txt")) >> own_kib >> pauser_kib;
  EXPECT_NEAR(f.peak_mb, own_kib / 1024, 0.1) << o.out;
  EXPECT_LT(f.peak_mb, 0.75 * pauser_kib / 1024) << o.out;
#endif
}

TEST(ConsolePauser, PathWithBlanksAndChineseIsOnePath) {
  Scratch dir;
  dir.Mkdir("我的 目录");
  Place_Program(dir, "我的 目录/" + Exe("程序 一"), "7");
  Outcome o = Run_Pauser(dir.Dir(), {Tivex_Path(dir.Path("我的 目录/" + Exe("程序 一")))});
  Expect_Report(o.out, "fake_program ran\n", 7);
  EXPECT_EQ(o.status, Pauser_Status(7));
  // It ran in its own folder, where it finds the files beside it.
  EXPECT_EQ(dir.Read("我的 目录/program_ran.txt"), "fake_program ran\n");
  EXPECT_FALSE(dir.Exists("program_ran.txt"));
  o = Run_Pauser(dir.Dir(), {"我的 目录/" + Exe("程序 一")});
  Expect_Report(o.out, "fake_program ran\n", 7);
}

TEST(ConsolePauser, BareNameIsNotLookedUpOnPathAndControlsInItAreShown) {
  Scratch dir;
  Outcome o = Run_Pauser(dir.Dir(), {"ls"});
  EXPECT_EQ(o.out.find(Lane("无法启动程序“ls”：")), 0u) << o.out;
  o = Run_Pauser(dir.Dir(), {"l\x1b[2Js"});
  EXPECT_EQ(o.out.find(Lane("无法启动程序“l^[[2Js”：")), 0u) << o.out;
  EXPECT_NE(o.out.find(Lane(KEY_WAIT)), std::string::npos);
  EXPECT_EQ(o.status, Pauser_Status(127));
}

TEST(ConsolePauser, ProgramThatCannotStartGetsOneLine) {
  Scratch dir;
  dir.Write(Exe("text"), "not a program");
  Outcome o = Run_Pauser(dir.Dir(), {Exe("text")});
  std::string first = o.out.substr(0, o.out.find('\n') + 1);
  EXPECT_EQ(first.find("无法启动程序“" + Exe("text") + "”："), 0u) << o.out;
  EXPECT_EQ(o.out.substr(first.size()), Lane(KEY_WAIT));
  EXPECT_EQ(o.status, Pauser_Status(127));
}

// How the program ended, then what probably caused it, before the figures.
TEST(ConsolePauser, CrashIsToldInWordsAPersonCanRead) {
  Scratch dir;
  const struct {
    std::string kind, posix, windows, cause;
  } rows[] = {
      {"crash", "程序被信号 11（段错误）终止", "程序异常终止：0xC0000005（访问冲突）", "数组下标越界"},
      {"recurse", "程序被信号 11（段错误）终止", "0xC00000FD（栈溢出）", "递归没有终止"},
      {"divide", "程序被信号 8（算术错误，例如整数除以零）终止", "0xC0000094（整数除以零）",
       "整数除以 0"},
      {"abort", "程序被信号 6（程序中止）终止", "程序已退出，返回值为 3", "std::out_of_range"},
      {"kill", "程序被信号 9（被强制结束）终止", "", "内存用完了"}};
  for (const auto& row : rows) {
    if (Under_Wine() && row.windows.empty()) continue;
    Place_Program(dir, Exe("prog"), row.kind);
    Outcome o = Run_Pauser(dir.Dir(), {Exe("prog")});
    size_t told = o.out.find(Under_Wine() ? row.windows : row.posix);
    size_t cause = o.out.find(Lane("秒。\n可能的原因："), told);
    EXPECT_NE(told, std::string::npos) << o.out;
    EXPECT_NE(cause, std::string::npos) << o.out;
    EXPECT_LT(o.out.find(row.cause, cause), o.out.find("CPU 时间", cause)) << o.out;
  }
}

TEST(ConsolePauser, WithoutAProgramItSaysHowToUseIt) {
  Scratch dir;
  Outcome o = Run_Pauser(dir.Dir(), {});
  EXPECT_EQ(o.out, Lane("用法：ConsolePauser 程序路径\n"));
  EXPECT_EQ(o.status, 2);
}
