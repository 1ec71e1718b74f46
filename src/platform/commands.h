// The command lines that the program hands to its interpreter: cls, pause,
// title, the editor, the compile under "cmd /c" and the two "start" lines.
//
// Windows runs the compile through its real command interpreter and the
// rest in this process; POSIX runs each line's words itself.

#pragma once

#include <string>
#include <vector>

// Runs one command line of the program's vocabulary (cls, pause, title,
// notepad.exe, cmd /c, start) and returns its result. The caller has flushed
// standard output. `words` are what the line names, as they were put into it:
// for "cmd /c" the program and its arguments, for "start" the title, the
// program and its argument, for "notepad.exe" the file; empty for the others.
// Windows hands `t` to its interpreter; POSIX runs `words` as they are and
// never parses a path back out of `t`, since a name may hold quotes.
int Platform_System(const std::string& t, const std::vector<std::string>& words);

// Whether the editor can be told where to put its cursor (POSIX's editors;
// Notepad, the editor on Windows, cannot).
extern const bool EDITOR_TAKES_A_PLACE;

// Until called again with line 0, the editor that opens a source puts its
// cursor at line `line`, character column `col` (`screen_col` as the screen
// shows it), where it can be told: nano, vi, vim, nvim, emacs, emacsclient,
// code, gedit, kate and micro. Any other editor opens the file as usual.
void Set_Editor_Place(int line, int col, int screen_col);

// What the last "cmd /c" line wrote on its standard error (its first MiB),
// which reached this process's standard error too, as it came: a compiler's
// messages, in the code page it writes.
const std::string& Captured_Errors();
