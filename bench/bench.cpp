// How long the typewriter and the waits really take, against nominal: Print
// of 1, 73 and 1000 bytes (one millisecond a byte), Wait of 0.001, 0.01 and
// 2.5 seconds, and the screens of a session without a compile with their
// cls, pause and title. Prints one table of measured / nominal ratios.

#include <chrono>
#include <cstdio>
#include <functional>
#include <iostream>
#include <streambuf>
#include <string>

#include "console/console.h"
#include "platform/commands.h"
#include "platform/console.h"

namespace {

// Swallows what Print writes, so only its pauses are timed.
class Null_Buf : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// Mean seconds of `reps` runs of `work`.
double Time(int reps, const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < reps; i++) work();
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  return took.count() / reps;
}

void Row(const std::string& what, double nominal, double measured) {
  std::printf("%-22s %12.3f ms %12.3f ms %8.3f\n", what.c_str(), nominal * 1000, measured * 1000,
              measured / nominal);
}

// What a session without a compile shows: the title, twelve menu screens
// after their cls, and three pauses (which wait for no key when standard
// input is not a terminal: run it with input from /dev/null or NUL). Returns
// its nominal seconds, one millisecond for each byte typed out.
double Session() {
  const char* const items[] = {"1. 编辑 C++ 文件", "2. 运行 C++ 程序", "3. 设置", "4. 保存信息并退出"};
  size_t bytes = 0;
  System("title Yolvar");
  for (int screen = 0; screen < 12; screen++) {
    System("cls");
    for (const char* item : items) {
      Print(item, 1);
      bytes += std::string(item).size();
    }
    if (screen % 4 == 3) System("pause");
  }
  return static_cast<double>(bytes) / 1000;
}

}  // namespace

int main() {
  Setup_Console();
  std::printf("%-22s %15s %15s %8s\n", "operation", "nominal", "measured", "ratio");
  Null_Buf null;
  std::streambuf* old = std::cout.rdbuf(&null);
  struct {
    int bytes, reps;
  } prints[] = {{1, 200}, {73, 20}, {1000, 3}};
  double results[3];
  for (int i = 0; i < 3; i++) {
    std::string text(prints[i].bytes, 'x');
    results[i] = Time(prints[i].reps, [&] { Print(text, 1); });
  }
  double session_nominal = 0;
  double session = Time(1, [&] { session_nominal = Session(); });
  std::cout.rdbuf(old);
  for (int i = 0; i < 3; i++)
    Row("Print " + std::to_string(prints[i].bytes) + " bytes", prints[i].bytes * 0.001, results[i]);
  struct {
    double seconds;
    int reps;
  } waits[] = {{0.001, 200}, {0.01, 20}, {2.5, 1}};
  for (auto w : waits) {
    char name[32];
    std::snprintf(name, sizeof name, "Wait %g s", w.seconds);
    Row(name, w.seconds, Time(w.reps, [&] { Wait(w.seconds); }));
  }
  Row("Session, no compile", session_nominal, session);
  return 0;
}
