// Windows: the console, files and command lines through Win32, UTF-16 at every
// call into Windows.

#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <mmsystem.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

#include "platform/platform.h"

const char PATH_SEPARATOR = '\\';
const char* const EXE_SUFFIX = ".exe";
const bool RUNNING_PROGRAM_IS_LOCKED = true;
// Windows Terminal keeps a tab open after a program that ended with a
// non-zero status; the pauser's window must close on its key press.
const bool PAUSER_PASSES_STATUS = false;

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


// Standard output or error when it is a console: what reaches the console is
// whole characters in UTF-16. The bytes of a character that is not complete
// yet wait for the rest, so a character typed out byte by byte never shows
// as three replacement characters.
class Console_Buf : public std::streambuf {
 public:
  explicit Console_Buf(HANDLE h) : h_(h) {}

 protected:
  int_type overflow(int_type c) override {
    if (c != traits_type::eof()) pending_ += static_cast<char>(c);
    Emit();
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    pending_.append(s, static_cast<size_t>(n));
    Emit();
    return n;
  }

 private:
  void Emit() {
    size_t whole = Complete_Utf8_Prefix(pending_);
    if (whole == 0) return;
    std::wstring w = Widen(pending_.substr(0, whole));
    pending_.erase(0, whole);
    DWORD written = 0;
    WriteConsoleW(h_, w.data(), static_cast<DWORD>(w.size()), &written, nullptr);
  }
  HANDLE h_;
  std::string pending_;
};

bool Is_Console(HANDLE h) {
  DWORD mode;
  return GetConsoleMode(h, &mode) != 0;
}

// Puts `stream` on the console through Console_Buf when it writes to one.
void Write_Whole_Characters(std::ostream& stream, DWORD which) {
  HANDLE h = GetStdHandle(which);
  if (!Is_Console(h)) return;
  stream.flush();
  stream.rdbuf(new Console_Buf(h));  // in use until the program ends
}

// Ctrl+C reaches every process of the console: while a command runs it is
// for the command. Each process gets the event on a thread of its own, so
// ours may come a moment after the child has ended of it: a second's grace.
// A handler, not SetConsoleCtrlHandler(NULL, TRUE), whose flag the child
// would inherit.
volatile LONG CHILD_RUNNING = 0;
volatile ULONGLONG CHILD_ENDED_AT = 0;

BOOL WINAPI Leave_Ctrl_C_To_The_Child(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
  return CHILD_RUNNING || GetTickCount64() - CHILD_ENDED_AT < 1000;
}

void Child_Starts() { CHILD_RUNNING = 1; }

void Child_Ended() {
  CHILD_ENDED_AT = GetTickCount64();
  CHILD_RUNNING = 0;
}

// Starts `line` (with `app` as the program, not searched on PATH) with this
// process's console and standard streams, and waits for it. False, with the
// error number in `err`, when it cannot be started.
// What a program cost: CPU seconds and peak memory in MB, -1 where unknown.
struct Cost {
  double cpu = -1, peak_mb = -1;
};

