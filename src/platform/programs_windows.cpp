// Windows: programs started with CreateProcessW and measured, the compiler's
// directory on PATH, and where a compiler lies.

#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "platform/errors_internal.h"
#include "platform/file_system.h"
#include "platform/programs.h"
#include "platform/text.h"
#include "platform/text_internal.h"
#include "platform/windows_internal.h"

const char* const EXE_SUFFIX = ".exe";
const bool RUNNING_PROGRAM_IS_LOCKED = true;
// Windows Terminal keeps a tab open after a program that ended with a
// non-zero status; the pauser's window must close on its key press.
const bool PAUSER_PASSES_STATUS = false;

namespace {

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

// An inheritable copy of this process's standard handle `which`, for a child
// whose standard input is another; nullptr when there is none.
HANDLE Inheritable_Standard(DWORD which) {
  HANDLE h = GetStdHandle(which), copy = nullptr;
  if (h == nullptr || h == INVALID_HANDLE_VALUE ||
      !DuplicateHandle(GetCurrentProcess(), h, GetCurrentProcess(), &copy, 0, TRUE,
                       DUPLICATE_SAME_ACCESS))
    return nullptr;
  return copy;
}

}  // namespace

bool Create_Process(const std::wstring& app, std::wstring& line, const wchar_t* dir, HANDLE input,
                    PROCESS_INFORMATION& pi, HANDLE error, DWORD flags) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  HANDLE copies[3] = {};
  if (input || error) {
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = input ? input : (copies[0] = Inheritable_Standard(STD_INPUT_HANDLE));
    si.hStdOutput = copies[1] = Inheritable_Standard(STD_OUTPUT_HANDLE);
    si.hStdError = error ? error : (copies[2] = Inheritable_Standard(STD_ERROR_HANDLE));
  }
  bool started = CreateProcessW(app.c_str(), line.data(), nullptr, nullptr, TRUE, flags, nullptr,
                                dir, &si, &pi);
  DWORD err = GetLastError();
  for (HANDLE copy : copies)
    if (copy) CloseHandle(copy);
  SetLastError(err);
  return started;
}

