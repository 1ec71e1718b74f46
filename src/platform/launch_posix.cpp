// POSIX: where a program runs (a tmux window, a graphical terminal, or this terminal) and which editor opens a source; the one shell here is a fixed script that tmux and xterm need to start a lone program, which gets its path as "$0", never as script text.

#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "platform/console.h"
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

// What a window runs to start `program`. tmux runs a lone word through the
// shell, and xterm may too, so a program without arguments is started by a
// fixed script that gets its path as a parameter, never as script text.
std::vector<std::string> Window_Command(const std::vector<std::string>& program) {
  if (program.size() > 1) return program;
  return {"/bin/sh", "-c", "exec \"$0\"", program[0]};
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
  Write("无法打开终端窗口“" + Visible(args[0]) + "”：程序将在这个终端里运行。\n");
  return false;
}

}  // namespace

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
