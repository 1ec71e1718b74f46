// POSIX: where a program runs (a tmux window, a graphical terminal, or this terminal).
//
// A window runs this program again, with the handshake's FIFO and the program's words as its
// arguments: it becomes the program with execv, so the FIFO, closed on exec, proves that the
// program runs, or it tells the exec's error through it. No shell reads any of the words.

#include <fcntl.h>
#include <sys/stat.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/console_posix.h"
#include "platform/errors_internal.h"
#include "platform/file_system.h"
#include "platform/launch_posix.h"
#include "platform/programs.h"
#include "platform/programs_posix.h"
#include "platform/text.h"
#include "platform/text_internal.h"

namespace {

// A path as the program to start: never looked up on PATH, and never taken
// by a program in between as an option, since it begins with "/" or "./".
std::string As_Path(const std::string& p) { return p.empty() || p[0] != '/' ? "./" + p : p; }

// The first argument of this program when a window starts it to become a
// program (Become_Window_Program).
const char* const IN_WINDOW = "--in-window";

// What a window runs to start `program`: this program, which tells the
// handshake `started` that it is there and becomes the program; only an exec
// that succeeds closes its end without a word more. (tmux runs a lone word
// through the shell, and xterm may too: the words here are several.)
std::vector<std::string> Window_Command(const std::vector<std::string>& program,
                                        const std::string& started) {
  std::vector<std::string> command = {Own_File(), IN_WINDOW, started};
  command.insert(command.end(), program.begin(), program.end());
  return command;
}

int HANDSHAKE = -1;  // the read end of the handshake's FIFO while a window is awaited

// A FIFO that no window has written to yet, in a fresh directory of its own,
// open for reading (HANDSHAKE) before any window may look for it; "" when
// none can be made.
std::string New_Handshake() {
  const char* tmp = std::getenv("TMPDIR");
  std::string dir = Join_Path(tmp && *tmp ? tmp : "/tmp", "tivex-window.XXXXXX");
  if (mkdtemp(dir.data()) == nullptr) return "";
  std::string started = Join_Path(dir, "started");
  Remove_At_Signal(started, dir);
  if (mkfifo(started.c_str(), 0600) == 0)
    HANDSHAKE = open(started.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (HANDSHAKE >= 0) return started;
  unlink(started.c_str());
  rmdir(dir.c_str());
  Remove_At_Signal("");
  return "";
}

void Remove_Handshake(const std::string& started) {
  if (HANDSHAKE >= 0) close(HANDSHAKE);
  HANDSHAKE = -1;
  unlink(started.c_str());
  rmdir(Directory_Of(started).c_str());
  Remove_At_Signal("");
}

// What the window's end of the handshake said, once it has closed it: "s"
// when the program runs, "s" and an error number when its exec failed; ""
// while it says nothing yet or is still open.
std::string Handshake_Said(std::string& got) {
  char buf[64];
  ssize_t n;
  while ((n = read(HANDSHAKE, buf, sizeof buf)) > 0) got.append(buf, static_cast<size_t>(n));
  // Before any window opened it, the FIFO reads as ended too.
  return n == 0 && !got.empty() ? got : "";
}

// Whether the program has started in its window within ten seconds: 0 when
// it runs, its exec's error number when that failed, -1 when no window
// came. A `terminal` (0 for none) that ends with a failure before that has
// opened none; one that ends well may have left the window to a server of
// its own, as gnome-terminal does, and the handshake is still awaited. A
// terminal that has ended is set to 0, as nothing of it is left to end.
int Handshake_Arrives(pid_t& terminal) {
  std::string got;
  for (int wait = 0; wait < 200; wait++) {
    std::string said = Handshake_Said(got);
    if (!said.empty()) return said.size() > 1 ? std::atoi(said.c_str() + 1) : 0;
    int raw = 0;
    if (terminal > 0 && waitpid(terminal, &raw, WNOHANG) == terminal) {
      if (!WIFEXITED(raw) || WEXITSTATUS(raw) != 0) return -1;
      terminal = 0;
    }
    Sleep_For(0, 50000000L);
  }
  return -1;
}

// The null device, for what a window's program says of itself: its errors
// are not the user's program's, and never land on our screen.
int Null_Device() { return open("/dev/null", O_WRONLY | O_CLOEXEC); }

// Opens a new tmux window named `title` (or, when that is empty, after the
// program's file) in the working directory; as Handshake_Arrives. tmux
// expands formats in the name and the directory, "#(cmd)" among them, so
// every "#" there is doubled.
int Start_In_Tmux(const std::string& title, const std::vector<std::string>& program,
                  const std::string& started) {
  std::string name = title.empty() ? Last_Component(program.back()) : title;
  std::vector<std::string> args = {"tmux", "new-window", "-n", Tmux_Literal(name),
                                   "-c",   Tmux_Literal(Working_Directory()), "--"};
  std::vector<std::string> command = Window_Command(program, started);
  args.insert(args.end(), command.begin(), command.end());
  int null = Null_Device();
  pid_t pid = -1, none = 0;
  bool asked = Spawn(args, true, pid, null, null) == 0 && Wait_For_Process(pid) == 0;
  close(null);
  return asked ? Handshake_Arrives(none) : -1;
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
  // Under a Chinese locale fontconfig's "monospace" is a Chinese face,
  // whose Latin letters stand a cell apart: Latin text asks for a Latin
  // face, Chinese for the wide one.
  words.insert(words.end(), {"-u8", "-fa", "monospace:lang=en"});
  std::string font = Output_Of({"fc-match", "-f", "%{family[0]}", "monospace:lang=zh-cn"});
  if (!font.empty()) words.insert(words.end(), {"-fd", font});
  return words;
}

// Starts the program in the graphical terminal `terminal` (its words) and
// returns once it has started there, without waiting for it, as
// Handshake_Arrives: a child of ours starts the terminal, awaits the
// handshake and ends with what it found (an exec's error number from 10 on),
// so nothing is left to reap. A terminal whose window never came is ended.
int Start_In_Terminal(std::vector<std::string> terminal, const std::vector<std::string>& program,
                      const std::string& started) {
  terminal.push_back("-e");
  std::vector<std::string> command = Window_Command(program, started);
  terminal.insert(terminal.end(), command.begin(), command.end());
  pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    setsid();
    int null = Null_Device();
    pid_t window = -1;
    if (Spawn(terminal, true, window, null, null) != 0) _exit(1);
    int arrived = Handshake_Arrives(window);
    if (arrived >= 0) _exit(arrived == 0 ? 0 : 10 + arrived);
    if (window > 0) kill(window, SIGTERM);
    _exit(1);
  }
  int result = Wait_For_Process(pid);
  return result == 0 ? 0 : result >= 10 && result < 128 ? result - 10 : -1;
}

void Tell_No_Window(const std::string& name) {
  Write("无法打开终端窗口“" + Visible(name) + "”：程序将在这个终端里运行。\n");
}

// Whether this program's terminal is the tmux pane that $TMUX_PANE names.
// TMUX is inherited by whatever a pane starts (a graphical terminal, an
// editor's terminal): a window opened there is one that nobody looks at.
bool Runs_In_Tmux_Pane() {
  const char* pane = std::getenv("TMUX_PANE");
  const char* own = ttyname(STDIN_FILENO);
  if (!Has_Env("TMUX") || pane == nullptr || *pane == '\0' || own == nullptr) return false;
  std::string tty = Output_Of({"tmux", "display-message", "-p", "-t", pane, "#{pane_tty}"});
  while (!tty.empty() && tty.back() == '\n') tty.pop_back();
  return tty == own;
}

// Starts `program` in a window titled `title` when one opens: tmux's, or a
// graphical terminal's. As Handshake_Arrives; a window that did not open is
// told.
int Start_In_Window(const std::string& title, const std::vector<std::string>& program) {
  bool tmux = Runs_In_Tmux_Pane();
  if (!tmux && !Has_Env("DISPLAY") && !Has_Env("WAYLAND_DISPLAY")) return -1;
  std::vector<std::string> terminal = tmux ? std::vector<std::string>{"tmux"} : Terminal_Words();
  std::string started = Own_File().empty() ? "" : New_Handshake();
  int arrived = started.empty() ? -1
                : tmux          ? Start_In_Tmux(title, program, started)
                                : Start_In_Terminal(terminal, program, started);
  if (!started.empty()) Remove_Handshake(started);
  if (arrived < 0) Tell_No_Window(terminal[0]);
  return arrived;
}

// Tells why `program` could not be started: the call's error `err`, and what
// a beginner can do where there is more to say.
void Tell_Start_Failure(const std::string& call, int err, const std::string& program) {
  std::cerr << "tivex: " << Call_Error(call.c_str(), static_cast<unsigned long>(err)) << " ("
            << Visible(program) << ")" << std::endl;
  std::string hint = Start_Failure_Hint(program);
  if (!hint.empty()) Write(hint + "\n");
}

}  // namespace

