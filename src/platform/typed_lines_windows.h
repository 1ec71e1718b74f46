// Windows: what a console's line reader makes of the text that ReadConsoleW
// read, for the two that stand in for it (the relay and ConsoleReader.dll).

#pragma once

#include <windows.h>

#include <string>

// What carries over from one read of the console to the next.
struct Typed_Lines {
  bool line_start = true;  // the next character begins a line
  bool dropping = false;   // the rest of a line after a Ctrl+Z
  wchar_t held = 0;        // a surrogate whose pair the next read brings
};

// Takes `got` characters read from the console as its line reader does, into
// `out` (behind a surrogate held from the last read): false when the read
// starts a line with Ctrl+Z, which ends one read of input. A Ctrl+Z inside a
// line ends the line's text; the rest of the line is dropped.
inline bool Take_Typed_Text(Typed_Lines& s, const wchar_t* read, DWORD got, std::wstring& out) {
  out.clear();
  if (got == 0) return true;
  if (s.line_start && read[0] == 0x1A) return false;
  if (s.held != 0) out += s.held;
  s.held = 0;
  out.append(read, got);
  bool ends_line = out.back() == L'\n';
  size_t z = s.dropping ? 0 : out.find(wchar_t{0x1A});
  if (z != std::wstring::npos) {
    s.dropping = !ends_line;
    out.resize(z);
  }
  s.line_start = ends_line;
  if (!out.empty() && IS_HIGH_SURROGATE(out.back())) s.held = out.back(), out.pop_back();
  return true;
}
