// POSIX: the terminal (termios modes, the title escape, clearing), the signals
// that must give it back, key waits and 1 ms sleeps.

#include <fcntl.h>
#include <langinfo.h>
#include <poll.h>
#include <signal.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <string>

#include "platform/console.h"
#include "platform/console_internal.h"
#include "platform/console_posix.h"
#include "platform/text_internal.h"

namespace {

termios FOUND;  // the terminal as the key wait found it
termios KEYS;   // the key wait's mode: no line editing, no echo
termios BEFORE_CHILD;  // the terminal before a program ran in it
volatile sig_atomic_t IN_KEY_MODE = 0;
volatile sig_atomic_t CHILD_MODES_SAVED = 0;
volatile sig_atomic_t WAS_FOREGROUND = 0;  // this process had the terminal before the program
volatile sig_atomic_t TITLE_PUSHED = 0;
struct sigaction OLD_INT, OLD_QUIT;
char REMOVE_AT_SIGNAL[4096];  // a file, then the folder that held it when it was ours

// These run inside signal handlers too: system calls only.

// Makes `pgrp` the terminal's foreground process group. A process outside
// the foreground may do so only with SIGTTOU ignored, which would stop it.
void Set_Foreground(pid_t pgrp) {
  struct sigaction ignore {}, old {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGTTOU, &ignore, &old);
  tcsetpgrp(STDIN_FILENO, pgrp);
  sigaction(SIGTTOU, &old, nullptr);
}

// A program may have made itself the terminal's foreground process group,
// and modes may be set only from the foreground: it comes back first, as a
// shell takes it back from a job.
void Give_Back_Modes_Now() {
  if (IN_KEY_MODE) tcsetattr(STDIN_FILENO, TCSANOW, &FOUND);
  if (!CHILD_MODES_SAVED) return;
  if (WAS_FOREGROUND && tcgetpgrp(STDIN_FILENO) != getpgrp()) Set_Foreground(getpgrp());
  tcsetattr(STDIN_FILENO, TCSANOW, &BEFORE_CHILD);
}

void Pop_Title() {
  if (!TITLE_PUSHED) return;
  TITLE_PUSHED = 0;
  static const char pop[] = "\x1b[23;0t";
  ssize_t ignored = write(STDOUT_FILENO, pop, sizeof pop - 1);
  (void)ignored;
}

void Give_Back_Terminal() {
  Give_Back_Modes_Now();
  Pop_Title();
}

// The handler is reset on entry (SA_RESETHAND), so the signal raised again
// ends the program as it would have without us.
void On_Fatal_Signal(int sig) {
  Give_Back_Terminal();
  if (REMOVE_AT_SIGNAL[0] != '\0') unlink(REMOVE_AT_SIGNAL);
  size_t at = std::strlen(REMOVE_AT_SIGNAL) + 1;
  if (at < sizeof REMOVE_AT_SIGNAL && REMOVE_AT_SIGNAL[at] != '\0') rmdir(REMOVE_AT_SIGNAL + at);
  raise(sig);
}

// What is still buffered goes out under the title it was written under.
void Give_Back_At_Exit() {
  std::cout.flush();
  Give_Back_Terminal();
}

void On_Continue(int) {
  if (IN_KEY_MODE) tcsetattr(STDIN_FILENO, TCSANOW, &KEYS);
  CONTINUED = 1;
}

void Install(int sig, void (*handler)(int), int flags) {
  struct sigaction sa {};
  sa.sa_handler = handler;
  sa.sa_flags = flags;
  sigemptyset(&sa.sa_mask);
  sigaction(sig, &sa, nullptr);
}

// Ctrl-Z: the terminal goes back to its own mode while the program is
// stopped (SA_NODEFER lets the raised signal stop it here), and the key
// wait's mode returns with `fg`.
void On_Stop(int) {
  int saved = errno;
  Give_Back_Modes_Now();
  Install(SIGTSTP, SIG_DFL, 0);
  raise(SIGTSTP);
  Install(SIGTSTP, On_Stop, SA_NODEFER | SA_RESTART);
  On_Continue(SIGCONT);
  errno = saved;
}

// A signal that a parent made this program ignore stays ignored.
bool Was_Ignored(int sig) {
  struct sigaction old {};
  return sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN;
}

// Whether a byte arrives on standard input within `ms` milliseconds.
bool Byte_Arrives_Within(int ms) {
  pollfd p{STDIN_FILENO, POLLIN, 0};
  int n;
  while ((n = poll(&p, 1, ms)) < 0 && errno == EINTR) {
  }
  return n > 0;
}

// Reads the bytes of one key press: an escape sequence's bytes follow its
// first at once, so a byte that takes longer belongs to the next key.
void Read_Whole_Key() {
  std::string key;
  char c;
  while (!Key_Is_Complete(key)) {
    if (!key.empty() && !Byte_Arrives_Within(50)) return;
    ssize_t n = read(STDIN_FILENO, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n != 1) return;
    key += c;
  }
}

// Whether standard output is a terminal that obeys escape sequences: not
// one whose TERM is "dumb" or unset (Emacs' shell, some IDE consoles).
bool Shows_Escapes() {
  const char* term = std::getenv("TERM");
  return isatty(STDOUT_FILENO) && term != nullptr && *term != '\0' && std::strcmp(term, "dumb") != 0;
}

// Waits for one key press without echo, the terminal in non-canonical mode.
void Wait_For_Key() {
  // A program that ran here may have left the descriptor non-blocking.
  Make_Blocking(STDIN_FILENO);
  if (tcgetattr(STDIN_FILENO, &FOUND) != 0) return;
  KEYS = FOUND;
  KEYS.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  KEYS.c_cc[VMIN] = 1;
  KEYS.c_cc[VTIME] = 0;
  IN_KEY_MODE = 1;
  tcsetattr(STDIN_FILENO, TCSANOW, &KEYS);
  Read_Whole_Key();
  tcsetattr(STDIN_FILENO, TCSANOW, &FOUND);
  IN_KEY_MODE = 0;
}


}  // namespace

