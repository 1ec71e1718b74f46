// POSIX: where a program runs (a tmux window, a graphical terminal, or this terminal, with a handshake that tells a window that opened from one that did not) and which editor opens a source. The one shell here runs a fixed script in the window: it leaves the handshake and becomes the program, whose words reach it as parameters, never as script text.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/console_posix.h"
#include "platform/file_system.h"
#include "platform/programs.h"
#include "platform/programs_posix.h"
#include "platform/text.h"
#include "platform/text_internal.h"

namespace {

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

bool Has_Env(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0';
}

// Words of the user's editor: $VISUAL, then $EDITOR.
std::vector<std::string> Chosen_Editor() {
  std::vector<std::string> words = Words_Of("VISUAL");
  return words.empty() ? Words_Of("EDITOR") : words;
}

// Where nobody chose an editor: nano, else vi, with a word on how to leave it.
std::vector<std::string> Fallback_Editor() {
  if (!Find_On_Path("nano").empty()) return {"nano"};
  if (Find_On_Path("vi").empty()) return {};
  Write("vi：按 i 开始输入，写完按 Esc，再输入 :wq 回车保存并退出。\n");
  return {"vi"};
}

// A path as the program to start: never looked up on PATH, and never taken
// by a program in between as an option, since it begins with "/" or "./".
std::string As_Path(const std::string& p) { return p.empty() || p[0] != '/' ? "./" + p : p; }

// What a window runs to start `program`: a fixed script that leaves the
// file `started` and becomes the program. (tmux runs a lone word through the
// shell, and xterm may too; the script takes every word as a parameter.)
std::vector<std::string> Window_Command(const std::vector<std::string>& program,
                                        const std::string& started) {
  std::vector<std::string> command = {"/bin/sh", "-c", ": > \"$0\" && exec \"$@\"", started};
  command.insert(command.end(), program.begin(), program.end());
  return command;
}

// A file that no window has left yet, in a fresh directory of its own; ""
// when none can be made.
std::string New_Handshake() {
  const char* tmp = std::getenv("TMPDIR");
  std::string dir = Join_Path(tmp && *tmp ? tmp : "/tmp", "tivex-window.XXXXXX");
  if (mkdtemp(dir.data()) == nullptr) return "";
  Remove_At_Signal(Join_Path(dir, "started"), dir);
  return Join_Path(dir, "started");
}

void Remove_Handshake(const std::string& started) {
  unlink(started.c_str());
  rmdir(Directory_Of(started).c_str());
  Remove_At_Signal("");
}

// Whether the program has started in its window within ten seconds. A
// `terminal` (0 for none) that ends with a failure before that has opened
// none; one that ends well may have left the window to a server of its own,
// as gnome-terminal does, and the handshake is still awaited. A terminal
// that has ended is set to 0, as nothing of it is left to end.
bool Handshake_Arrives(const std::string& started, pid_t& terminal) {
  for (int wait = 0; wait < 200; wait++) {
    if (access(started.c_str(), F_OK) == 0) return true;
    int raw = 0;
    if (terminal > 0 && waitpid(terminal, &raw, WNOHANG) == terminal) {
      if (!WIFEXITED(raw) || WEXITSTATUS(raw) != 0) return false;
      terminal = 0;
    }
    Sleep_For(0, 50000000L);
  }
  return false;
}

// The null device, for what a window's program says of itself: its errors
// are not the user's program's, and never land on our screen.
int Null_Device() { return open("/dev/null", O_WRONLY | O_CLOEXEC); }

// Opens a new tmux window named `title` (or, when that is empty, after the
// program's file) in the working directory; true once the program has
// started in it. tmux expands formats in the name and the directory,
// "#(cmd)" among them, so every "#" there is doubled.
bool Start_In_Tmux(const std::string& title, const std::vector<std::string>& program,
                   const std::string& started) {
  std::string name = title.empty() ? Last_Component(program.back()) : title;
  std::vector<std::string> args = {"tmux", "new-window", "-n", Tmux_Literal(name),
                                   "-c",   Tmux_Literal(Working_Directory()), "--"};
  std::vector<std::string> command = Window_Command(program, started);
  args.insert(args.end(), command.begin(), command.end());
  int null = Null_Device();
  pid_t pid = -1, none = 0;
  bool opened = Spawn(args, true, pid, null, null) == 0 && Wait_For(pid) == 0 &&
                Handshake_Arrives(started, none);
  close(null);
  return opened;
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

// Starts the program in the graphical terminal `terminal` (its words) and
// returns once it has started there, without waiting for it: a child of
// ours starts the terminal, awaits the handshake and ends, so nothing is
// left to reap. A terminal whose window never came is ended.
bool Start_In_Terminal(std::vector<std::string> terminal, const std::vector<std::string>& program,
                       const std::string& started) {
  terminal.push_back("-e");
  std::vector<std::string> command = Window_Command(program, started);
  terminal.insert(terminal.end(), command.begin(), command.end());
  pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    setsid();
    int null = Null_Device();
    pid_t window = -1;
    if (Spawn(terminal, true, window, null, null) != 0) _exit(1);
    if (Handshake_Arrives(started, window)) _exit(0);
    if (window > 0) kill(window, SIGTERM);
    _exit(1);
  }
  return Wait_For(pid) == 0;
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
// graphical terminal's. False, told, when the window did not open.
bool Start_In_Window(const std::string& title, const std::vector<std::string>& program) {
  bool tmux = Runs_In_Tmux_Pane();
  if (!tmux && !Has_Env("DISPLAY") && !Has_Env("WAYLAND_DISPLAY")) return false;
  std::vector<std::string> terminal = tmux ? std::vector<std::string>{"tmux"} : Terminal_Words();
  std::string started = New_Handshake();
  bool opened = !started.empty() && (tmux ? Start_In_Tmux(title, program, started)
                                          : Start_In_Terminal(terminal, program, started));
  if (!started.empty()) Remove_Handshake(started);
  if (!opened) Tell_No_Window(terminal[0]);
  return opened;
}

}  // namespace

// Editors read a word that begins with "-" or "+" as an option (vim runs the
// command of "+!cmd"), so such a file name is handed over as "./name".
namespace {

int EDITOR_LINE = 0, EDITOR_COL = 0, EDITOR_SCREEN_COL = 0;  // where the editor is to start

// Appends `file` to the editor's words `words`, with the place where the
// editor is to put its cursor in the form that editor takes.
void Add_File_At_Place(std::vector<std::string>& words, const std::string& file) {
  std::string editor = Last_Component(words[0]);
  std::string line = std::to_string(EDITOR_LINE), col = std::to_string(EDITOR_COL);
  if (EDITOR_LINE <= 0) {
    words.push_back(file);
  } else if (editor == "nano") {
    // nano counts columns as the screen shows them.
    words.insert(words.end(), {"+" + line + "," + std::to_string(EDITOR_SCREEN_COL), file});
  } else if (editor == "vi" || editor == "vim" || editor == "nvim" || editor == "gedit") {
    words.insert(words.end(), {"+" + line, file});
  } else if (editor == "emacs" || editor == "emacsclient") {
    words.insert(words.end(), {"+" + line + ":" + col, file});
  } else if (editor == "code") {
    words.insert(words.end(), {"-g", file + ":" + line + ":" + col});
  } else if (editor == "kate") {
    words.insert(words.end(), {"-l", line, "-c", col, file});
  } else if (editor == "micro") {
    words.push_back(file + ":" + line + ":" + col);
  } else {
    words.push_back(file);
  }
}

}  // namespace

const bool EDITOR_TAKES_A_PLACE = true;

void Set_Editor_Place(int line, int col, int screen_col) {
  EDITOR_LINE = line;
  EDITOR_COL = col;
  EDITOR_SCREEN_COL = screen_col;
}

int Open_Editor(const std::string& file) {
  std::vector<std::string> words = Chosen_Editor();
  if (words.empty()) words = Fallback_Editor();
  if (words.empty()) {
    std::cerr << "tivex: 找不到编辑器：请设置 EDITOR 环境变量。" << std::endl;
    return 127;
  }
  Add_File_At_Place(words, Path_Argument(file, "-+"));
  return Run_And_Wait(words, true);
}

int Start_Program(const std::vector<std::string>& words) {
  if (words.size() < 2) return 127;
  const std::string& title = words[0];
  std::vector<std::string> program(words.begin() + 1, words.end());
  program[0] = As_Path(program[0]);
  if (Start_In_Window(title, program)) return 0;
  // Here 0 means only that the program could be started.
  int ignored;
  if (Run_Here(program, false, ignored, true)) return 0;
  std::string hint = Start_Failure_Hint(program[0]);
  if (!hint.empty()) Write(hint + "\n");
  return 127;
}
