// Stands in for a user's compiled program, an editor or ConsolePauser: says
// that it ran, with its arguments, on standard output and in program_ran.txt
// in the working directory (a program started in a window of its own is seen
// there), leaves its PATH in program_path.txt, its LANGUAGE in
// program_language.txt and its console's output code page (Windows) in
// program_cp.txt, the signals it finds blocked and ignored (Linux) in
// program_signals.txt, and ends as status.txt says
// (0 when there is none): "N" ends with status N, "sleep N" sleeps 0.4 s
// first, "crash" writes through a null pointer, "loop" runs for a minute,
// "pause" ends with system("pause") and says so after it, "ctrlz" types "ab", Ctrl+Z, "cd", Enter, "ef", Enter into its console
// and shows the first line it reads (Windows), "divide" divides by zero, "abort" aborts, "recurse" recurses without end,
// "kill" kills itself (POSIX), "raw" leaves its terminal raw, silent and non-blocking (POSIX),
// "foreground" makes itself the terminal's foreground process group and
// "stop" stops itself with SIGSTOP (POSIX), "hex"
// reads a line and writes its bytes in hexadecimal, "work" touches 64 MB and
// spins for half a second of CPU time, then writes what it cost by its own
// count ("CPU-seconds peak-MB") to work.txt.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

// What a program that runs jobs of its own may do to the terminal.
void Take_The_Foreground() {
  signal(SIGTTOU, SIG_IGN);
  setpgid(0, 0);
  tcsetpgrp(0, getpgrp());
}

void Stop_Itself() { raise(SIGSTOP); }

// What a careless full-screen program leaves behind.
void Leave_Terminal_Raw() {
  termios t;
  if (tcgetattr(0, &t) == 0) {
    cfmakeraw(&t);
    tcsetattr(0, TCSANOW, &t);
  }
  fcntl(0, F_SETFL, fcntl(0, F_GETFL) | O_NONBLOCK);
}
#include <sys/resource.h>

void Own_Cost(double& cpu, double& peak_mb) {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  cpu = static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
        static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
#ifdef __APPLE__
  peak_mb = static_cast<double>(ru.ru_maxrss) / (1024.0 * 1024.0);
#else
  peak_mb = static_cast<double>(ru.ru_maxrss) / 1024.0;
#endif
}
#else
#include <windows.h>
#include <psapi.h>

void Leave_Terminal_Raw() {}

// Types `keys` into this process's console, as a person would.
void Type_Into_Console(const std::wstring& keys) {
  HANDLE in = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_EXISTING, 0, nullptr);
  for (wchar_t c : keys) {
    INPUT_RECORD r[2] = {};
    for (int k = 0; k < 2; k++) {
      r[k].EventType = KEY_EVENT;
      r[k].Event.KeyEvent.bKeyDown = k == 0;
      r[k].Event.KeyEvent.wRepeatCount = 1;
      r[k].Event.KeyEvent.wVirtualKeyCode = c == L'\r' ? VK_RETURN : 0;
      r[k].Event.KeyEvent.uChar.UnicodeChar = c;
    }
    DWORD written = 0;
    WriteConsoleInputW(in, r, 2, &written);
  }
  CloseHandle(in);
}
void Take_The_Foreground() {}
void Stop_Itself() {}

void Own_Cost(double& cpu, double& peak_mb) {
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  auto ticks = [](const FILETIME& f) {
    return static_cast<double>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime);
  };
  cpu = (ticks(kernel) + ticks(user)) / 1e7;
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  peak_mb = static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}
#endif

// Touches 64 MB, then spins until its CPU time reaches half a second.
void Work() {
  static volatile char* memory = new char[64 << 20];
  for (size_t i = 0; i < (64u << 20); i += 4096) memory[i] = 1;
  double cpu = 0, peak_mb = 0;
  unsigned x = 1;
  while (cpu < 0.5) {
    for (int k = 0; k < 1000000; k++) x = x * 1103515245u + 12345u;
    Own_Cost(cpu, peak_mb);
  }
  // The spin's result is written too, so that the spin cannot be left out.
  std::ofstream("work.txt") << cpu << " " << peak_mb << " " << x << "\n";
}