volatile sig_atomic_t CONTINUED = 0;

void Make_Blocking(int fd) {
  int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}

void Setup_Console() {
  static bool done = false;
  if (done) return;
  done = true;
  // A launcher that ignored SIGCHLD would leave no child to wait for.
  signal(SIGCHLD, SIG_DFL);
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
    if (!Was_Ignored(sig)) Install(sig, On_Fatal_Signal, SA_RESETHAND | SA_NODEFER);
  if (!Was_Ignored(SIGTSTP)) Install(SIGTSTP, On_Stop, SA_NODEFER | SA_RESTART);
  Install(SIGCONT, On_Continue, SA_RESTART);
  std::atexit(Give_Back_At_Exit);
#ifdef __linux__
  // The kernel may otherwise let each 1 ms sleep run 50 µs late, 5% of it.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}

bool Use_Environment_Characters() {
  std::setlocale(LC_CTYPE, "");
  const char* codeset = nl_langinfo(CODESET);
  return codeset != nullptr && std::strcmp(codeset, "UTF-8") == 0;
}

bool Terminal_Shows_Utf8() {
  if (!isatty(STDOUT_FILENO)) return true;
  // The locale is read, and put back as it was.
  std::string before = std::setlocale(LC_CTYPE, nullptr);
  bool utf8 = Use_Environment_Characters();
  std::setlocale(LC_CTYPE, before.c_str());
  return utf8;
}

void Sleep_For(long sec, long nsec) {
  timespec left{sec, nsec};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

void Remove_At_Signal(const std::string& path, const std::string& folder) {
  // Cleared first, so that a signal never sees half a name.
  REMOVE_AT_SIGNAL[0] = '\0';
  if (path.empty() || path.size() + folder.size() + 2 > sizeof REMOVE_AT_SIGNAL) return;
  std::memcpy(REMOVE_AT_SIGNAL + 1, path.c_str() + 1, path.size());
  std::memcpy(REMOVE_AT_SIGNAL + path.size() + 1, folder.c_str(), folder.size() + 1);
  REMOVE_AT_SIGNAL[0] = path[0];
}

void Save_Terminal_Modes() {
  if (tcgetattr(STDIN_FILENO, &BEFORE_CHILD) != 0) return;
  WAS_FOREGROUND = tcgetpgrp(STDIN_FILENO) == getpgrp();
  CHILD_MODES_SAVED = 1;
}

void Restore_Terminal_Modes() {
  if (!CHILD_MODES_SAVED) return;
  Give_Back_Modes_Now();
  CHILD_MODES_SAVED = 0;
}

void Hand_Terminal_To(pid_t pgrp) {
  if (WAS_FOREGROUND) Set_Foreground(pgrp);
}

void Ignore_Interrupts() {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGINT, &ignore, &OLD_INT);
  sigaction(SIGQUIT, &ignore, &OLD_QUIT);
}

void Restore_Interrupts() {
  sigaction(SIGINT, &OLD_INT, nullptr);
  sigaction(SIGQUIT, &OLD_QUIT, nullptr);
}

void Prompt_For_Key(bool drop) {
  Write(KEY_PROMPT);
  if (isatty(STDIN_FILENO)) {
    if (drop) tcflush(STDIN_FILENO, TCIFLUSH);
    Wait_For_Key();
  }
  Write("\n");
}

void Wait_For_Key_Press() { Prompt_For_Key(true); }

void Clear_Screen() { Write(Shows_Escapes() ? "\x1b[H\x1b[2J\x1b[3J" : "\f"); }

void Set_Window_Title(const std::string& title) {
  if (!Shows_Escapes()) return;
  if (!TITLE_PUSHED) {
    Write("\x1b[22;0t");
    TITLE_PUSHED = 1;
  }
  Write("\x1b]0;" + title + "\a");
}

// Terminals are UTF-8 both ways.
void Prepare_Program_Input() {}

