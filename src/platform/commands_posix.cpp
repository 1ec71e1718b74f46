// POSIX: each command line of the program's vocabulary done without a shell,
// from the words that it names.

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "platform/commands.h"
#include "platform/console.h"
#include "platform/console_posix.h"
#include "platform/launch_posix.h"
#include "platform/programs_posix.h"
#include "platform/text.h"
#include "platform/text_internal.h"

namespace {

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

// Runs the user's editor on `file` and waits.
int Open_Editor(const std::string& file) {
  std::vector<std::string> words = Chosen_Editor();
  if (words.empty()) words = Fallback_Editor();
  if (words.empty()) {
    std::cerr << "tivex: 找不到编辑器：请设置 EDITOR 环境变量。" << std::endl;
    return 127;
  }
  // Editors read a word that begins with "-" or "+" as an option (vim runs
  // the command of "+!cmd"), so such a file name is handed over as "./name".
  Add_File_At_Place(words, Path_Argument(file, "-+"));
  int result = 127;
  Run_Here(words, true, result);
  return result;
}

std::string CAPTURED;  // what the last "cmd /c" line wrote on standard error
const size_t CAPTURE_LIMIT = 1 << 20;

// The ends of a pseudo terminal where standard error is a terminal, so that
// the compiler still colours its messages and fits them to the window; of a
// pipe elsewhere. Both close on exec; false when neither can be had.
bool Open_Capture(int& reader, int& writer) {
  reader = isatty(STDERR_FILENO) ? posix_openpt(O_RDWR | O_NOCTTY) : -1;
  const char* name = reader >= 0 && grantpt(reader) == 0 && unlockpt(reader) == 0
                         ? ptsname(reader) : nullptr;
  writer = name ? open(name, O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
  if (writer >= 0) {
    winsize size;
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0) ioctl(writer, TIOCSWINSZ, &size);
    return fcntl(reader, F_SETFD, FD_CLOEXEC) == 0;
  }
  if (reader >= 0) close(reader);
  int fds[2];
  if (Open_Pipe(fds) != 0) return false;
  reader = fds[0];
  writer = fds[1];
  return true;
}

// Copies what comes from `reader` to standard error until nobody writes
// there any more, keeping the first CAPTURE_LIMIT bytes in CAPTURED.
void Relay_Errors(int reader) {
  char buf[4096];
  while (true) {
    ssize_t n = read(reader, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    // A pseudo terminal whose other end is closed reads EIO.
    if (n <= 0) return;
    for (ssize_t done = 0, w; done < n; done += w)
      if ((w = write(STDERR_FILENO, buf + done, static_cast<size_t>(n - done))) < 0) {
        if (errno != EINTR) break;
        w = 0;
      }
    CAPTURED.append(buf, std::min(static_cast<size_t>(n), CAPTURE_LIMIT - CAPTURED.size()));
  }
}

// Runs `args` as Run_Here does, its standard error relayed through
// CAPTURED; its result, or 127 when it cannot be started.
int Run_Capturing_Errors(const std::vector<std::string>& args) {
  CAPTURED.clear();
  int reader = -1, writer = -1;
  int result = 127;
  if (!Open_Capture(reader, writer)) {
    Run_Here(args, false, result);
    return result;
  }
  Ignore_Interrupts();
  Save_Terminal_Modes();
  pid_t pid = Start(args, false, false, writer);
  close(writer);
  if (pid >= 0) {
    Relay_Errors(reader);
    result = Wait_For_Process(pid);
  }
  close(reader);
  Restore_Terminal_Modes();
  Restore_Interrupts();
  return result;
}

}  // namespace

const std::string& Captured_Errors() { return CAPTURED; }

const bool EDITOR_TAKES_A_PLACE = true;

void Set_Editor_Place(int line, int col, int screen_col) {
  EDITOR_LINE = line;
  EDITOR_COL = col;
  EDITOR_SCREEN_COL = screen_col;
}

int Platform_System(const std::string& t, const std::vector<std::string>& words) {
  if (t == "cls") {
    Clear_Screen();
    return 0;
  }
  if (t == "pause") {
    // Typed-ahead answers stay: they are meant for the next question.
    Prompt_For_Key(false);
    return 0;
  }
  if (Starts_With(t, "title ")) {
    Set_Window_Title(t.substr(6));
    return 0;
  }
  // The paths are taken from `words`, never parsed back out of the line.
  if (Starts_With(t, "notepad.exe ") && words.size() == 1) return Open_Editor(words[0]);
  if (Starts_With(t, "cmd /c") && !words.empty()) return Run_Capturing_Errors(words);
  if (Starts_With(t, "start ")) return Start_Program(words);
  std::cerr << "tivex: 无法执行命令：" << Visible(t) << std::endl;
  return 127;
}