namespace {

// Starts `line` (with `app` as the program, not searched on PATH) with this
// process's console and standard streams (but `input`, where one is given,
// which it then closes), in `dir` when it is given, and waits for it, measuring it into `cost` when
// it is given. False, with the error number in `err`, when it cannot be
// started.
bool Start_And_Wait(const std::wstring& app, std::wstring line, DWORD& code, DWORD& err,
                    const wchar_t* dir = nullptr, Cost* cost = nullptr, HANDLE input = nullptr) {
  PROCESS_INFORMATION pi{};
  Child_Starts();
  bool started = Create_Process(app, line, dir, input, pi, nullptr, Program_Start_Flags());
  err = started ? 0 : GetLastError();
  if (started) Program_Input_Started(pi);
  if (input) CloseHandle(input);  // the child has its own copy
  if (started) {
    Wait_Measuring(pi.hProcess, pi.hThread, cost);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  Child_Ended();
  return started;
}

std::wstring PATH_BEFORE;  // the PATH that Restore_Path puts back
bool PATH_CHANGED = false;
bool LANGUAGE_PUT = false;  // LANGUAGE is ours, for Restore_Language to take

}  // namespace

bool Run_Program(const std::string& path, long& status, int& sig, std::string& error, double& cpu,
                 double& peak_mb) {
  Cost cost;
  std::wstring app = Widen(path);
  DWORD code = 0, err = 0;
  // The program runs in its own folder, where it finds the files beside it.
  std::wstring absolute = Full_Path(app);
  bool known = !absolute.empty();
  if (!known) absolute = app;
  std::wstring dir = Widen(Directory_Of(Narrow(absolute)));
  HANDLE input = Begin_Input_Relay(absolute);
  // With the application name given, Windows does not search PATH for it.
  bool started = Start_And_Wait(absolute, L"\"" + app + L"\"", code, err,
                                known && !dir.empty() ? dir.c_str() : nullptr, &cost, input);
  End_Input_Relay();
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

std::string Start_Failure_Hint(const std::string&) { return ""; }

// Windows starts a program in a window of its own with CreateProcessW.
void Become_Window_Program(const std::vector<std::string>&) {}

void Put_First_On_Path(const std::string& dir) {
  // "C:/msys64/ucrt64/bin" as typed: PATH holds backslashes.
  std::wstring w = Widen(dir);
  for (wchar_t& c : w)
    if (c == L'/') c = L'\\';
  std::wstring path = Environment_Variable(L"PATH");
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

void Put_Chinese_Language() {
  // A language the user chose wins.
  for (const wchar_t* chosen : {L"LANGUAGE", L"LC_ALL", L"LC_MESSAGES"})
    if (!Environment_Variable(chosen).empty()) return;
  LANGUAGE_PUT = SetEnvironmentVariableW(L"LANGUAGE", L"zh_CN:zh") != 0;
}

void Restore_Language() {
  if (LANGUAGE_PUT) SetEnvironmentVariableW(L"LANGUAGE", nullptr);
  LANGUAGE_PUT = false;
}

std::string Find_Compiler() {
  std::vector<std::string> dirs = {Own_Directory()};
  std::string path = Narrow(Environment_Variable(L"PATH"));
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
  // Where the IDEs that beginners had before keep theirs: Dev-C++ (Orwell's
  // and Embarcadero's) and Code::Blocks, in either Program Files.
  for (const wchar_t* programs : {L"ProgramFiles", L"ProgramFiles(x86)"}) {
    std::string base = Narrow(Environment_Variable(programs));
    if (base.empty()) continue;
    for (const char* dir : {"Dev-Cpp\\MinGW64\\bin", "Dev-Cpp\\MinGW32\\bin",
                            "Embarcadero\\Dev-Cpp\\TDM-GCC-64\\bin", "CodeBlocks\\MinGW\\bin"})
      dirs.push_back(Join_Path(base, dir));
  }
  for (const std::string& dir : dirs) {
    std::string compiler = Join_Path(Without_Trailing_Separators(dir, "\\/"), "g++.exe");
    if (!dir.empty() && Platform_Path_Status(compiler) == PATH_FILE) return compiler;
  }
  return "";
}

std::string Own_Directory() {
  std::wstring self(32768, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
  if (n == 0 || n >= self.size()) return "";
  self.resize(n);
  return Directory_Of(Narrow(self));
}

namespace {

// `path` with its short (8.3) components in their long form, as a folder
// may be named either way ("C:\\Users\\ADMINI~1"); itself where that fails.
std::wstring Long_Path(const std::wstring& path) {
  wchar_t buf[32768];
  DWORD n = GetLongPathNameW(path.c_str(), buf, 32768);
  return n > 0 && n < 32768 ? std::wstring(buf, n) : path;
}

}  // namespace

bool Runs_From_Temporary_Folder() {
  wchar_t temp[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  if (n == 0 || n > MAX_PATH) return false;
  std::wstring folder = Long_Path(std::wstring(temp, n));
  if (folder.back() != L'\\') folder += L'\\';
  std::wstring dir = Long_Path(Widen(Own_Directory())) + L"\\";
  // Names are compared as Windows compares them.
  int k = static_cast<int>(folder.size());
  return dir.size() >= folder.size() &&
         CompareStringOrdinal(dir.c_str(), k, folder.c_str(), k, TRUE) == CSTR_EQUAL;
}

std::vector<std::string> Program_Arguments(int, char**) {
  int n = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
  std::vector<std::string> args;
  for (int i = 0; wide && i < n; i++) args.push_back(Narrow(wide[i]));
  if (wide) LocalFree(wide);
  return args;
}
