// Other programs: a program run and measured for ConsolePauser, the
// compiler's PATH and where a compiler lies, and this program's own place
// and arguments.

#pragma once

#include <string>
#include <vector>

// What replaces the ".cpp" of a source to name its program ("" or ".exe").
extern const char* const EXE_SUFFIX;

// Whether the system refuses to replace the file of a program that runs
// (Windows), so that a failed compile may be due to the old program.
extern const bool RUNNING_PROGRAM_IS_LOCKED;

// Whether ConsolePauser ends with its program's status. Windows Terminal
// keeps a tab open after a non-zero status, so there it ends with 0.
extern const bool PAUSER_PASSES_STATUS;

// Starts the program at `path` (a path, never looked up on PATH: a bare name
// lies in the working directory) without arguments, in its own directory as
// its working directory, with this process's standard streams and terminal
// modes, and waits for it. Returns false, with the system's reason
// in `error`, when it cannot be started; else `status` is its exit status,
// `sig` the signal that ended it (POSIX; 0 when none), `cpu` its user and
// system CPU seconds and `peak_mb` its peak resident memory in MB (each -1
// when the system cannot tell). For ConsolePauser, whose only child it is:
// on POSIX the figures are those of all the children waited for.
bool Run_Program(const std::string& path, long& status, int& sig, std::string& error, double& cpu,
                 double& peak_mb);

// Why the program at `path` cannot be started, in words a beginner can act
// on, where the system says more than its error: its folder is on a file
// system that runs no programs (noexec, POSIX). "" otherwise.
std::string Start_Failure_Hint(const std::string& path);

// Puts `dir` first on this process's PATH, which programs started later
// inherit (Windows, where a program finds its DLLs there), until
// Restore_Path puts back the PATH found before; nothing on POSIX.
void Put_First_On_Path(const std::string& dir);
void Restore_Path();

// Until Restore_Language, programs started get LANGUAGE=zh_CN:zh, so that a
// GCC with its Chinese message catalogs speaks Chinese, and, where the
// messages' locale is C (none set, as for a fresh account), a UTF-8 locale
// for messages and characters, without which gettext reads no catalog.
// Nothing changes where the user chose a language (LANGUAGE, LC_ALL or
// LC_MESSAGES: LANGUAGE=en keeps English).
void Put_Chinese_Language();
void Restore_Language();

// A g++ that this machine has, for a hint where none is set: on PATH (the
// system's default where it is not set), and on Windows also beside this
// program and in the usual MinGW and MSYS2 folders; "" when there is none.
std::string Find_Compiler();

// The directory that holds this program's own executable, without a
// separator at its end (but a root's); "" when it cannot be had.
std::string Own_Directory();

// Whether this program runs from under the system's folder of temporary
// files, where archive tools (360压缩, 2345好压, Bandizip, ...) unpack a
// program that they start from inside an archive; false on POSIX.
bool Runs_From_Temporary_Folder();

// When the arguments `args` are those that a window gets to start a program
// in it (POSIX): tells the window's handshake that this process is there,
// becomes the program, and never returns; a failed exec is told to the
// handshake and in the window. Otherwise returns at once.
void Become_Window_Program(const std::vector<std::string>& args);

// The program's own arguments in UTF-8 (on Windows from the wide command
// line, since narrow argv is in the ANSI code page).
std::vector<std::string> Program_Arguments(int argc, char** argv);
