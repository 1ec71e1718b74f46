// Stands in for the programs that read Windows' console themselves, built
// once for each way: WIDE_READER reads a line with ReadConsoleW, U16_READER
// with fgetws after _setmode(_O_U16TEXT) (not under Wine), KEY_POLLER polls GetAsyncKeyState
// for a second, as a small game does. Each says whether its standard input is
// the console, then what it read.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

int main() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  std::printf("console_reader ran, input from %s\n",
              GetConsoleMode(in, &mode) ? "the console" : "elsewhere");
  std::fflush(stdout);
  wchar_t line[256] = {};
#if defined(WIDE_READER)
  DWORD got = 0;
  if (!ReadConsoleW(in, line, 255, &got, nullptr)) std::printf("ReadConsoleW failed: %lu\n", GetLastError());
#elif defined(U16_READER)
  // Wine's C runtime never returns from a console read in this mode.
  if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) {
    std::wcscpy(line, L"nothing under Wine");
  } else {
    _setmode(_fileno(stdin), _O_U16TEXT);
    if (!std::fgetws(line, 255, stdin)) std::printf("fgetws failed\n");
  }
#else
  for (int i = 0; i < 100; i++, Sleep(10)) GetAsyncKeyState('Q');
  std::wcscpy(line, L"polled");
#endif
  char text[1024] = {};
  WideCharToMultiByte(CP_UTF8, 0, line, -1, text, sizeof text, nullptr, nullptr);
  for (char* end = text + std::strlen(text); end > text && (end[-1] == '\n' || end[-1] == '\r');) *--end = 0;
  std::fflush(stdout);
  DWORD written = 0;
  std::string said = std::string("read ") + text + "\r\n";
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), said.data(), static_cast<DWORD>(said.size()), &written, nullptr);
  return 0;
}
