// POSIX: files and programs through POSIX calls; no shell anywhere. The
// terminal, the signals and standard input are in terminal_posix.cpp.

#include <fcntl.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/terminal_posix.h"

extern char** environ;

const char PATH_SEPARATOR = '/';
const char* const EXE_SUFFIX = "";
// Relinking over a running program only unlinks the old file's name.
const bool RUNNING_PROGRAM_IS_LOCKED = false;
const bool PAUSER_PASSES_STATUS = true;

namespace {

std::string Error_Text(const char* call, int err) {
  return std::string(call) + ": " + std::strerror(err);
}


// Starts `args` (args[0] a path, or a name looked up on PATH when `search`)
// with this process's standard streams, in the directory `dir` when it is not
// empty; 0 or the error number. SIGINT and SIGQUIT are the child's own,
// whatever this process does with them.
int Spawn(const std::vector<std::string>& args, bool search, pid_t& pid,
          const std::string& dir = "") {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGINT);
  sigaddset(&defaults, SIGQUIT);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!dir.empty()) posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  int err = search ? posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ)
                   : posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  return err;
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
  std::cerr << "tivex: " << Error_Text("posix_spawn", err) << " (" << Visible(args[0]) << ")"
            << std::endl;
  return -1;
}

// Runs `args` and waits, leaving Ctrl-C to it as the C library's system()
// does; false when it cannot be started, else its result in `result`.
bool Run_Here(const std::vector<std::string>& args, bool search, int& result) {
  Ignore_Interrupts();
  Save_Terminal_Modes();
  pid_t pid = Start(args, search);
  if (pid >= 0) result = Wait_For(pid);
  Restore_Terminal_Modes();
  Restore_Interrupts();
  return pid >= 0;
}

// Run_Here's result, or 127 when the program cannot be started.
int Run_And_Wait(const std::vector<std::string>& args, bool search) {
  int result = 127;
  Run_Here(args, search, result);
  return result;
}

// The directories where programs are looked up: $PATH, or where it is not set
// the system's default, as posix_spawnp does.
std::string Search_Path() {
  if (const char* path = std::getenv("PATH")) return path;
  size_t n = confstr(_CS_PATH, nullptr, 0);
  std::string dirs(n, '\0');
  if (n > 0) confstr(_CS_PATH, dirs.data(), n);
  if (!dirs.empty()) dirs.pop_back();  // its NUL
  return dirs;
}

// The path of the program `name` as a search of PATH finds it, or "".
std::string Find_On_Path(const std::string& name) {
  std::string dirs = Search_Path();
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    std::string full = (dir.empty() ? "." : dir) + "/" + name;
    struct stat st;
    if (stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(full.c_str(), X_OK) == 0)
      return full;
    start = end + 1;
  }
  return "";
}

bool Is_On_Path(const std::string& name) { return !Find_On_Path(name).empty(); }

// The words of the environment variable `name`, a program and its options
// split at blanks; empty when it is unset or blank.
std::vector<std::string> Words_Of(const char* name) {
  const char* value = std::getenv(name);
  std::vector<std::string> words;
  std::string word;
  for (const char* c = value ? value : "";; c++) {
    if (*c == ' ' || *c == '\t' || *c == '\0') {
      if (!word.empty()) words.push_back(word);
      word.clear();
      if (*c == '\0') break;
    } else {
      word += *c;
    }
  }
  return words;
}

// Words of the user's editor: $VISUAL, then $EDITOR.
std::vector<std::string> Chosen_Editor() {
  std::vector<std::string> words = Words_Of("VISUAL");
  return words.empty() ? Words_Of("EDITOR") : words;
}

// Where nobody chose an editor: nano, else vi, with a word on how to leave it.
std::vector<std::string> Fallback_Editor() {
  if (Is_On_Path("nano")) return {"nano"};
  if (!Is_On_Path("vi")) return {};
  Write_Out("vi：按 i 开始输入，写完按 Esc，再输入 :wq 回车保存并退出。\n");
  return {"vi"};
}

