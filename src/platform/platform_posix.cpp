// POSIX: terminals, files and programs through POSIX calls; no shell anywhere.

#include <fcntl.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "platform/platform.h"

extern char** environ;

const char PATH_SEPARATOR = '/';
const char* const EXE_SUFFIX = "";

namespace {

std::string Error_Text(const char* call, int err) {
  return std::string(call) + ": " + std::strerror(err);
}

void Write_Out(const std::string& s) {
  std::cout << s;
  std::cout.flush();
}

// Starts `args` (args[0] a path, or a name looked up on PATH when `search`)
// with this process's standard streams; 0 or the error number.
int Spawn(const std::vector<std::string>& args, bool search, pid_t& pid) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  return search ? posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ)
                : posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
}

// Waits for `pid`; its wait status, or -1 when it cannot be waited for.
int Wait_Raw(pid_t pid) {
  int raw = 0;
  while (waitpid(pid, &raw, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return raw;
}

// Waits for `pid` and turns its end into a result: its exit status, or
// 128 and the signal's number when a signal ended it.
int Wait_For(pid_t pid) {
  int raw = Wait_Raw(pid);
  if (raw >= 0 && WIFEXITED(raw)) return WEXITSTATUS(raw);
  if (raw >= 0 && WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
  return 127;
}

// Spawn, telling on standard error why a program could not be started; the
// child's pid, or -1.
pid_t Start(const std::vector<std::string>& args, bool search) {
  pid_t pid = -1;
  int err = Spawn(args, search, pid);
  if (err == 0) return pid;
  std::cerr << "tivex: " << Error_Text("posix_spawn", err) << " (" << args[0] << ")" << std::endl;
  return -1;
}

// Runs `args` and waits; 127 when it cannot be started.
int Run_And_Wait(const std::vector<std::string>& args, bool search) {
  pid_t pid = Start(args, search);
  return pid < 0 ? 127 : Wait_For(pid);
}

bool Is_On_Path(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    std::string full = (dir.empty() ? "." : dir) + "/" + name;
    if (access(full.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

// Words of the user's editor: $VISUAL, then $EDITOR, split at blanks; else
// nano or vi when found on PATH.
std::vector<std::string> Editor_Words() {
  for (const char* name : {"VISUAL", "EDITOR"}) {
    const char* value = std::getenv(name);
    if (value == nullptr) continue;
    std::vector<std::string> words;
    std::string word;
    for (const char* c = value;; c++) {
      if (*c == ' ' || *c == '\t' || *c == '\0') {
        if (!word.empty()) words.push_back(word);
        word.clear();
        if (*c == '\0') break;
      } else {
        word += *c;
      }
    }
    if (!words.empty()) return words;
  }
  for (const char* name : {"nano", "vi"})
    if (Is_On_Path(name)) return {name};
  return {};
}

int Open_Editor(const std::string& rest) {
  std::vector<std::string> args = Split_Quoted(rest);
  std::vector<std::string> words = Editor_Words();
  if (words.empty()) {
    std::cerr << "tivex: 找不到编辑器：请设置 EDITOR 环境变量。" << std::endl;
    return 127;
  }
  words.insert(words.end(), args.begin(), args.end());
  return Run_And_Wait(words, true);
}

int Run_Cmd(const std::string& rest) {
  std::vector<std::string> args = Split_Command_Line(Strip_Cmd_Quotes(rest));
  if (args.empty()) return 127;
  return Run_And_Wait(args, false);
}

std::string As_Path(const std::string& p) {
  return p.find('/') == std::string::npos ? "./" + p : p;
}

std::string Working_Directory() {
  std::vector<char> buf(4096);
  while (getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE) return ".";
    buf.resize(buf.size() * 2);
  }
  return buf.data();
}

// Opens a new tmux window named `title` in the working directory; returns at
// once. A lone program name would be read by tmux as a shell command, so it
// goes through a fixed script that only executes its arguments.
bool Start_In_Tmux(const std::string& title, const std::vector<std::string>& program) {
  std::vector<std::string> args = {"tmux", "new-window", "-n", title, "-c", Working_Directory(), "--"};
  if (program.size() == 1) args.insert(args.end(), {"/bin/sh", "-c", "exec \"$0\""});
  args.insert(args.end(), program.begin(), program.end());
  return Run_And_Wait(args, true) == 0;
}

// Starts the program in a graphical terminal without waiting for it: a child
// starts the terminal and ends at once, so nothing is left to reap.
bool Start_In_Terminal(const std::vector<std::string>& program) {
  const char* terminal = std::getenv("TERMINAL");
  std::vector<std::string> args = {terminal && *terminal ? terminal : "x-terminal-emulator", "-e"};
  args.insert(args.end(), program.begin(), program.end());
  pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    setsid();
    _exit(Start(args, true) < 0 ? 127 : 0);
  }
  return Wait_For(pid) == 0;
}

bool Has_Env(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0';
}

int Start_Program(const std::string& rest) {
  std::vector<std::string> args = Split_Quoted(rest);
  if (args.size() < 2) return 127;
  std::string title = args[0];
  std::vector<std::string> program(args.begin() + 1, args.end());
  program[0] = As_Path(program[0]);
  if (Has_Env("TMUX") && Start_In_Tmux(title, program)) return 0;
  if ((Has_Env("DISPLAY") || Has_Env("WAYLAND_DISPLAY")) && Start_In_Terminal(program)) return 0;
  pid_t pid = Start(program, false);
  if (pid < 0) return 127;
  Wait_For(pid);
  return 0;
}

// Waits for one key press without echo, the terminal in non-canonical mode.
void Read_One_Key() {
  termios old{};
  if (tcgetattr(STDIN_FILENO, &old) != 0) return;
  termios raw = old;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  char c;
  while (read(STDIN_FILENO, &c, 1) < 0 && errno == EINTR) {
  }
  tcsetattr(STDIN_FILENO, TCSANOW, &old);
}

// Writes the key prompt and, when standard input is a terminal, waits for a
// key (dropping the keys typed ahead first when `drop`); then ends the line.
// Without a terminal nobody is there to press a key, so nothing is read.
void Prompt_For_Key(bool drop) {
  Write_Out(KEY_PROMPT);
  if (isatty(STDIN_FILENO)) {
    if (drop) tcflush(STDIN_FILENO, TCIFLUSH);
    Read_One_Key();
  }
  Write_Out("\n");
}

// Writes all of `data` to `fd` and flushes it to disk; "" or what failed.
std::string Write_And_Sync(int fd, const std::string& data) {
  size_t size = Fault_At("write") ? data.size() / 2 : data.size();
  for (size_t done = 0; done < size;) {
    ssize_t n = write(fd, data.data() + done, size - done);
    if (n < 0 && errno != EINTR) return Error_Text("write", errno);
    if (n > 0) done += static_cast<size_t>(n);
  }
  if (size < data.size()) return Error_Text("write", EIO);
  if (Fault_At("flush")) return Error_Text("fsync", EIO);
  if (fsync(fd) != 0) return Error_Text("fsync", errno);
  return "";
}

bool Starts_With(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

void Setup_Console() {
#ifdef __linux__
  // The kernel may otherwise let each 1 ms sleep run 50 µs late, 5% of it.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}

void Sleep_For(long sec, long nsec) {
  timespec left{sec, nsec};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

bool Platform_Read_Line(std::string& s) {
  s.clear();
  if (!std::getline(std::cin, s) && s.empty()) return false;
  if (!s.empty() && s.back() == '\r') s.pop_back();
  return true;
}

int Platform_System(const std::string& t) {
  if (t == "cls") {
    Write_Out(isatty(STDOUT_FILENO) ? "\x1b[H\x1b[2J\x1b[3J" : "\f");
    return 0;
  }
  if (t == "pause") {
    // Typed-ahead answers stay: they are meant for the next question.
    Prompt_For_Key(false);
    return 0;
  }
  if (Starts_With(t, "title ")) {
    if (isatty(STDOUT_FILENO)) Write_Out("\x1b]0;" + t.substr(6) + "\a");
    return 0;
  }
  if (Starts_With(t, "notepad.exe ")) return Open_Editor(t.substr(12));
  if (Starts_With(t, "cmd /c")) return Run_Cmd(t.substr(6));
  if (Starts_With(t, "start ")) return Start_Program(t.substr(6));
  std::cerr << "tivex: 无法执行命令：" << t << std::endl;
  return 127;
}

Path_Kind Platform_Path_Status(const std::string& p) {
  struct stat st;
  if (stat(p.c_str(), &st) != 0) return PATH_MISSING;
  if (S_ISREG(st.st_mode)) return PATH_FILE;
  if (S_ISDIR(st.st_mode)) return PATH_DIRECTORY;
  return PATH_OTHER;
}

bool Platform_Is_Executable(const std::string& p) { return access(p.c_str(), X_OK) == 0; }

std::string Create_New_File(const std::string& p) {
  int fd = open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return std::strerror(errno);
  close(fd);
  return "";
}

std::string Write_New_File(const std::string& p, const std::string& data) {
  if (Fault_At("create")) return Error_Text("open", EACCES);
  int fd = open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return Error_Text("open", errno);
  std::string error = Write_And_Sync(fd, data);
  if (close(fd) != 0 && error.empty()) error = Error_Text("close", errno);
  if (!error.empty()) unlink(p.c_str());
  return error;
}

std::string Replace_File(const std::string& from, const std::string& to) {
  if (Fault_At("rename")) return Error_Text("rename", EIO);
  struct stat st;
  // rename() will not put a file in place of a directory, even an empty one.
  if (lstat(to.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && rmdir(to.c_str()) != 0)
    return Error_Text("rmdir", errno);
  if (rename(from.c_str(), to.c_str()) != 0) return Error_Text("rename", errno);
  return "";
}

void Remove_File(const std::string& p) { unlink(p.c_str()); }

void Hide_File(const std::string&) {}

std::string Temp_Name_Beside(const std::string& p) {
  return p + "." + std::to_string(getpid()) + ".tmp";
}

std::vector<std::string> Program_Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

bool Run_Program(const std::string& path, long& status, int& sig, std::string& error) {
  pid_t pid = -1;
  int err = Spawn({As_Path(path)}, false, pid);
  if (err != 0) {
    error = std::strerror(err);
    return false;
  }
  int raw = Wait_Raw(pid);
  status = raw >= 0 && WIFEXITED(raw) ? WEXITSTATUS(raw) : 0;
  sig = raw >= 0 && WIFSIGNALED(raw) ? WTERMSIG(raw) : 0;
  return true;
}

std::string Signal_Name(int sig) {
  const char* name = strsignal(sig);
  return name ? name : "signal " + std::to_string(sig);
}

void Wait_For_Key_Press() { Prompt_For_Key(true); }

void Put_First_On_Path(const std::string&) {}

bool Can_Open_For_Writing(const std::string& p) {
  int fd = open(p.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  close(fd);
  return true;
}