void Become_Window_Program(const std::vector<std::string>& args) {
  if (args.size() < 4 || args[1] != IN_WINDOW) return;
  int told = open(args[2].c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  ssize_t ignored = told >= 0 ? write(told, "s", 1) : 0;
  std::vector<char*> argv;
  for (size_t i = 3; i < args.size(); i++) argv.push_back(const_cast<char*>(args[i].c_str()));
  argv.push_back(nullptr);
  execv(argv[0], argv.data());
  int err = errno;
  std::string number = std::to_string(err);
  if (told >= 0) ignored = write(told, number.data(), number.size());
  (void)ignored;
  std::cerr << "tivex: " << Call_Error("execv", static_cast<unsigned long>(err)) << " ("
            << Visible(args[3]) << ")" << std::endl;
  _exit(127);
}

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

int Start_Program(const std::vector<std::string>& words) {
  if (words.size() < 2) return 127;
  const std::string& title = words[0];
  std::vector<std::string> program(words.begin() + 1, words.end());
  program[0] = As_Path(program[0]);
  int arrived = Start_In_Window(title, program);
  if (arrived == 0) return 0;
  if (arrived > 0) {
    // The window opened, and the program could not be run in it.
    Tell_Start_Failure("execv", arrived, program[0]);
    return 127;
  }
  // Here 0 means only that the program could be started.
  int ignored;
  if (Run_Here(program, false, ignored, true)) return 0;
  std::string hint = Start_Failure_Hint(program[0]);
  if (!hint.empty()) Write(hint + "\n");
  return 127;
}