// Editors read a word that begins with "-" or "+" as an option (vim runs the
// command of "+!cmd"), so such a file name is handed over as "./name".
int Open_Editor(const std::string& file) {
  std::vector<std::string> words = Chosen_Editor();
  if (words.empty()) words = Fallback_Editor();
  if (words.empty()) {
    std::cerr << "tivex: 找不到编辑器：请设置 EDITOR 环境变量。" << std::endl;
    return 127;
  }
  words.push_back(Path_Argument(file, "-+"));
  return Run_And_Wait(words, true);
}

// A path as the program to start: never looked up on PATH, and never taken
// by a program in between as an option, since it begins with "/" or "./".
std::string As_Path(const std::string& p) { return p.empty() || p[0] != '/' ? "./" + p : p; }

// What a window runs to start `program`. tmux runs a lone word through the
// shell, and xterm may too, so a program without arguments is started by a
// fixed script that gets its path as a parameter, never as script text.
std::vector<std::string> Window_Command(const std::vector<std::string>& program) {
  if (program.size() > 1) return program;
  return {"/bin/sh", "-c", "exec \"$0\"", program[0]};
}

std::string Working_Directory() {
  std::vector<char> buf(4096);
  while (getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE) return ".";
    buf.resize(buf.size() * 2);
  }
  return buf.data();
}

// Opens a new tmux window named `title` (or, when that is empty, after the
// program's file) in the working directory; returns at once. tmux expands
// formats in the name and the directory, "#(cmd)" among them, so every "#"
// there is doubled.
bool Start_In_Tmux(const std::string& title, const std::vector<std::string>& program) {
  std::string name = title.empty() ? Last_Component(program.back()) : title;
  std::vector<std::string> args = {"tmux", "new-window", "-n", Tmux_Literal(name),
                                   "-c",   Tmux_Literal(Working_Directory()), "--"};
  std::vector<std::string> command = Window_Command(program);
  args.insert(args.end(), command.begin(), command.end());
  return Run_And_Wait(args, true) == 0;
}

// What `args` writes on its standard output, or "" when it cannot run.
std::string Output_Of(const std::vector<std::string>& args) {
  int fds[2];
  if (pipe(fds) != 0) return "";
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  pid_t pid;
  int err = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  std::string out;
  char buf[4096];
  ssize_t n;
  while (err == 0 && ((n = read(fds[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR)))
    if (n > 0) out.append(buf, static_cast<size_t>(n));
  close(fds[0]);
  if (err == 0) Wait_Raw(pid);
  return out;
}

// Whether `terminal` is xterm or one of its wrappers, by its name or, for
// Debian's x-terminal-emulator, by the program that the name leads to.
bool Is_Xterm(const std::string& terminal) {
  std::vector<std::string> names = {Last_Component(terminal)};
  std::string path = terminal.find('/') == std::string::npos ? Find_On_Path(terminal) : terminal;
  if (char* real = path.empty() ? nullptr : realpath(path.c_str(), nullptr)) {
    names.push_back(Last_Component(real));
    std::free(real);
  }
  for (const std::string& name : names)
    if (name == "xterm" || name == "uxterm" || name == "lxterm") return true;
  return false;
}

// The terminal's words: $TERMINAL, else Debian's x-terminal-emulator. An
// xterm draws most Chinese characters as boxes in its own bitmap font, so it
// is started in UTF-8 with fontconfig's fonts: the monospace one for Latin
// text, and for the double-width characters the one that fontconfig picks
// for Chinese (a Chinese font for both would draw Latin text double-spaced).
std::vector<std::string> Terminal_Words() {
  std::vector<std::string> words = Words_Of("TERMINAL");
  if (words.empty()) words = {"x-terminal-emulator"};
  if (!Is_Xterm(words[0])) return words;
  words.insert(words.end(), {"-u8", "-fa", "monospace"});
  std::string font = Output_Of({"fc-match", "-f", "%{family[0]}", "monospace:lang=zh-cn"});
  if (!font.empty()) words.insert(words.end(), {"-fd", font});
  return words;
}

// Starts the program in a graphical terminal without waiting for it: a child
// starts the terminal and ends at once, so nothing is left to reap.
bool Start_In_Terminal(const std::vector<std::string>& program) {
  std::vector<std::string> args = Terminal_Words();
  args.push_back("-e");
  std::vector<std::string> command = Window_Command(program);
  args.insert(args.end(), command.begin(), command.end());
  pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    setsid();
    _exit(Start(args, true) < 0 ? 127 : 0);
  }
  if (Wait_For(pid) == 0) return true;
  Write_Out("无法打开终端窗口“" + Visible(args[0]) + "”：程序将在这个终端里运行。\n");
  return false;
}

bool Has_Env(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0';
}

// Starts words[1] with the arguments after it, in a window titled words[0].
int Start_Program(const std::vector<std::string>& words) {
  if (words.size() < 2) return 127;
  const std::string& title = words[0];
  std::vector<std::string> program(words.begin() + 1, words.end());
  program[0] = As_Path(program[0]);
  if (Has_Env("TMUX") && Start_In_Tmux(title, program)) return 0;
  if ((Has_Env("DISPLAY") || Has_Env("WAYLAND_DISPLAY")) && Start_In_Terminal(program)) return 0;
  // Here 0 means only that the program could be started.
  int ignored;
  return Run_Here(program, false, ignored) ? 0 : 127;
}

// fsync, recorded in FILE_CALLS for the tests to see that it was made.
int Fsync(int fd) {
  FILE_CALLS.push_back("fsync");
  return fsync(fd);
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
  FILE_CALLS.push_back("write");
  if (Fault_At("flush")) return Error_Text("fsync", EIO);
  if (Fsync(fd) != 0) return Error_Text("fsync", errno);
  return "";
}

// Opens a fresh temporary file beside `p` exclusively, passing over names
// that a leftover holds; its descriptor, or -1 with `error` set.
int Open_Fresh_Temp(const std::string& p, mode_t mode, std::string& temp, std::string& error) {
  for (int attempt = 0; attempt < 100; attempt++) {
    temp = Temp_Name_Beside(p, attempt);
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0) return fd;
    if (errno != EEXIST) break;
  }
  error = Error_Text("open", errno);
  return -1;
}

