// POSIX: programs started from an argv with posix_spawn and waited for, a
// program measured for ConsolePauser, the PATH search, and the compiler's
// language.

#ifdef HAVE_NSGETEXECUTABLEPATH
#include <mach-o/dyld.h>
#endif
#ifdef HAVE_KERN_PROC_PATHNAME
#include <sys/sysctl.h>
#endif
#include <fcntl.h>
#include <locale.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/console_posix.h"
#include "platform/errors_internal.h"
#include "platform/programs.h"
#include "platform/programs_posix.h"
#include "platform/text.h"

extern char** environ;

const char* const EXE_SUFFIX = "";
// Relinking over a running program only unlinks the old file's name.
const bool RUNNING_PROGRAM_IS_LOCKED = false;
const bool PAUSER_PASSES_STATUS = true;

namespace {

// `args` as the NULL-ended array that exec takes; it points into `args`.
std::vector<char*> Argv_Of(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  return argv;
}

// Waits for `pid` to end; its wait status, or -1 when it cannot be waited
// for. A child that stops (it raised SIGSTOP, or read from a terminal that
// it had taken from us) is handed the terminal and continued, as a shell's
// fg does: nobody else could continue it, and the wait would never end.
int Wait_Raw(pid_t pid) {
  int raw = 0;
  while (true) {
    if (waitpid(pid, &raw, WUNTRACED) < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (!WIFSTOPPED(raw)) return raw;
    Hand_Terminal_To(getpgid(pid));
    kill(pid, SIGCONT);
  }
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

// The signals that this process ignores now: a launcher may have left some
// ignored (SIG_IGN survives exec), and Tivex ignores SIGINT and SIGQUIT while
// a child runs. A child starts with each of them at its default, as a shell
// starts a command.
sigset_t Ignored_Signals() {
  sigset_t ignored;
  sigemptyset(&ignored);
  for (int sig = 1; sig < NSIG; sig++) {
    struct sigaction now {};
    if (sig != SIGKILL && sig != SIGSTOP && sigaction(sig, nullptr, &now) == 0 &&
        now.sa_handler == SIG_IGN)
      sigaddset(&ignored, sig);
  }
  sigaddset(&ignored, SIGINT);
  sigaddset(&ignored, SIGQUIT);
  return ignored;
}

// Starts the program `path` in the directory `dir` with fork and exec, its
// signals at their defaults and none blocked: Linux counts into a program's peak
// memory that of the process that execs it, and a spawn that borrows our
// memory (vfork) would lend it ConsolePauser's. 0 or the error number; the
// child reports a failed exec through a pipe that exec closes, and ends with
// 127.
int Fork_Exec(const std::string& path, const std::string& dir, pid_t& pid) {
  int fds[2];
  if (int err = Open_Pipe(fds)) return err;
  sigset_t ignored = Ignored_Signals(), none;
  sigemptyset(&none);
  pid = fork();
  if (pid < 0) {
    int err = errno;
    close(fds[0]);
    close(fds[1]);
    return err;
  }
  if (pid == 0) {
    close(fds[0]);
    for (int sig = 1; sig < NSIG; sig++)
      if (sigismember(&ignored, sig) == 1) signal(sig, SIG_DFL);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    if (chdir(dir.c_str()) == 0) execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
    int err = errno;
    ssize_t ignored = write(fds[1], &err, sizeof err);
    (void)ignored;
    _exit(127);
  }
  close(fds[1]);
  int err = 0;
  ssize_t n;
  while ((n = read(fds[0], &err, sizeof err)) < 0 && errno == EINTR) {
  }
  close(fds[0]);
  // Exec closed the pipe without a word: the program runs.
  if (n != static_cast<ssize_t>(sizeof err)) return 0;
  waitpid(pid, nullptr, 0);
  return err;
}

double Seconds_Of(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

}  // namespace

int Open_Pipe(int fds[2]) {
  if (pipe(fds) != 0) return errno;
  for (int i = 0; i < 2; i++)
    if (fcntl(fds[i], F_SETFD, FD_CLOEXEC) != 0) {
      int err = errno;
      close(fds[0]);
      close(fds[1]);
      return err;
    }
  return 0;
}

int Spawn(const std::vector<std::string>& args, bool search, pid_t& pid, int out, int err,
          bool own_group) {
  std::vector<char*> argv = Argv_Of(args);
  posix_spawnattr_t attr;
  posix_spawn_file_actions_t actions;
  if (int failed = posix_spawnattr_init(&attr)) return failed;
  if (int failed = posix_spawn_file_actions_init(&actions)) {
    posix_spawnattr_destroy(&attr);
    return failed;
  }
  sigset_t defaults = Ignored_Signals(), none;
  sigemptyset(&none);
  int failed = posix_spawnattr_setsigdefault(&attr, &defaults);
  if (!failed) failed = posix_spawnattr_setsigmask(&attr, &none);
  short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | (own_group ? POSIX_SPAWN_SETPGROUP : 0);
  if (!failed && own_group) failed = posix_spawnattr_setpgroup(&attr, 0);
#ifdef HAVE_POSIX_SPAWN_FILE_ACTIONS_ADDTCSETPGRP_NP
  // Its group takes the terminal before it runs, as a shell's job does: it
  // never starts in the background (the caller hands it over again anyway).
  if (!failed && own_group && tcgetpgrp(STDIN_FILENO) == getpgrp())
    failed = posix_spawn_file_actions_addtcsetpgrp_np(&actions, STDIN_FILENO);
#endif
  if (!failed) failed = posix_spawnattr_setflags(&attr, flags);
  if (!failed && out >= 0) failed = posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
  if (!failed && err >= 0) failed = posix_spawn_file_actions_adddup2(&actions, err, STDERR_FILENO);
  if (!failed)
    failed = search ? posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ)
                    : posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  return failed;
}

pid_t Start(const std::vector<std::string>& args, bool search, bool own_group, int errors) {
  pid_t pid = -1;
  int err = Spawn(args, search, pid, -1, errors, own_group);
  if (err == 0) return pid;
  std::cerr << "tivex: " << Call_Error("posix_spawn", err) << " (" << Visible(args[0]) << ")"
            << std::endl;
  return -1;
}

int Wait_For_Process(pid_t pid) {
  int raw = Wait_Raw(pid);
  if (raw >= 0 && WIFEXITED(raw)) return WEXITSTATUS(raw);
  if (raw >= 0 && WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
  return 127;
}

bool Run_Here(const std::vector<std::string>& args, bool search, int& result, bool as_job) {
  Ignore_Interrupts();
  Save_Terminal_Modes();
  pid_t pid = Start(args, search, as_job);
  // As a shell runs a job: the terminal's keys (Ctrl-C) are then its alone,
  // not Tivex's nor the shell's that started Tivex. It is taken back before
  // the modes are given back.
  if (pid >= 0 && as_job) Hand_Terminal_To(pid);
  if (pid >= 0) result = Wait_For_Process(pid);
  Restore_Terminal_Modes();
  Restore_Interrupts();
  return pid >= 0;
}

std::string Output_Of(const std::vector<std::string>& args) {
  int fds[2];
  // The child's copy of the read end goes with exec; its standard output is
  // a copy of the write end, which stays.
  if (Open_Pipe(fds) != 0) return "";
  // What it says of its failures is not for the user's screen.
  int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  pid_t pid;
  int err = Spawn(args, true, pid, fds[1], null);
  close(fds[1]);
  if (null >= 0) close(null);
  std::string out;
  char buf[4096];
  ssize_t n;
  while (err == 0 && ((n = read(fds[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR)))
    if (n > 0) out.append(buf, static_cast<size_t>(n));
  close(fds[0]);
  if (err == 0) Wait_Raw(pid);
  return out;
}

bool Has_Env(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0';
}

std::string Find_On_Path(const std::string& name) {
  std::string dirs = Search_Path();
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    std::string full = Join_Path(dir.empty() ? "." : dir, name);
    struct stat st;
    if (stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(full.c_str(), X_OK) == 0)
      return full;
    start = end + 1;
  }
  return "";
}

std::string Working_Directory() {
  std::vector<char> buf(4096);
  while (getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE) return ".";
    buf.resize(buf.size() * 2);
  }
  return buf.data();
}

bool Run_Program(const std::string& path, long& status, int& sig, std::string& error, double& cpu,
                 double& peak_mb) {
  pid_t pid = -1;
  cpu = peak_mb = -1;
  Ignore_Interrupts();
  Save_Terminal_Modes();
  // The program runs in its own directory, where it finds the files beside
  // it ("in.txt"); so its path must not depend on ours.
  std::string absolute = path[0] == '/' ? path : Join_Path(Working_Directory(), path);
  int err = Fork_Exec(absolute, Directory_Of(absolute), pid);
  int raw = err == 0 ? Wait_Raw(pid) : -1;
  // The program is ConsolePauser's only child: what the children cost is its.
  struct rusage ru {};
  getrusage(RUSAGE_CHILDREN, &ru);
  Restore_Terminal_Modes();
  Restore_Interrupts();
  if (err != 0) {
    error = Error_Reason(static_cast<unsigned long>(err));
    return false;
  }
  if (raw >= 0) {
    cpu = Seconds_Of(ru.ru_utime) + Seconds_Of(ru.ru_stime);
#ifdef __APPLE__
    peak_mb = static_cast<double>(ru.ru_maxrss) / (1024.0 * 1024.0);  // bytes
#else
    peak_mb = static_cast<double>(ru.ru_maxrss) / 1024.0;  // KiB
#endif
  }
  status = raw >= 0 && WIFEXITED(raw) ? WEXITSTATUS(raw) : 0;
  sig = raw >= 0 && WIFSIGNALED(raw) ? WTERMSIG(raw) : 0;
  return true;
}

namespace {

// The variables that Put_Chinese_Language set, for Restore_Language to take.
std::vector<std::string> LANGUAGE_PUT;

// Whether the locale category `name` falls to C: set to C or POSIX, or,
// where neither it nor LANG is set, by default.
bool Falls_To_C(const char* name) {
  const char* v = Has_Env(name) ? std::getenv(name) : std::getenv("LANG");
  return v == nullptr || *v == '\0' || std::strcmp(v, "C") == 0 || std::strcmp(v, "POSIX") == 0;
}

// A UTF-8 locale that this machine has: C.UTF-8 (glibc, musl) or the others
// that macOS and the BSDs have; "" when none.
std::string Utf8_Locale() {
  for (const char* name : {"C.UTF-8", "en_US.UTF-8", "UTF-8"}) {
    locale_t found = newlocale(LC_CTYPE_MASK | LC_MESSAGES_MASK, name, nullptr);
    if (found == nullptr) continue;
    freelocale(found);
    return name;
  }
  return "";
}

void Put(const char* name, const std::string& value) {
  if (setenv(name, value.c_str(), 1) == 0) LANGUAGE_PUT.push_back(name);
}

}  // namespace

void Put_Chinese_Language() {
  // A language the user chose wins.
  if (Has_Env("LANGUAGE") || Has_Env("LC_ALL") || Has_Env("LC_MESSAGES")) return;
  Put("LANGUAGE", "zh_CN:zh");
  // Under the C locale gettext reads no catalog, whatever LANGUAGE says; its
  // messages then need a locale of UTF-8 characters, or they are "??".
  if (!Falls_To_C("LC_MESSAGES")) return;
  std::string utf8 = Utf8_Locale();
  if (utf8.empty()) return;
  Put("LC_MESSAGES", utf8);
  if (Falls_To_C("LC_CTYPE")) Put("LC_CTYPE", utf8);
}

void Restore_Language() {
  for (const std::string& name : LANGUAGE_PUT) unsetenv(name.c_str());
  LANGUAGE_PUT.clear();
}

std::string Start_Failure_Hint(const std::string& path) {
  struct statvfs fs;
  std::string dir = Directory_Of(path);
  if (statvfs(dir.empty() ? "." : dir.c_str(), &fs) != 0 || !(fs.f_flag & ST_NOEXEC)) return "";
  return "这个文件夹所在的文件系统不允许运行程序（noexec）：请把源文件移到主目录下的文件夹里，再编译运行。";
}

// A program finds its libraries without help here.
void Put_First_On_Path(const std::string&) {}

void Restore_Path() {}

std::string Find_Compiler() { return Find_On_Path("g++"); }

std::string Own_File() {
  // Where the system tells a program its own file: dyld on macOS, sysctl on
  // FreeBSD, /proc on Linux. Links are resolved, as the installed layout
  // (bin beside lib/tivex) is found from the real file.
  std::vector<char> buf(4096);
#if defined(HAVE_NSGETEXECUTABLEPATH)
  uint32_t size = static_cast<uint32_t>(buf.size());
  if (_NSGetExecutablePath(buf.data(), &size) != 0) return "";
#elif defined(HAVE_KERN_PROC_PATHNAME)
  int mib[4] = {CTL_KERN, KERN_PROC, KERN_PROC_PATHNAME, -1};
  size_t size = buf.size();
  if (sysctl(mib, 4, buf.data(), &size, nullptr, 0) != 0) return "";
#else
  std::string("/proc/self/exe").copy(buf.data(), buf.size() - 1);
#endif
  char* real = realpath(buf.data(), nullptr);
  if (real == nullptr) return "";
  std::string self = real;
  std::free(real);
  return self;
}

std::string Own_Directory() { return Directory_Of(Own_File()); }

// A program is started from inside an archive only on Windows.
bool Runs_From_Temporary_Folder() { return false; }

std::vector<std::string> Program_Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}
