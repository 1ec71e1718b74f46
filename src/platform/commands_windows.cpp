// Windows: the compile through the real command interpreter; cls, pause,
// title and the "start" lines in this process, as the interpreter does them.

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "platform/commands.h"
#include "platform/console.h"
#include "platform/errors_internal.h"
#include "platform/text.h"
#include "platform/text_internal.h"
#include "platform/windows_internal.h"

// Notepad opens a file at its start; Ctrl+G then goes to a line.
const bool EDITOR_TAKES_A_PLACE = false;

namespace {

std::wstring Interpreter_Path() {
  std::wstring path = Environment_Variable(L"ComSpec");
  if (!path.empty()) return path;
  wchar_t dir[MAX_PATH];
  UINT len = GetSystemDirectoryW(dir, MAX_PATH);
  return std::wstring(dir, len) + L"\\cmd.exe";
}

std::string CAPTURED;  // what the last "cmd /c" line wrote on standard error
const size_t CAPTURE_LIMIT = 1 << 20;

// How much of `bytes` ends on a whole character of the code page `cp`: a
// console shows a character split between two writes as two wrong ones.
size_t Whole_Characters(const std::string& bytes, UINT cp) {
  if (cp == CP_UTF8) return Complete_Utf8_Prefix(bytes);
  size_t i = 0;
  while (i < bytes.size()) {
    size_t next = i + (IsDBCSLeadByteEx(cp, static_cast<BYTE>(bytes[i])) ? 2 : 1);
    if (next > bytes.size()) return i;
    i = next;
  }
  return i;
}

// Copies what comes from `reader` to standard error, in whole characters,
// until nobody writes there any more, keeping the first CAPTURE_LIMIT bytes
// in CAPTURED.
void Relay_Errors(HANDLE reader) {
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  std::string pending;
  char buf[4096];
  DWORD n = 0, written = 0;
  while (ReadFile(reader, buf, sizeof buf, &n, nullptr) && n > 0) {
    CAPTURED.append(buf, std::min<size_t>(n, CAPTURE_LIMIT - CAPTURED.size()));
    pending.append(buf, n);
    size_t whole = Is_Console(err) ? Whole_Characters(pending, GetConsoleOutputCP()) : pending.size();
    if (whole > 0) WriteFile(err, pending.data(), static_cast<DWORD>(whole), &written, nullptr);
    pending.erase(0, whole);
  }
  if (!pending.empty())
    WriteFile(err, pending.data(), static_cast<DWORD>(pending.size()), &written, nullptr);
}

// A line "cmd /c..." is the interpreter's own command line: _wsystem would
// hand it to a second interpreter, which pairs the quotes the wrong way and
// splits paths at "&". Its result is the interpreter's exit code; its
// standard error reaches ours through CAPTURED.
int Run_Interpreter(const std::string& t) {
  CAPTURED.clear();
  HANDLE reader = nullptr, writer = nullptr;
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  if (!CreatePipe(&reader, &writer, &inherited, 0)) reader = writer = nullptr;
  if (reader) SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
  std::wstring line = Widen(t);
  // It would say that it refuses a network folder, and start in the Windows
  // folder all the same; the compile's paths are whole there.
  wchar_t windows_dir[MAX_PATH + 1] = {};
  bool unc = Working_Directory_Is_Unc() && GetWindowsDirectoryW(windows_dir, MAX_PATH + 1) > 0;
  PROCESS_INFORMATION pi{};
  Child_Starts();
  bool started =
      Create_Process(Interpreter_Path(), line, unc ? windows_dir : nullptr, nullptr, pi, writer);
  DWORD err = started ? 0 : GetLastError(), code = 0;
  if (writer) CloseHandle(writer);
  if (reader && started) Relay_Errors(reader);
  if (reader) CloseHandle(reader);
  if (started) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  Child_Ended();
  if (started) return static_cast<int>(code);
  std::cerr << "tivex: " << Call_Error("CreateProcessW", err) << std::endl;
  return -1;
}

// Clears the console's whole screen buffer and puts the cursor home; where
// standard output is no console, writes the form feed that cls writes.
void Clear_Console() {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(out, &info)) {
    Write("\f");
    return;
  }
  DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y), done = 0;
  COORD home{0, 0};
  FillConsoleOutputCharacterW(out, L' ', cells, home, &done);
  FillConsoleOutputAttribute(out, info.wAttributes, cells, home, &done);
  SetConsoleCursorPosition(out, home);
}

// `word` as one argument of a command line; a Windows path holds no quote.
std::wstring Quoted(const std::string& word) { return L"\"" + Widen(word) + L"\""; }

// Starts words[1] with the arguments after it in a console of its own,
// titled words[0], and returns as soon as it has started: 0, or the error
// number when it cannot be started, which it tells on standard error.
int Start_In_New_Console(const std::vector<std::string>& words) {
  if (words.size() < 2) return ERROR_INVALID_PARAMETER;
  std::wstring title = Widen(words[0]), line;
  for (size_t i = 1; i < words.size(); i++) line += (i > 1 ? L" " : L"") + Quoted(words[i]);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.lpTitle = title.data();
  PROCESS_INFORMATION pi{};
  // As the interpreter's start: the program is the file named, never one
  // found on PATH, and it gets no handle of this process.
  if (!CreateProcessW(Widen(words[1]).c_str(), line.data(), nullptr, nullptr, FALSE,
                      CREATE_NEW_CONSOLE, nullptr, nullptr, &si, &pi)) {
    DWORD err = GetLastError();
    std::cerr << "tivex: " << Call_Error("CreateProcessW", err) << " (" << Visible(words[1]) << ")"
              << std::endl;
    return static_cast<int>(err);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 0;
}

}  // namespace

const std::string& Captured_Errors() { return CAPTURED; }

void Set_Editor_Place(int, int, int) {}

int Platform_System(const std::string& t, const std::vector<std::string>& words) {
  if (Starts_With(t, "cmd /c")) return Run_Interpreter(t);
  if (t == "cls") {
    Clear_Console();
    return 0;
  }
  if (t == "pause") {
    Wait_For_Key_Press();
    return 0;
  }
  if (Starts_With(t, "title ")) {
    Set_Window_Title(t.substr(6));
    return 0;
  }
  if (Starts_With(t, "start ")) return Start_In_New_Console(words);
  // The editor: Notepad, through the interpreter as ever.
  Child_Starts();
  int result = _wsystem(Widen(t).c_str());
  Child_Ended();
  return result;
}
