// POSIX with GNU Readline or libedit (which offers Readline's calls): answers
// at a terminal edited by whole characters, a history for each kind of
// question, and Tab completion of paths.

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

// Readline's headers use FILE without including <cstdio> themselves.
#ifdef TIVEX_WITH_LIBEDIT
#include <editline/readline.h>
#else
#include <readline/history.h>
#include <readline/readline.h>
#endif

#include "platform/console_posix.h"
#include "platform/line_editing.h"
#include "platform/text.h"

namespace {

Input_Kind KIND = INPUT_CHOICE;  // the kind of the question being read
std::vector<std::string> HISTORY[3];
std::vector<std::string> MATCHES;
size_t NEXT_MATCH = 0;

// Paths share one history, names and options one each; choices have none.
int History_Of(Input_Kind kind) {
  switch (kind) {
    case INPUT_SOURCE:
    case INPUT_PROGRAM:
    case INPUT_DIRECTORY:
      return 0;
    case INPUT_NAME:
      return 1;
    case INPUT_OPTIONS:
      return 2;
    default:
      return -1;
  }
}

// Whether the regular file `full` (named `name`) is what the question asks for.
bool Is_Asked_For(const std::string& full, const std::string& name, const struct stat& st) {
  if (!S_ISREG(st.st_mode)) return false;
  if (KIND == INPUT_SOURCE) return Lowered_Extension(name) == "cpp";
  if (KIND == INPUT_PROGRAM) return access(full.c_str(), X_OK) == 0;
  return false;
}

// How the entry `full` (named `name`) is offered at the question: always a
// directory, with its "/" to go on from (libedit adds none of its own); a
// file only where such a file is asked for; "" when it is not offered.
std::string Offered(const std::string& full, const std::string& name) {
  struct stat st;
  if (stat(full.c_str(), &st) != 0) return "";
  if (S_ISDIR(st.st_mode)) return full + "/";
  return Is_Asked_For(full, name, st) ? full : "";
}

// The entries of the directory part of `text` that begin with its last part,
// each as `text` would read with it completed.
std::vector<std::string> Find_Matches(const std::string& text) {
  std::string prefix = Last_Component(text);
  std::string dir = text.substr(0, text.size() - prefix.size());
  std::vector<std::string> found;
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) return found;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == ".." || name.compare(0, prefix.size(), prefix) != 0) continue;
    if (name[0] == '.' && prefix.empty()) continue;
    // A name that holds controls would reach the terminal raw, in the list
    // of matches or in the line: it is not offered.
    if (Visible(name) != name) continue;
    std::string offered = Offered(dir + name, name);
    if (!offered.empty()) found.push_back(offered);
  }
  closedir(d);
  std::sort(found.begin(), found.end());
  return found;
}

char* Next_Match(const char* text, int state) {
  if (state == 0) {
    MATCHES = Find_Matches(text);
    NEXT_MATCH = 0;
  }
  if (NEXT_MATCH >= MATCHES.size()) return nullptr;
  return strdup(MATCHES[NEXT_MATCH++].c_str());
}

// The whole line is one path, taken as typed: nothing is quoted or escaped,
// a directory gets its "/" and a file nothing after it.
char** Complete(const char* text, int, int) {
  rl_attempted_completion_over = 1;
  rl_completion_append_character = '\0';
  rl_filename_completion_desired = 1;
#ifdef HAVE_RL_FILENAME_QUOTING_DESIRED
  rl_filename_quoting_desired = 0;
#endif
  if (KIND != INPUT_SOURCE && KIND != INPUT_PROGRAM && KIND != INPUT_DIRECTORY) return nullptr;
  return rl_completion_matches(text, Next_Match);
}

// Characters are UTF-8 whatever the locale says; under "C" Readline would
// edit byte by byte and split Chinese characters. Readline sets the locale
// from the environment again at every line, so this runs before each.
int Use_Utf8_Characters() {
  if (Use_Environment_Characters()) return 0;
  // C.UTF-8 is glibc's and musl's; macOS and the BSDs have the others.
  for (const char* name : {"C.UTF-8", "en_US.UTF-8", "UTF-8"})
    if (std::setlocale(LC_CTYPE, name) != nullptr) break;
  return 0;
}