// Flushes the directory that holds `p`, so that a rename in it is on disk.
std::string Sync_Directory_Of(const std::string& p) {
  size_t slash = p.rfind('/');
  std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : p.substr(0, slash);
  int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Error_Text("open", errno);
  int result = Fsync(fd);
  int err = errno;
  close(fd);
  // Some file systems cannot flush a directory, and say so with EINVAL.
  if (result != 0 && err != EINVAL) return Error_Text("fsync", err);
  return "";
}

bool Starts_With(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

void Setup_Console() {
  Setup_Terminal();
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

int Platform_System(const std::string& t, const std::vector<std::string>& words) {
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
    Set_Title(t.substr(6));
    return 0;
  }
  // The paths are taken from `words`, never parsed back out of the line.
  if (Starts_With(t, "notepad.exe ") && words.size() == 1) return Open_Editor(words[0]);
  if (Starts_With(t, "cmd /c") && !words.empty()) return Run_And_Wait(words, false);
  if (Starts_With(t, "start ")) return Start_Program(words);
  std::cerr << "tivex: 无法执行命令：" << Visible(t) << std::endl;
  return 127;
}

Path_Kind Platform_Path_Status(const std::string& p) {
  struct stat st;
  if (stat(Without_Trailing_Separators(p, "/").c_str(), &st) != 0) return PATH_MISSING;
  if (S_ISREG(st.st_mode)) return PATH_FILE;
  if (S_ISDIR(st.st_mode)) return PATH_DIRECTORY;
  return PATH_OTHER;
}

bool Platform_Is_Executable(const std::string& p) { return access(p.c_str(), X_OK) == 0; }

bool Platform_Is_Compiled_Program(const std::string& p) {
  if (!Platform_Is_Executable(p)) return false;
  int fd = open(p.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  unsigned char head[4] = {0};
  ssize_t n = read(fd, head, sizeof head);
  close(fd);
  if (n != 4) return false;
  uint32_t magic = static_cast<uint32_t>(head[0]) << 24 | head[1] << 16 | head[2] << 8 | head[3];
  // ELF; Mach-O, 32 and 64 bits, either byte order; a universal (fat) Mach-O.
  for (uint32_t known : {0x7F454C46u, 0xFEEDFACEu, 0xFEEDFACFu, 0xCEFAEDFEu, 0xCFFAEDFEu, 0xCAFEBABEu})
    if (magic == known) return true;
  return false;
}

bool Modified_Time(const std::string& p, long long& time) {
  struct stat st;
  if (stat(p.c_str(), &st) != 0) return false;
#ifdef __APPLE__
  const timespec& m = st.st_mtimespec;
#else
  const timespec& m = st.st_mtim;
#endif
  time = static_cast<long long>(m.tv_sec) * 1000000000LL + m.tv_nsec;
  return true;
}

bool File_Is_Empty(const std::string& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0;
}

std::string Own_Directory() {
  std::vector<char> buf(4096);
#ifdef __APPLE__
  uint32_t size = static_cast<uint32_t>(buf.size());
  if (_NSGetExecutablePath(buf.data(), &size) != 0) return "";
  std::string self = buf.data();
#else
  ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0 || static_cast<size_t>(n) >= buf.size()) return "";
  std::string self(buf.data(), static_cast<size_t>(n));
#endif
  size_t slash = self.rfind('/');
  return slash == std::string::npos ? "" : self.substr(0, slash);
}

std::string Find_Compiler() { return Find_On_Path("g++"); }

std::string Create_New_File(const std::string& p) {
  int fd = open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return Error_Reason(static_cast<unsigned long>(errno));
  close(fd);
  return "";
}

std::string Read_Head(const std::string& p, int lines, std::string& text) {
  text.clear();
  int fd = open(p.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Error_Text("open", errno);
  char buf[4096];
  int seen = 0;
  while (seen < lines) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int err = errno;
      close(fd);
      return Error_Text("read", err);
    }
    if (n == 0) break;
    if (!Append_Head(text, buf, static_cast<size_t>(n), lines, seen)) {
      close(fd);
      return std::string("read: ") + LINE_TOO_LONG;
    }
  }
  close(fd);
  return "";
}

