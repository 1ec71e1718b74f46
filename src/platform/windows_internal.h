// Private to the Windows files of the platform layer: UTF-16 at every call into
// Windows, the environment, the console state that starting a program shares
// with the console, and the relay of a program's input.

#pragma once

#include <windows.h>

#include <string>

// `s`, UTF-8, as UTF-16; with MB_ERR_INVALID_CHARS in `flags` a text that is
// not well formed gives "".
inline std::wstring Widen(const std::string& s, DWORD flags = 0) {
  if (s.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, flags, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(CP_UTF8, flags, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

// `w`, UTF-16, as UTF-8.
inline std::string Narrow(const std::wstring& w) {
  if (w.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                      nullptr);
  return s;
}

// The value of the environment variable `name`, "" when it is not set.
inline std::wstring Environment_Variable(const wchar_t* name) {
  DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
  std::wstring value(n, L'\0');
  if (n) value.resize(GetEnvironmentVariableW(name, value.data(), n));
  return value;
}

// `path` made absolute as Windows resolves it; "" when it cannot be had.
inline std::wstring Full_Path(const std::wstring& path) {
  std::wstring full(32768, L'\0');
  DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  full.resize(n > 0 && n < full.size() ? n : 0);
  return full;
}

// Whether the working directory is a network path (\\\\server\\share), which
// the command interpreter refuses as its own.
inline bool Working_Directory_Is_Unc() {
  wchar_t dir[3] = {};
  DWORD n = GetCurrentDirectoryW(3, dir);
  return n >= 2 && dir[0] == L'\\' && dir[1] == L'\\';
}

// Starts `app` with the command line `line`, in `dir` when it is given; its
// standard input is `input` and its standard error `error` where they are
// given, its other streams this process's. In programs_windows.cpp.
bool Create_Process(const std::wstring& app, std::wstring& line, const wchar_t* dir, HANDLE input,
                    PROCESS_INFORMATION& pi, HANDLE error = nullptr, DWORD flags = 0);

// Whether `h` is a console (not a file or a pipe). In console_windows.cpp.
bool Is_Console(HANDLE h);

// Set the console's input code page, and its output code page, returning
// the one before; the code pages that Tivex found are given back at its exit
// all the same. In console_windows.cpp.
void Use_Input_Code_Page(UINT cp);
UINT Use_Output_Code_Page(UINT cp);

// Bracket a child that shares the console: meanwhile Ctrl+C and Ctrl+Break
// are the child's, and this process lives on; for a second after a child
// that `took_interrupts` (one that a user may mean to interrupt: not cls or
// title), whose Ctrl+C may reach this process late. In console_windows.cpp.
void Child_Starts();
void Child_Ended(bool took_interrupts = true);

// Where the console cannot hand typed text to ReadFile as UTF-8 (as the probe
// of Prepare_Program_Input found) and the program at `program` reads no
// single keys from the console: the read end of a pipe, to be the program's
// standard input, into which a thread relays what is typed at the console,
// line by line, as UTF-8; Ctrl+Z at the start of a line ends one read. The caller
// closes it once the program holds its own copy, so that the relay's writes
// fail when the program has ended. nullptr where the program keeps the
// console. In program_input_windows.cpp.
HANDLE Begin_Input_Relay(const std::wstring& program);

// The creation flags for the program: suspended where Begin_Input_Relay
// found that it keeps a console that hands ReadFile no UTF-8, until
// Program_Input_Started has loaded into it ConsoleReader.dll, which answers
// its reads of lines in UTF-8.
unsigned long Program_Start_Flags();

// Tells the relay the program whose input it is, and lets it run.
void Program_Input_Started(const PROCESS_INFORMATION& pi);

// Once the program has ended: stops the relay (nothing when none runs).
void End_Input_Relay();
