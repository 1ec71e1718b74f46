// Windows: the console, files and command lines through Win32, UTF-16 at every
// call into Windows.

#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "platform/platform.h"

const char PATH_SEPARATOR = '\\';
const char* const EXE_SUFFIX = ".exe";

namespace {

std::wstring Widen(const std::string& s, DWORD flags = 0) {
  if (s.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, flags, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(CP_UTF8, flags, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::string Narrow(const std::wstring& w) {
  if (w.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                      nullptr);
  return s;
}

// The system's own text for `err`, in UTF-8, without its line end.
std::string System_Text(DWORD err) {
  wchar_t* buf = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, err, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  std::wstring w = n ? std::wstring(buf, n) : L"error " + std::to_wstring(err);
  if (buf) LocalFree(buf);
  while (!w.empty() && (w.back() == L'\r' || w.back() == L'\n' || w.back() == L' ')) w.pop_back();
  return Narrow(w);
}

std::string Call_Error(const char* call, DWORD err) {
  return std::string(call) + ": " + System_Text(err);
}

// The failed call and the system's text for the last error.
std::string Error_Text(const char* call) { return Call_Error(call, GetLastError()); }

bool Stdin_Is_Console() {
  DWORD mode;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

// A console hands over UTF-16; with input code page 65001 many consoles would
// turn every non-ASCII character of a narrow read into a NUL byte.
bool Read_Console_Line(std::string& s) {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring line;
  wchar_t buf[1024];
  while (line.empty() || line.back() != L'\n') {
    DWORD got = 0;
    if (!ReadConsoleW(in, buf, 1024, &got, nullptr) || got == 0) break;
    line.append(buf, got);
  }
  // Ctrl+Z at the start of a line is the console's end of input.
  if (line.empty() || line[0] == 0x1A) return false;
  if (line.back() == L'\n') line.pop_back();
  if (!line.empty() && line.back() == L'\r') line.pop_back();
  s = Narrow(line);
  return true;
}

bool Read_Redirected_Line(std::string& s) {
  static bool binary = false;
  if (!binary) {
    // Redirected input is bytes: no CR LF folding and no Ctrl+Z end by the runtime.
    _setmode(_fileno(stdin), _O_BINARY);
    binary = true;
  }
  s.clear();
  if (!std::getline(std::cin, s) && s.empty()) return false;
  if (!s.empty() && s.back() == '\r') s.pop_back();
  return true;
}

HANDLE Sleep_Timer() {
  static HANDLE timer = [] {
    HANDLE h = CreateWaitableTimerExW(nullptr, nullptr, 0x00000002 /* HIGH_RESOLUTION */,
                                      TIMER_ALL_ACCESS);
    return h ? h : CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
  }();
  return timer;
}

}  // namespace

void Setup_Console() {
  SetConsoleOutputCP(65001);
  SetConsoleCP(65001);
  timeBeginPeriod(1);
}

void Sleep_For(long sec, long nsec) {
  LARGE_INTEGER due;
  // Negative: relative time, in units of 100 ns.
  due.QuadPart = -(static_cast<LONGLONG>(sec) * 10000000 + nsec / 100);
  HANDLE timer = Sleep_Timer();
  if (timer && SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
    WaitForSingleObject(timer, INFINITE);
    return;
  }
  Sleep(static_cast<DWORD>(sec * 1000 + (nsec + 999999) / 1000000));
}

bool Platform_Read_Line(std::string& s) {
  return Stdin_Is_Console() ? Read_Console_Line(s) : Read_Redirected_Line(s);
}

int Platform_System(const std::string& t) {
  return _wsystem(Widen(t).c_str());
}

Path_Kind Platform_Path_Status(const std::string& p) {
  std::wstring w = Widen(p, MB_ERR_INVALID_CHARS);
  DWORD attrs = GetFileAttributesW(w.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) return PATH_MISSING;
  if (attrs & FILE_ATTRIBUTE_REPARSE_POINT) {
    // A link: what counts is what it leads to.
    HANDLE h = CreateFileW(w.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return PATH_MISSING;
    BY_HANDLE_FILE_INFORMATION info;
    bool ok = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!ok) return PATH_MISSING;
    attrs = info.dwFileAttributes;
  }
  if (attrs & FILE_ATTRIBUTE_DIRECTORY) return PATH_DIRECTORY;
  if (attrs & FILE_ATTRIBUTE_DEVICE) return PATH_OTHER;
  return PATH_FILE;
}

bool Platform_Is_Executable(const std::string&) { return true; }

std::string Create_New_File(const std::string& p) {
  HANDLE h = CreateFileW(Widen(p).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return System_Text(GetLastError());
  CloseHandle(h);
  return "";
}

namespace {

// Writes all of `data` to `h` and flushes it to disk; "" or what failed.
std::string Write_And_Flush(HANDLE h, const std::string& data) {
  DWORD size = static_cast<DWORD>(Fault_At("write") ? data.size() / 2 : data.size());
  DWORD written = 0;
  if (!WriteFile(h, data.data(), size, &written, nullptr)) return Error_Text("WriteFile");
  if (written < data.size()) return Call_Error("WriteFile", ERROR_WRITE_FAULT);
  if (Fault_At("flush")) return Call_Error("FlushFileBuffers", ERROR_WRITE_FAULT);
  if (!FlushFileBuffers(h)) return Error_Text("FlushFileBuffers");
  return "";
}

}  // namespace

std::string Write_New_File(const std::string& p, const std::string& data) {
  if (Fault_At("create")) return Call_Error("CreateFileW", ERROR_ACCESS_DENIED);
  std::wstring w = Widen(p);
  HANDLE h = CreateFileW(w.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return Error_Text("CreateFileW");
  std::string error = Write_And_Flush(h, data);
  CloseHandle(h);
  if (!error.empty()) DeleteFileW(w.c_str());
  return error;
}

std::string Replace_File(const std::string& from, const std::string& to) {
  if (Fault_At("rename")) return Call_Error("MoveFileExW", ERROR_ACCESS_DENIED);
  std::wstring wf = Widen(from), wt = Widen(to);
  DWORD attrs = GetFileAttributesW(wt.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) &&
      !RemoveDirectoryW(wt.c_str()))
    return Error_Text("RemoveDirectoryW");
  const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
  if (MoveFileExW(wf.c_str(), wt.c_str(), flags)) return "";
  std::string error = Error_Text("MoveFileExW");
  const DWORD blocking = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & blocking)) return error;
  // The old file's attributes may forbid the replace: clear them and try once more.
  SetFileAttributesW(wt.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (MoveFileExW(wf.c_str(), wt.c_str(), flags)) return "";
  error = Error_Text("MoveFileExW");
  SetFileAttributesW(wt.c_str(), attrs);
  return error;
}

void Remove_File(const std::string& p) { DeleteFileW(Widen(p).c_str()); }

void Hide_File(const std::string& p) {
  SetFileAttributesW(Widen(p).c_str(), FILE_ATTRIBUTE_HIDDEN);
}

std::string Temp_Name_Beside(const std::string& p) {
  return p + "." + std::to_string(GetCurrentProcessId()) + ".tmp";
}

std::vector<std::string> Program_Arguments(int, char**) {
  int n = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
  std::vector<std::string> args;
  for (int i = 0; wide && i < n; i++) args.push_back(Narrow(wide[i]));
  if (wide) LocalFree(wide);
  return args;
}

bool Run_Program(const std::string& path, long& status, int& sig, std::string& error) {
  std::wstring app = Widen(path);
  std::wstring line = L"\"" + app + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  // With the application name given, Windows does not search PATH for it.
  if (!CreateProcessW(app.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                      &pi)) {
    error = System_Text(GetLastError());
    return false;
  }
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  status = static_cast<long>(code);
  sig = 0;
  return true;
}

std::string Signal_Name(int sig) { return "signal " + std::to_string(sig); }

namespace {

// Waits for one key press on the console; modifier keys alone do not count.
void Read_Console_Key(HANDLE in) {
  // Keys typed while the program ran must not close the window at once.
  FlushConsoleInputBuffer(in);
  INPUT_RECORD rec;
  DWORD got = 0;
  while (ReadConsoleInputW(in, &rec, 1, &got) && got == 1) {
    if (rec.EventType != KEY_EVENT || !rec.Event.KeyEvent.bKeyDown) continue;
    WORD key = rec.Event.KeyEvent.wVirtualKeyCode;
    if (key != VK_SHIFT && key != VK_CONTROL && key != VK_MENU) return;
  }
}

}  // namespace

void Wait_For_Key_Press() {
  std::cout << KEY_PROMPT;
  std::cout.flush();
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode;
  if (GetConsoleMode(in, &mode)) Read_Console_Key(in);
  std::cout << "\n";
}

void Put_First_On_Path(const std::string& dir) {
  std::wstring w = Widen(dir);
  DWORD n = GetEnvironmentVariableW(L"PATH", nullptr, 0);
  std::wstring path(n, L'\0');
  if (n) path.resize(GetEnvironmentVariableW(L"PATH", path.data(), n));
  if (path.compare(0, w.size() + 1, w + L";") == 0) return;
  SetEnvironmentVariableW(L"PATH", (w + L";" + path).c_str());
}

bool Can_Open_For_Writing(const std::string& p) {
  HANDLE h = CreateFileW(Widen(p).c_str(), GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}
