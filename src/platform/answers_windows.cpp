// Windows: reading an answer, from the console in UTF-16 (ReadConsoleW) or from
// redirected input a line at a time.

#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "platform/answers.h"
#include "platform/console.h"
#include "platform/console_internal.h"
#include "platform/errors_internal.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "platform/windows_internal.h"

namespace {

// A console hands over UTF-16; with input code page 65001 many consoles would
// turn every non-ASCII character of a narrow read into a NUL byte.
bool Read_Console_Line(std::string& s) {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring line;
  // The console takes no more keys than the read has room for: room for one
  // character more than an answer may have, and the line end, so that a
  // longer one is refused rather than cut.
  std::vector<wchar_t> buf(LONGEST_LINE + 3);
  while (line.empty() || (line.back() != L'\n' && line[0] != 0x1A)) {
    DWORD got = 0;
    if (!ReadConsoleW(in, buf.data(), static_cast<DWORD>(buf.size()), &got, nullptr)) {
      // Consoles before Windows 8 read through a heap of 64 KB.
      if (GetLastError() != ERROR_NOT_ENOUGH_MEMORY || buf.size() <= 1024) break;
      buf.resize(1024);
      continue;
    }
    if (got == 0) break;
    line.append(buf.data(), got);
  }
  // Nothing at all is the end of the console's input. A line of Ctrl+Z,
  // which ends a program's input, is an answer here (an invalid one):
  // beginners press it to undo.
  if (line.empty()) return false;
  if (line.back() == L'\n') line.pop_back();
  if (!line.empty() && line.back() == L'\r') line.pop_back();
  s = Narrow(line);
  return true;
}

// Redirected input is bytes, read by ReadFile past the C runtime.
long Read_Redirected(char* buf, size_t size) {
  DWORD n = 0;
  if (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buf, static_cast<DWORD>(size), &n, nullptr))
    return static_cast<long>(n);
  // A pipe whose writer is gone has ended; anything else is an error.
  DWORD err = GetLastError();
  if (err == ERROR_BROKEN_PIPE || err == ERROR_HANDLE_EOF) return 0;
  std::cerr << "tivex: " << Call_Error("ReadFile", err) << std::endl;
  return -1;
}

void Give_Back_Input(long rest) {
  LARGE_INTEGER back;
  back.QuadPart = -static_cast<LONGLONG>(rest);
  SetFilePointerEx(GetStdHandle(STD_INPUT_HANDLE), back, nullptr, FILE_CURRENT);
}

}  // namespace

bool Platform_Read_Line(std::string& s, Input_Kind) {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  if (Is_Console(in)) return Read_Console_Line(s);
  static const bool seekable = GetFileType(in) == FILE_TYPE_DISK;
  return Read_Line_Through(s, seekable, Read_Redirected, Give_Back_Input);
}