double Seconds_Of(const FILETIME& kernel, const FILETIME& user) {
  auto ticks = [](const FILETIME& f) {
    return static_cast<double>((static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime);
  };
  return (ticks(kernel) + ticks(user)) / 1e7;  // in units of 100 ns
}

// What `process`, whose main thread is `thread`, has cost so far. Wine
// tells another process's CPU time only through its threads.
void Measure(HANDLE process, HANDLE thread, Cost& cost) {
  FILETIME created, ended, kernel, user;
  if (GetProcessTimes(process, &created, &ended, &kernel, &user))
    cost.cpu = Seconds_Of(kernel, user);
  if (thread && GetThreadTimes(thread, &created, &ended, &kernel, &user))
    cost.cpu = std::max(cost.cpu, Seconds_Of(kernel, user));
  PROCESS_MEMORY_COUNTERS counters{};
  if (GetProcessMemoryInfo(process, &counters, sizeof counters))
    cost.peak_mb = static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

// Waits for `process`; with `cost`, measures it as it runs and once it has
// ended, keeping the largest figures, since Wine forgets an ended process's
// CPU time (Windows keeps it, and then the last reading is the whole).
void Wait_Measuring(HANDLE process, HANDLE thread, Cost* cost) {
  if (cost == nullptr) {
    WaitForSingleObject(process, INFINITE);
    return;
  }
  while (true) {
    bool ended = WaitForSingleObject(process, 10) != WAIT_TIMEOUT;
    Cost now;
    Measure(process, thread, now);
    if (now.cpu > cost->cpu) cost->cpu = now.cpu;
    if (now.peak_mb > cost->peak_mb) cost->peak_mb = now.peak_mb;
    if (ended) return;
  }
}

bool Start_And_Wait(const std::wstring& app, std::wstring line, DWORD& code, DWORD& err,
                    const wchar_t* dir = nullptr, Cost* cost = nullptr) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  Child_Starts();
  bool started = CreateProcessW(app.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                dir, &si, &pi);
  err = started ? 0 : GetLastError();
  if (started) {
    Wait_Measuring(pi.hProcess, pi.hThread, cost);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  Child_Ended();
  return started;
}

std::wstring Interpreter_Path() {
  DWORD n = GetEnvironmentVariableW(L"ComSpec", nullptr, 0);
  std::wstring path(n, L'\0');
  if (n) path.resize(GetEnvironmentVariableW(L"ComSpec", path.data(), n));
  if (!path.empty()) return path;
  wchar_t dir[MAX_PATH];
  UINT len = GetSystemDirectoryW(dir, MAX_PATH);
  return std::wstring(dir, len) + L"\\cmd.exe";
}

// A line "cmd /c..." is the interpreter's own command line: _wsystem would
// hand it to a second interpreter, which pairs the quotes the wrong way and
// splits paths at "&". Its result is the interpreter's exit code.
int Run_Interpreter(const std::string& t) {
  DWORD code = 0, err = 0;
  if (Start_And_Wait(Interpreter_Path(), Widen(t), code, err)) return static_cast<int>(code);
  std::cerr << "tivex: " << Call_Error("CreateProcessW", err) << std::endl;
  return -1;
}

int Run_Through_System(const std::string& t) {
  // "pause" would read a key from redirected input, where the next answers
  // wait unread: it reads from NUL instead, as if nobody pressed a key.
  bool guard = t == "pause" && !Is_Console(GetStdHandle(STD_INPUT_HANDLE));
  int saved = guard ? _dup(0) : -1;
  if (saved >= 0) {
    int nul = _wopen(L"NUL", _O_RDONLY);
    if (nul >= 0) {
      _dup2(nul, 0);
      _close(nul);
    }
  }
  Child_Starts();
  int result = _wsystem(Widen(t).c_str());
  Child_Ended();
  if (saved >= 0) {
    _dup2(saved, 0);
    _close(saved);
  }
  return result;
}

void End_Timer_Period() { timeEndPeriod(1); }

UINT INPUT_CP_FOUND = 0, OUTPUT_CP_FOUND = 0;

// A cmd window that started us is left in the code pages it had.
void Restore_Code_Pages() {
  if (INPUT_CP_FOUND) SetConsoleCP(INPUT_CP_FOUND);
  if (OUTPUT_CP_FOUND) SetConsoleOutputCP(OUTPUT_CP_FOUND);
}

// One key event of `c` (`vk` its virtual key), pressed or released.
INPUT_RECORD Key_Event(wchar_t c, WORD vk, BOOL down) {
  INPUT_RECORD r{};
  r.EventType = KEY_EVENT;
  r.Event.KeyEvent.bKeyDown = down;
  r.Event.KeyEvent.wRepeatCount = 1;
  r.Event.KeyEvent.wVirtualKeyCode = vk;
  r.Event.KeyEvent.uChar.UnicodeChar = c;
  return r;
}

// What ReadFile, as every C runtime reads a console, returns for "张" and
// Enter typed at the current input code page; "" when it cannot be tried.
// The keys are not echoed, and nothing of them is left behind.
std::string Probe_Console_Read(HANDLE in) {
  DWORD mode = 0;
  if (!GetConsoleMode(in, &mode)) return "";
  FlushConsoleInputBuffer(in);
  SetConsoleMode(in, (mode | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) & ~ENABLE_ECHO_INPUT);
  INPUT_RECORD keys[4] = {Key_Event(0x5F20, 0, TRUE), Key_Event(0x5F20, 0, FALSE),
                          Key_Event(L'\r', VK_RETURN, TRUE), Key_Event(L'\r', VK_RETURN, FALSE)};
  DWORD written = 0;
  char buf[64];
  DWORD got = 0;
  if (WriteConsoleInputW(in, keys, 4, &written) && written == 4)
    if (!ReadFile(in, buf, sizeof buf, &got, nullptr)) got = 0;
  FlushConsoleInputBuffer(in);
  SetConsoleMode(in, mode);
  return std::string(buf, got);
}

bool Stdin_Is_Console() { return Is_Console(GetStdHandle(STD_INPUT_HANDLE)); }

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

// Redirected input is bytes, read by ReadFile past the C runtime. What
// follows the line belongs to whoever reads next, so a file is read in
// blocks and the rest given back, and a pipe byte by byte.
bool Read_Redirected_Line(std::string& s) {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  static const bool seekable = GetFileType(in) == FILE_TYPE_DISK;
  s.clear();
  char buf[65536];
  while (true) {
    DWORD n = 0;
    if (!ReadFile(in, buf, seekable ? sizeof buf : 1, &n, nullptr)) {
      // A pipe whose writer is gone has ended; anything else is an error.
      DWORD err = GetLastError();
      if (err != ERROR_BROKEN_PIPE && err != ERROR_HANDLE_EOF) {
        std::cerr << "tivex: " << Call_Error("ReadFile", err) << std::endl;
        s.clear();  // a line cut short by the error is no answer
        return false;
      }
      n = 0;
    }
    if (n == 0 && s.empty()) return false;
    long rest = Take_Line_Block(s, buf, n);
    if (rest < 0) continue;
    if (rest > 0) {
      LARGE_INTEGER back;
      back.QuadPart = -static_cast<LONGLONG>(rest);
      SetFilePointerEx(in, back, nullptr, FILE_CURRENT);
    }
    return true;
  }
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
  static bool done = false;
  if (done) return;
  done = true;
  INPUT_CP_FOUND = GetConsoleCP();
  OUTPUT_CP_FOUND = GetConsoleOutputCP();
  std::atexit(Restore_Code_Pages);
  SetConsoleOutputCP(65001);
  SetConsoleCP(65001);
  Write_Whole_Characters(std::cout, STD_OUTPUT_HANDLE);
  Write_Whole_Characters(std::cerr, STD_ERROR_HANDLE);
  timeBeginPeriod(1);
  std::atexit(End_Timer_Period);
  SetConsoleCtrlHandler(Leave_Ctrl_C_To_The_Child, TRUE);
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

bool Platform_Read_Line(std::string& s, Input_Kind) {
  return Stdin_Is_Console() ? Read_Console_Line(s) : Read_Redirected_Line(s);
}

int Platform_System(const std::string& t, const std::vector<std::string>&) {
  if (t.compare(0, 6, "cmd /c") == 0) return Run_Interpreter(t);
  return Run_Through_System(t);
}

Path_Kind Platform_Path_Status(const std::string& p) {
  std::wstring w = Widen(Without_Trailing_Separators(p, "\\/"), MB_ERR_INVALID_CHARS);
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

bool Platform_Is_Compiled_Program(const std::string&) { return true; }

bool Modified_Time(const std::string& p, long long& time) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Widen(p).c_str(), GetFileExInfoStandard, &data)) return false;
  time = (static_cast<long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
         data.ftLastWriteTime.dwLowDateTime;
  return true;
}

bool File_Is_Empty(const std::string& p) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Widen(p).c_str(), GetFileExInfoStandard, &data)) return false;
  return !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && data.nFileSizeHigh == 0 &&
         data.nFileSizeLow == 0;
}