std::string Write_Temp_Beside(const std::string& p, const std::string& data, std::string& temp) {
  if (Fault_At("create")) return Error_Text("open", EACCES);
  // A settings file that only its owner may read stays so.
  struct stat st;
  bool keep_mode = stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  mode_t mode = keep_mode ? st.st_mode & 07777 : 0666;
  std::string error;
  int fd = Open_Fresh_Temp(p, mode, temp, error);
  if (fd < 0) return error;
  FILE_CALLS.push_back("open");
  Remove_At_Signal(temp);
  // Unlike open, fchmod leaves the umask out.
  if (keep_mode && fchmod(fd, mode) != 0) error = Error_Text("fchmod", errno);
  if (error.empty()) error = Write_And_Sync(fd, data);
  if (close(fd) != 0 && error.empty()) error = Error_Text("close", errno);
  if (!error.empty()) Remove_File(temp);
  return error;
}

std::string Replace_File(const std::string& from, const std::string& to) {
  if (Fault_At("rename")) return Error_Text("rename", EIO);
  struct stat st;
  // rename() will not put a file in place of a directory, even an empty one.
  if (lstat(to.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && rmdir(to.c_str()) != 0)
    return Error_Text("rmdir", errno);
  if (rename(from.c_str(), to.c_str()) != 0) return Error_Text("rename", errno);
  Remove_At_Signal("");
  FILE_CALLS.push_back("rename");
  return Sync_Directory_Of(to);
}

std::string Link_Target(const std::string& p) {
  std::string path = p;
  // As many links as the kernel itself follows; past that, the path as it is.
  for (int hops = 0; hops < 40; hops++) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::vector<char> buf(static_cast<size_t>(st.st_size) + 256);
    ssize_t n = readlink(path.c_str(), buf.data(), buf.size());
    if (n <= 0 || static_cast<size_t>(n) >= buf.size()) return path;
    std::string target(buf.data(), static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    path = target[0] == '/' || slash == std::string::npos ? target
                                                          : path.substr(0, slash + 1) + target;
  }
  return path;
}

void Remove_File(const std::string& p) {
  Remove_At_Signal("");
  unlink(p.c_str());
}

void Hide_File(const std::string&) {}

std::string Temp_Name_Beside(const std::string& p, int attempt) {
  std::string name = p + "." + std::to_string(getpid());
  if (attempt > 0) name += "-" + std::to_string(attempt);
  return name + ".tmp";
}

std::string Expand_Home(const std::string& p) {
  const char* home = std::getenv("HOME");
  if (p.compare(0, 2, "~/") != 0 || home == nullptr || *home == '\0') return p;
  return home + p.substr(1);
}

std::vector<std::string> Program_Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

namespace {

// Waits for `pid` as Wait_Raw does, and tells what it cost: its user and
// system CPU time, and its peak resident memory in MB.
int Wait_With_Cost(pid_t pid, double& cpu, double& peak_mb) {
  int raw = 0;
  struct rusage ru {};
  while (wait4(pid, &raw, 0, &ru) < 0) {
    if (errno != EINTR) return -1;
  }
  cpu = static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
        static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
#ifdef __APPLE__
  peak_mb = static_cast<double>(ru.ru_maxrss) / (1024.0 * 1024.0);  // bytes
#else
  peak_mb = static_cast<double>(ru.ru_maxrss) / 1024.0;  // KiB
#endif
  return raw;
}

}  // namespace

bool Run_Program(const std::string& path, long& status, int& sig, std::string& error, double& cpu,
                 double& peak_mb) {
  pid_t pid = -1;
  cpu = peak_mb = -1;
  Ignore_Interrupts();
  Save_Terminal_Modes();
  // The program runs in its own directory, where it finds the files beside
  // it ("in.txt"); so its path must not depend on ours.
  std::string absolute = path[0] == '/' ? path : Working_Directory() + "/" + path;
  std::string dir = absolute.substr(0, absolute.rfind('/') + 1);
  int err = Spawn({absolute}, false, pid, dir);
  int raw = err == 0 ? Wait_With_Cost(pid, cpu, peak_mb) : -1;
  Restore_Terminal_Modes();
  Restore_Interrupts();
  if (err != 0) {
    error = Error_Reason(static_cast<unsigned long>(err));
    return false;
  }
  status = raw >= 0 && WIFEXITED(raw) ? WEXITSTATUS(raw) : 0;
  sig = raw >= 0 && WIFSIGNALED(raw) ? WTERMSIG(raw) : 0;
  return true;
}

std::string Signal_Name(int sig) {
  switch (sig) {
    case SIGSEGV: return "段错误";
    case SIGABRT: return "程序中止";
    case SIGFPE: return "算术错误，例如整数除以零";
    case SIGINT: return "被 Ctrl-C 中断";
    case SIGQUIT: return "被 Ctrl-\\ 退出";
    case SIGKILL: return "被强制结束";
    case SIGTERM: return "被要求结束";
    case SIGBUS: return "总线错误";
    case SIGILL: return "非法指令";
    case SIGPIPE: return "管道已断开";
    default: break;
  }
  const char* name = strsignal(sig);
  return name ? name : "signal " + std::to_string(sig);
}

void Wait_For_Key_Press() { Prompt_For_Key(true); }

void Set_Window_Title(const std::string& title) { Set_Title(title); }

void Prepare_Program_Input() {}

void Put_First_On_Path(const std::string&) {}

void Restore_Path() {}

bool Can_Open_For_Writing(const std::string& p) {
  int fd = open(p.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  close(fd);
  return true;
}

std::string Error_Reason(unsigned long err) {
  switch (err) {
    case EEXIST: return "文件已存在";
    case EACCES:
    case EPERM: return "没有权限";
    case ENOENT: return "文件或目录不存在";
    case ENOTDIR: return "路径中有一项不是目录";
    case EISDIR: return "这是一个目录";
    case ENOSPC:
    case EDQUOT: return "磁盘已满";
    case EROFS: return "文件系统是只读的";
    case ENAMETOOLONG: return "名称太长";
    case ENOEXEC: return "不是可以运行的程序";
    default: return std::strerror(static_cast<int>(err));
  }
}
