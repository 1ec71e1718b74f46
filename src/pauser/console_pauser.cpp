// ConsolePauser: runs a program, then tells how it ended and how long it ran,
// and keeps the window open until a key is pressed.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

std::string Seconds(double s) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3f", s);
  return buf;
}

// Says how the program ended and returns ConsolePauser's own status.
int Report(bool started, long status, int sig, const std::string& error, const std::string& path,
           double took) {
  if (!started) {
    std::cout << "无法启动程序“" << Visible(path) << "”：" << error << "\n";
    return 127;
  }
  std::cout << "\n" << std::string(40, '-') << "\n";
  if (sig != 0) {
    std::cout << "程序被信号 " << sig << "（" << Signal_Name(sig) << "）终止，用时 "
              << Seconds(took) << " 秒。\n";
    return 128 + sig;
  }
  // A Windows program that crashed ends with an exception code (0xC0000005).
  std::string crash = Exception_Text(static_cast<uint32_t>(status));
  if (!crash.empty()) {
    std::cout << "程序异常终止：" << crash << "，用时 " << Seconds(took) << " 秒。\n";
    return static_cast<int>(status);
  }
  // Windows hands the status over as 32 unsigned bits: "return -1;" is 0xFFFFFFFF.
  long returned = static_cast<int32_t>(static_cast<uint32_t>(status));
  std::cout << "程序已退出，返回值为 " << returned << "，用时 " << Seconds(took) << " 秒。\n";
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
  bool started = Run_Program(args[1], status, sig, error);
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  int result = Report(started, status, sig, error, args[1], took.count());
  Wait_For_Key_Press();
  return PAUSER_PASSES_STATUS ? result : 0;
}
