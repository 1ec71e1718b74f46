// Stands in for a beginner's records homework on Windows: says whether its
// standard input is the console, reads one key with _getch and then a line
// with cin, and writes the key's code, the line's bytes, and whether
// ConsoleReader.dll answered the line.

#include <conio.h>
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>

int main() {
  DWORD mode = 0;
  bool console = GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode);
  std::printf("key_program ran, input from %s\n", console ? "the console" : "elsewhere");
  std::fflush(stdout);
  int key = _getch();
  std::printf("key %d\n", key);
  std::fflush(stdout);
  std::string line;
  std::getline(std::cin, line);
  std::printf("line");
  for (unsigned char c : line) std::printf(" %02x", c);
  std::printf(" %s\n", GetModuleHandleW(L"ConsoleReader.dll") ? "with the reader" : "as it is");
  return 0;
}