std::string Own_Directory() {
  std::wstring self(32768, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
  if (n == 0 || n >= self.size()) return "";
  self.resize(n);
  size_t slash = self.find_last_of(L"\\/");
  return slash == std::wstring::npos ? "" : Narrow(self.substr(0, slash));
}

namespace {

bool Is_Regular_File(const std::string& p) {
  DWORD attrs = GetFileAttributesW(Widen(p).c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

// The value of the environment variable `name` in UTF-8, or "".
std::string Environment(const wchar_t* name) {
  DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
  std::wstring value(n, L'\0');
  if (n) value.resize(GetEnvironmentVariableW(name, value.data(), n));
  return Narrow(value);
}

}  // namespace

std::string Find_Compiler() {
  std::vector<std::string> dirs = {Own_Directory()};
  std::string path = Environment(L"PATH");
  for (size_t start = 0, end; start <= path.size(); start = end + 1) {
    end = path.find(';', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) dirs.push_back(path.substr(start, end - start));
  }
  // Where the MinGW-w64 and MSYS2 installers put it.
  for (const char* dir : {"C:\\msys64\\ucrt64\\bin", "C:\\msys64\\mingw64\\bin",
                          "C:\\msys64\\clang64\\bin", "C:\\mingw64\\bin", "C:\\MinGW\\bin",
                          "C:\\TDM-GCC-64\\bin"})
    dirs.push_back(dir);
  for (std::string dir : dirs) {
    while (!dir.empty() && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
    if (!dir.empty() && Is_Regular_File(dir + "\\g++.exe")) return dir + "\\g++.exe";
  }
  return "";
}

std::string Create_New_File(const std::string& p) {
  HANDLE h = CreateFileW(Widen(p).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return Error_Reason(GetLastError());
  CloseHandle(h);
  return "";
}

std::string Read_Head(const std::string& p, int lines, std::string& text) {
  text.clear();
  HANDLE h = CreateFileW(Widen(p).c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return Error_Text("CreateFileW");
  char buf[4096];
  int seen = 0;
  std::string error;
  while (seen < lines) {
    DWORD got = 0;
    if (!ReadFile(h, buf, sizeof buf, &got, nullptr)) {
      error = Error_Text("ReadFile");
      break;
    }
    if (got == 0) break;
    if (!Append_Head(text, buf, got, lines, seen)) {
      error = std::string("ReadFile: ") + LINE_TOO_LONG;
      break;
    }
  }
  CloseHandle(h);
  return error;
}

namespace {

// Writes all of `data` to `h` and flushes it to disk; "" or what failed.
std::string Write_And_Flush(HANDLE h, const std::string& data) {
  DWORD size = static_cast<DWORD>(Fault_At("write") ? data.size() / 2 : data.size());
  DWORD written = 0;
  if (!WriteFile(h, data.data(), size, &written, nullptr)) return Error_Text("WriteFile");
  if (written < data.size()) return Call_Error("WriteFile", ERROR_WRITE_FAULT);
  FILE_CALLS.push_back("WriteFile");
  if (Fault_At("flush")) return Call_Error("FlushFileBuffers", ERROR_WRITE_FAULT);
  if (!FlushFileBuffers(h)) return Error_Text("FlushFileBuffers");
  FILE_CALLS.push_back("FlushFileBuffers");
  return "";
}

// Creates a fresh temporary file beside `p`, passing over names that a
// leftover holds; its handle, or INVALID_HANDLE_VALUE with `error` set.
HANDLE Create_Fresh_Temp(const std::string& p, std::string& temp, std::string& error) {
  DWORD err = 0;
  for (int attempt = 0; attempt < 100; attempt++) {
    temp = Temp_Name_Beside(p, attempt);
    HANDLE h = CreateFileW(Widen(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) return h;
    err = GetLastError();
    if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) break;
  }
  error = Call_Error("CreateFileW", err);
  return INVALID_HANDLE_VALUE;
}

}  // namespace

std::string Write_Temp_Beside(const std::string& p, const std::string& data, std::string& temp) {
  if (Fault_At("create")) return Call_Error("CreateFileW", ERROR_ACCESS_DENIED);
  std::string error;
  HANDLE h = Create_Fresh_Temp(p, temp, error);
  if (h == INVALID_HANDLE_VALUE) return error;
  FILE_CALLS.push_back("CreateFileW");
  error = Write_And_Flush(h, data);
  CloseHandle(h);
  if (!error.empty()) DeleteFileW(Widen(temp).c_str());
  return error;
}

namespace {

// Whether `err` is what an antivirus, an indexer or a sync client causes
// while it holds a file that was just written, for a moment.
bool Is_Brief_Lock(DWORD err) {
  return err == ERROR_ACCESS_DENIED || err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION;
}

}  // namespace

std::string Replace_File(const std::string& from, const std::string& to) {
  if (Fault_At("rename")) return Call_Error("MoveFileExW", ERROR_ACCESS_DENIED);
  std::wstring wf = Widen(from), wt = Widen(to);
  DWORD attrs = GetFileAttributesW(wt.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) &&
      !RemoveDirectoryW(wt.c_str()))
    return Error_Text("RemoveDirectoryW");
  const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
  const DWORD blocking = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  bool cleared = false;
  // Back-off of 10 ms, doubled up to half a second: about 2 s in all.
  for (DWORD pause = 10, waited = 0;; waited += pause, pause = pause < 250 ? pause * 2 : 500) {
    if (MoveFileExW(wf.c_str(), wt.c_str(), flags)) {
      FILE_CALLS.push_back("MoveFileExW");
      return "";
    }
    DWORD err = GetLastError();
    if (!cleared && attrs != INVALID_FILE_ATTRIBUTES && (attrs & blocking)) {
      // The old file's attributes may forbid the replace: clear them and try again.
      SetFileAttributesW(wt.c_str(), FILE_ATTRIBUTE_NORMAL);
      cleared = true;
      continue;
    }
    if (!Is_Brief_Lock(err) || waited >= 2000) {
      if (cleared) SetFileAttributesW(wt.c_str(), attrs);
      return Call_Error("MoveFileExW", err);
    }
    Sleep(pause);
  }
}

std::string Link_Target(const std::string& p) { return p; }

void Remove_File(const std::string& p) { DeleteFileW(Widen(p).c_str()); }

void Hide_File(const std::string& p) {
  SetFileAttributesW(Widen(p).c_str(), FILE_ATTRIBUTE_HIDDEN);
}

std::string Temp_Name_Beside(const std::string& p, int attempt) {
  std::string name = p + "." + std::to_string(GetCurrentProcessId());
  if (attempt > 0) name += "-" + std::to_string(attempt);
  return name + ".tmp";
}

std::string Expand_Home(const std::string& p) { return p; }

std::vector<std::string> Program_Arguments(int, char**) {
  int n = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
  std::vector<std::string> args;
  for (int i = 0; wide && i < n; i++) args.push_back(Narrow(wide[i]));
  if (wide) LocalFree(wide);
  return args;
}

bool Run_Program(const std::string& path, long& status, int& sig, std::string& error, double& cpu,
                 double& peak_mb) {
  Cost cost;
  std::wstring app = Widen(path);
  DWORD code = 0, err = 0;
  // The program runs in its own folder, where it finds the files beside it.
  wchar_t full[32768];
  wchar_t* name = nullptr;
  DWORD n = GetFullPathNameW(app.c_str(), 32768, full, &name);
  bool known = n > 0 && n < 32768 && name;
  std::wstring dir = known ? std::wstring(full, name - full) : L"";
  // With the application name given, Windows does not search PATH for it.
  bool started = Start_And_Wait(known ? std::wstring(full, n) : app, L"\"" + app + L"\"", code,
                                err, known ? dir.c_str() : nullptr, &cost);
  cpu = cost.cpu;
  peak_mb = cost.peak_mb;
  if (!started) {
    error = Error_Reason(static_cast<unsigned long>(err));
    return false;
  }
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
  if (Is_Console(in)) Read_Console_Key(in);
  std::cout << "\n";
}

void Prepare_Program_Input() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  if (!Is_Console(in)) return;
  SetConsoleCP(65001);
  SetConsoleCP(Input_Code_Page(Probe_Console_Read(in), GetOEMCP()));
}

void Set_Window_Title(const std::string& title) { SetConsoleTitleW(Widen(title).c_str()); }

namespace {

std::wstring PATH_BEFORE;  // the PATH that Restore_Path puts back
bool PATH_CHANGED = false;

}  // namespace

void Put_First_On_Path(const std::string& dir) {
  // "C:/msys64/ucrt64/bin" as typed: PATH holds backslashes.
  std::wstring w = Widen(dir);
  for (wchar_t& c : w)
    if (c == L'/') c = L'\\';
  DWORD n = GetEnvironmentVariableW(L"PATH", nullptr, 0);
  std::wstring path(n, L'\0');
  if (n) path.resize(GetEnvironmentVariableW(L"PATH", path.data(), n));
  if (!PATH_CHANGED) PATH_BEFORE = path;
  PATH_CHANGED = true;
  if (path.compare(0, w.size() + 1, w + L";") == 0) return;
  SetEnvironmentVariableW(L"PATH", (w + L";" + path).c_str());
}

void Restore_Path() {
  if (!PATH_CHANGED) return;
  SetEnvironmentVariableW(L"PATH", PATH_BEFORE.empty() ? nullptr : PATH_BEFORE.c_str());
  PATH_CHANGED = false;
}

bool Can_Open_For_Writing(const std::string& p) {
  HANDLE h = CreateFileW(Widen(p).c_str(), GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

std::string Error_Reason(unsigned long err) {
  switch (err) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return "文件已存在";
    case ERROR_ACCESS_DENIED: return "没有权限";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return "文件或目录不存在";
    case ERROR_DIRECTORY: return "路径中有一项不是目录";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "磁盘已满";
    case ERROR_WRITE_PROTECT: return "文件系统是只读的";
    case ERROR_FILENAME_EXCED_RANGE: return "名称太长";
    case ERROR_INVALID_NAME: return "名称中有 Windows 不允许的字符";
    case ERROR_BAD_EXE_FORMAT: return "不是可以运行的程序";
    default: return System_Text(static_cast<DWORD>(err));
  }
}
