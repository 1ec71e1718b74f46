// ConsolePauser: runs a program, then tells how it ended, how long it ran and
// what it cost, and keeps the window open until a key is pressed.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/errors.h"
#include "platform/programs.h"
#include "platform/text.h"

namespace {

std::string Seconds(double s) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3f", s);
  return buf;
}

// The line on what the run cost, without the figures that are unknown (-1);
// "" when neither is known.
std::string Cost_Line(double cpu, double peak_mb) {
  char mb[64];
  std::snprintf(mb, sizeof mb, "%.1f", peak_mb);
  std::string cpu_part = cpu >= 0 ? "CPU 时间 " + Seconds(cpu) + " 秒" : "";
  std::string memory_part = peak_mb >= 0 ? std::string("内存峰值 ") + mb + " MB" : "";
  if (cpu_part.empty() && memory_part.empty()) return "";
  std::string joined = cpu_part.empty() || memory_part.empty() ? "" : "，";
  return cpu_part + joined + memory_part + "。\n";
}

// How the program ended: the line and ConsolePauser's own status.
int End_Line(long status, int sig, double took, std::string& line) {
  if (sig != 0) {
    line = "程序被信号 " + std::to_string(sig) + "（" + Signal_Name(sig) + "）终止，用时 " +
           Seconds(took) + " 秒。\n";
    return 128 + sig;
  }
  // A Windows program that crashed ends with an exception code (0xC0000005).
  std::string crash = Exception_Text(static_cast<uint32_t>(status));
  if (!crash.empty()) {
    line = "程序异常终止：" + crash + "，用时 " + Seconds(took) + " 秒。\n";
    return static_cast<int>(status);
  }
  // Windows hands the status over as 32 unsigned bits: "return -1;" is 0xFFFFFFFF.
  long returned = static_cast<int32_t>(static_cast<uint32_t>(status));
  line = "程序已退出，返回值为 " + std::to_string(returned) + "，用时 " + Seconds(took) + " 秒。\n";
  return static_cast<int>(status);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args = Program_Arguments(argc, argv);
  Setup_Console();
  if (args.size() != 2) {
    std::cout << "用法：ConsolePauser 程序路径\n";
    return 2;
  }
  Set_Window_Title(Visible(Last_Component(args[1])));
  Prepare_Program_Input();
  std::cout.flush();
  auto start = std::chrono::steady_clock::now();
  long status = 0;
  int sig = 0;
  std::string error;
  double cpu = -1, peak_mb = -1;
  bool started = Run_Program(args[1], status, sig, error, cpu, peak_mb);
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  int result = 127;
  if (started) {
    std::string line;
    result = End_Line(status, sig, took.count(), line);
    std::string cause = Crash_Cause(static_cast<unsigned long>(status), sig);
    if (!cause.empty()) line += cause + "\n";
    std::cout << "\n" << std::string(40, '-') << "\n" << line << Cost_Line(cpu, peak_mb);
  } else {
    std::cout << "无法启动程序“" << Visible(args[1]) << "”：" << error << "\n";
    std::string hint = Start_Failure_Hint(args[1]);
    if (!hint.empty()) std::cout << hint << "\n";
  }
  Wait_For_Key_Press();
  return PAUSER_PASSES_STATUS ? result : 0;
}