// Recurses until the stack runs out; the array keeps each frame large, and
// the end that never comes is one the compiler cannot see.
int Recurse(int depth) {
  static volatile int never = -1;
  volatile char frame[4096];
  frame[depth % 4096] = 1;
  return depth == never ? 0 : Recurse(depth + 1) + frame[depth % 4096];
}

int main(int argc, char** argv) {
  std::string line = "fake_program ran";
  for (int i = 1; i < argc; i++) line += std::string(" [") + argv[i] + "]";
  std::printf("%s\n", line.c_str());
  // program_ran.txt comes last: a test that sees it may read the others.
  const char* path = std::getenv("PATH");
  std::ofstream("program_path.txt", std::ios::binary) << (path ? path : "");
  const char* language = std::getenv("LANGUAGE");
  std::ofstream("program_language.txt", std::ios::binary) << (language ? language : "");
  std::ofstream("program_ran.txt", std::ios::binary | std::ios::app) << line << "\n";
#ifdef _WIN32
  std::ofstream("program_cp.txt") << GetConsoleOutputCP();
#else
  // The signals it found blocked and ignored (Linux).
  std::ifstream proc("/proc/self/status");
  std::ofstream signals("program_signals.txt");
  for (std::string l; std::getline(proc, l);)
    if (l.rfind("SigBlk:", 0) == 0 || l.rfind("SigIgn:", 0) == 0) signals << l << "\n";
  // Its process group, and the terminal's foreground group where it has one.
  signals << "Pgrp:\t" << getpgrp() << "\nForeground:\t" << tcgetpgrp(STDIN_FILENO) << "\n";
#endif
  std::ifstream in("status.txt");
  std::string word;
  in >> word;
  // Read through a volatile pointer, so the compiler cannot see that it is null.
  static volatile int* volatile null_pointer = nullptr;
  if (word == "crash") *null_pointer = 1;
  // Both volatile: 1 / x is a comparison to the compiler, and no division.
  static volatile int seven = 7, zero = 0;
  if (word == "divide") return seven / zero;
  if (word == "abort") std::abort();
  if (word == "recurse") return Recurse(1);
#ifndef _WIN32
  if (word == "kill") raise(SIGKILL);
#endif
  if (word == "sleep") std::this_thread::sleep_for(std::chrono::milliseconds(400));
  if (word == "loop") std::this_thread::sleep_for(std::chrono::seconds(60));
  if (word == "raw") Leave_Terminal_Raw();
  if (word == "foreground") Take_The_Foreground();
  if (word == "stop") Stop_Itself();
  if (word == "work") Work();
#ifdef _WIN32
  if (word == "ctrlz") {
    // At a console a line ends at a Ctrl+Z in it, and the program reads on.
    Type_Into_Console(L"ab\x1A" L"cd\ref\r");
    std::string line;
    std::getline(std::cin, line);
    std::printf("line [%s]\n", line.c_str());
  }
#endif
  if (word == "pause") {
    std::fflush(stdout);
    int ignored = std::system("pause");
    std::printf("after pause\n");
    (void)ignored;
  }
  if (word == "hex") {
#ifndef _WIN32
    // Unbuffered, so that what follows the line stays for whoever reads next
    // (a console, where a one-byte read would split characters, reads lines).
    std::setvbuf(stdin, nullptr, _IONBF, 0);
#endif
    std::string typed;
    for (int c; (c = std::getchar()) != EOF && c != '\n';) typed += static_cast<char>(c);
    if (!typed.empty() && typed.back() == '\r') typed.pop_back();
    for (unsigned char c : typed) std::printf("%02x ", c);
#ifdef _WIN32
    // Which way it came: the console itself, or ConsolePauser's relay.
    bool piped = GetFileType(GetStdHandle(STD_INPUT_HANDLE)) == FILE_TYPE_PIPE;
    std::printf("(%d bytes) %s\n", static_cast<int>(typed.size()), piped ? "through a pipe" : "from the console");
#else
    std::printf("(%d bytes)\n", static_cast<int>(typed.size()));
#endif
  }
  int status = 0;
  if (word != "sleep")
    status = std::atoi(word.c_str());
  else
    in >> status;
  return status;
}
