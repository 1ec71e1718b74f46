// Stands in for the cmd window that starts tivex on Windows: sets its
// console's code pages to 437, lives through Ctrl+C, runs the program named
// by its argument and waits for it, then writes the code pages it finds to
// code_pages.txt ("in=437 out=437").

#include <windows.h>

#include <cstdio>
#include <string>

BOOL WINAPI Live_On(DWORD) { return TRUE; }

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  SetConsoleCP(437);
  SetConsoleOutputCP(437);
  SetConsoleCtrlHandler(Live_On, TRUE);
  std::string line = "\"" + std::string(argv[1]) + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(argv[1], line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
    return 1;
  WaitForSingleObject(pi.hProcess, INFINITE);
  FILE* f = std::fopen("code_pages.txt", "w");
  if (f) std::fprintf(f, "in=%u out=%u\n", GetConsoleCP(), GetConsoleOutputCP());
  if (f) std::fclose(f);
  return 0;
}
