#pragma once

// The operations that differ between Windows and POSIX. Everything above this
// layer is the same code on both; platform_windows.cpp and platform_posix.cpp
// implement these declarations, and command_line.cpp holds the pure helpers
// that both share.

#include <string>
#include <vector>

// What a file-system status query found. Symbolic links are followed.
enum Path_Kind { PATH_MISSING, PATH_FILE, PATH_DIRECTORY, PATH_OTHER };

// The separator that New File puts between a directory and a base name.
extern const char PATH_SEPARATOR;
// What replaces the ".cpp" of a source to name its program ("" or ".exe").
extern const char* const EXE_SUFFIX;

// Switches the console to UTF-8 both ways and makes 1 ms sleeps possible.
// Does nothing where terminals are UTF-8 already and sleeps are precise.
void Setup_Console();

// Sleeps `sec` seconds and `nsec` nanoseconds.
void Sleep_For(long sec, long nsec);

// Reads one line from standard input into `s`, without its LF and without a
// CR right before that LF. A last line without LF still counts. Returns false
// only when no byte at all could be read.
bool Platform_Read_Line(std::string& s);

// Runs one command line of the program's vocabulary (cls, pause, title,
// notepad.exe, cmd /c, start) and returns its result. The caller has flushed
// standard output.
int Platform_System(const std::string& t);

// Status of `p`, a path in UTF-8 that holds no NUL byte and is well formed.
// A status that cannot be determined is PATH_MISSING.
Path_Kind Platform_Path_Status(const std::string& p);

// Whether a regular file may be started as a program. On POSIX the execute
// permission decides; on Windows the ".exe" extension, checked above this
// layer, does, and this is always true.
bool Platform_Is_Executable(const std::string& p);

// Creates the file `p`, empty, failing when any entry of that name exists.
// Returns "" on success, else the system's reason.
std::string Create_New_File(const std::string& p);

// Writes `data` into a new file `p`, which must not exist yet, and flushes it
// to disk. On failure removes what it made and returns the failed call and
// the system's reason; returns "" on success.
std::string Write_New_File(const std::string& p, const std::string& data);

// Puts the file `from` in place of `to` in one rename. An empty directory
// `to` is removed first. Returns "" or the failed call and the reason.
std::string Replace_File(const std::string& from, const std::string& to);

// A seam for tests: when it names a step of Write_New_File or Replace_File
// ("create", "write", "flush" or "rename"), that step fails as if the system
// had refused it; a "write" fails after half the data.
extern std::string FAULT_STEP;

// Removes the file `p`; errors are ignored.
void Remove_File(const std::string& p);

// Marks `p` hidden (and nothing else) where files have such an attribute.
void Hide_File(const std::string& p);

// A name for a temporary file beside `p`, unique to this process.
std::string Temp_Name_Beside(const std::string& p);

// The program's own arguments in UTF-8 (on Windows from the wide command
// line, since narrow argv is in the ANSI code page).
std::vector<std::string> Program_Arguments(int argc, char** argv);

// Starts the program at `path` (a path, never looked up on PATH: a bare name
// lies in the working directory) without arguments and with this process's
// standard streams, and waits for it. Returns false, with the system's reason
// in `error`, when it cannot be started; else `status` is its exit status and
// `sig` the signal that ended it (POSIX; 0 when none).
bool Run_Program(const std::string& path, long& status, int& sig, std::string& error);

// The name of signal `sig`, such as "Segmentation fault".
std::string Signal_Name(int sig);

// The key wait of "pause" for ConsolePauser: writes KEY_PROMPT, drops the
// keys typed ahead and, when standard input is a terminal, waits for one key
// press without echo; then ends the line.
void Wait_For_Key_Press();

// Puts `dir` first on this process's PATH, which programs started later
// inherit (Windows, where a program finds its DLLs there); nothing on POSIX.
void Put_First_On_Path(const std::string& dir);

// Whether the existing file `p` can be opened for writing now.
bool Can_Open_For_Writing(const std::string& p);

// --- Shared by both platforms (platform_common.cpp) ---

// What a key wait says: "请按任意键继续. . .".
extern const char* const KEY_PROMPT;

// Whether FAULT_STEP names `step`.
bool Fault_At(const char* step);

// Whether `s` is well-formed UTF-8 without NUL bytes, so it can name a path.
bool Is_Path_Text(const std::string& s);

// Splits a command line into arguments the way Windows programs split their
// own: blanks separate, a double-quoted run belongs to one argument and loses
// its quotes, backslashes escape a quote. The first argument, the program, is
// read as Windows reads it: up to the next blank, or inside quotes as is.
std::vector<std::string> Split_Command_Line(const std::string& s);

// Splits the arguments of "start" and "notepad.exe": blanks separate, a
// double-quoted run belongs to one argument and loses its quotes; a backslash
// is an ordinary byte.
std::vector<std::string> Split_Quoted(const std::string& s);

// The inner line of `cmd /c"INNER"`: the text after "cmd /c" without its first
// and its last double quote.
std::string Strip_Cmd_Quotes(const std::string& rest);