// After Ctrl-Z and fg the screen shows the shell's lines, not the one being
// edited: it is drawn again as it stands, so that what is saved is what was
// seen. Readline calls this when a signal interrupts its read; libedit, which
// has no such hook, draws the line again on SIGCONT by itself.
[[maybe_unused]] int Redraw_After_Continue() {
  if (CONTINUED) {
    CONTINUED = 0;
    rl_forced_update_display();
  }
  return 0;
}

int (*EDITOR_GETC)(FILE*) = nullptr;  // the editor's own read of a byte
std::string KEYS;                     // bytes read, not yet handed on
size_t KEYS_AT = 0;

// The next byte typed, for the editor, without the terminal's replies: the
// editor would take "ESC [" for a cursor key's start and the rest of the
// reply as typed text. A reply is read whole, then dropped.
int Read_Key_Byte(FILE* in) {
  while (KEYS_AT == KEYS.size()) {
    int c = EDITOR_GETC(in);
    if (c < 0) return c;
    KEYS.assign(1, static_cast<char>(c));
    KEYS_AT = 0;
    while (Terminal_Reply_End(KEYS, 0) > KEYS.size() && (c = EDITOR_GETC(in)) >= 0)
      KEYS += static_cast<char>(c);
    if (Terminal_Reply_End(KEYS, 0) == KEYS.size()) KEYS.clear();
  }
  return static_cast<unsigned char>(KEYS[KEYS_AT++]);
}

void Setup_Readline() {
  Use_Utf8_Characters();
  rl_readline_name = "tivex";
  rl_initialize();
  rl_startup_hook = Use_Utf8_Characters;
  // Bytes of UTF-8 characters are characters, not Meta and a key.
  rl_variable_bind("input-meta", "on");
  rl_variable_bind("output-meta", "on");
  rl_variable_bind("convert-meta", "off");
  static char no_breaks[] = "";
  // The whole line is one path: GNU Readline reads the completer's breaks,
  // libedit the basic ones.
  rl_completer_word_break_characters = no_breaks;
  rl_basic_word_break_characters = no_breaks;
  rl_completer_quote_characters = nullptr;
  rl_attempted_completion_function = Complete;
#ifdef HAVE_RL_SIGNAL_EVENT_HOOK
  rl_signal_event_hook = Redraw_After_Continue;
#endif
  // A pasted line is an answer, as it is without the editor; no escape
  // sequences of the editor's own reach the terminal.
  rl_variable_bind("enable-bracketed-paste", "off");
  rl_variable_bind("enable-meta-key", "off");
  // libedit has no read of its own to stand in front of (it would take each
  // byte for a character); there the finished line loses the replies.
  if (rl_getc_function != nullptr) {
    EDITOR_GETC = rl_getc_function;
    rl_getc_function = Read_Key_Byte;
  }
  using_history();
}

void Load_History(int group) {
  clear_history();
  if (group < 0) return;
  for (const std::string& line : HISTORY[group]) add_history(line.c_str());
}

void Remember(int group, const std::string& line) {
  if (group < 0 || line.empty()) return;
  std::vector<std::string>& h = HISTORY[group];
  if (h.empty() || h.back() != line) h.push_back(line);
}

}  // namespace

bool Line_Editing_Available() { return true; }

bool Read_Edited_Line(std::string& s, Input_Kind kind) {
  static bool ready = (Setup_Readline(), true);
  (void)ready;
  KIND = kind;
  Load_History(History_Of(kind));
  std::cout.flush();
  std::fflush(stdout);
  CONTINUED = 0;
  char* line = readline("");
  if (line == nullptr) return false;
  s = line;
  std::free(line);
  Remember(History_Of(kind), s);
  return true;
}
