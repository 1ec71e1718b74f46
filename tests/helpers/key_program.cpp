// Stands in for a beginner's game on Windows: says whether its standard
// input is the console, reads one key with _getch and writes its code.

#include <conio.h>
#include <windows.h>

#include <cstdio>

int main() {
  DWORD mode = 0;
  bool console = GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode);
  std::printf("key_program ran, input from %s\n", console ? "the console" : "elsewhere");
  std::fflush(stdout);
  int key = _getch();
  std::printf("key %d\n", key);
  return 0;
}
