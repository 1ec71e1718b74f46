#pragma once

// The operations that differ between Windows and POSIX. Everything above this
// layer is the same code on both. platform_windows.cpp implements these
// declarations on Windows; on POSIX platform_posix.cpp and terminal_posix.cpp
// do, with a line editor (line_editing_readline.cpp, or line_editing_none.cpp
// where GNU Readline is not found). platform_common.cpp holds the pure
// helpers that both share.

#include <string>
#include <vector>

// What a file-system status query found. Symbolic links are followed.
enum Path_Kind { PATH_MISSING, PATH_FILE, PATH_DIRECTORY, PATH_OTHER };

// The separator that New File puts between a directory and a base name.
extern const char PATH_SEPARATOR;
// What replaces the ".cpp" of a source to name its program ("" or ".exe").
extern const char* const EXE_SUFFIX;

// Switches the console to UTF-8 both ways and makes 1 ms sleeps possible.
// Arranges that the terminal (the console's code pages) is given back as it
// was found at every exit and on every signal that ends or stops the program.
void Setup_Console();

// What kind of answer a line is; the line editor keeps a history for each
// kind of question and completes paths where a path is asked for.
enum Input_Kind {
  INPUT_CHOICE,     // a menu number or a yes/no answer: nothing is kept
  INPUT_SOURCE,     // a path of a .cpp file
  INPUT_PROGRAM,    // a path of a program (the compiler, ConsolePauser)
  INPUT_DIRECTORY,  // a path of a directory
  INPUT_NAME,       // the base name of a new file
  INPUT_OPTIONS     // compile options
};

// Sleeps `sec` seconds and `nsec` nanoseconds.
void Sleep_For(long sec, long nsec);

// Reads one line from standard input into `s`, without its LF and without a
// CR right before that LF. A last line without LF still counts. Returns false
// only at the true end of input or on a read error (told on standard error).
// At a terminal the line is edited with whole characters, with a history and
// completion fitting `kind`.
bool Platform_Read_Line(std::string& s, Input_Kind kind);

// Runs one command line of the program's vocabulary (cls, pause, title,
// notepad.exe, cmd /c, start) and returns its result. The caller has flushed
// standard output. `words` are what the line names, as they were put into it:
// for "cmd /c" the program and its arguments, for "start" the title, the
// program and its argument, for "notepad.exe" the file; empty for the others.
// Windows hands `t` to its interpreter; POSIX runs `words` as they are and
// never parses a path back out of `t`, since a name may hold quotes.
int Platform_System(const std::string& t, const std::vector<std::string>& words);

// Status of `p`, a path in UTF-8 that holds no NUL byte and is well formed.
// A status that cannot be determined is PATH_MISSING.
Path_Kind Platform_Path_Status(const std::string& p);

// Whether a regular file may be started as a program. On POSIX the execute
// permission decides; on Windows the ".exe" extension, checked above this
// layer, does, and this is always true.
bool Platform_Is_Executable(const std::string& p);

// Whether the regular file `p` is a program that a compiler makes, the only
// kind that a compile may replace: on POSIX an executable ELF (Linux) or
// Mach-O (macOS) file, told by its first bytes, since a script is executable
// too and on some file systems every file is; on Windows, where the ".exe"
// name decides, always true.
bool Platform_Is_Compiled_Program(const std::string& p);

// The time `p` was last modified, in the platform's own units (only ever
// compared); false when it cannot be had.
bool Modified_Time(const std::string& p, long long& time);

// Whether `p` is a regular file of no bytes.
bool File_Is_Empty(const std::string& p);

// The directory that holds this program's own executable, without a
// separator at its end; "" when it cannot be had.
std::string Own_Directory();

// A g++ that this machine has, for a hint where none is set: on PATH (the
// system's default where it is not set), and on Windows also beside this
// program and in the usual MinGW and MSYS2 folders; "" when there is none.
std::string Find_Compiler();

// Creates the file `p`, empty, failing when any entry of that name exists.
// Returns "" on success, else the reason as the dialogue tells it (in
// Chinese for the common ones).
std::string Create_New_File(const std::string& p);

// Reads the regular file `p` into `text` up to the end of its `lines`-th
// line; what follows is never read. Returns "" or the failed call and the
// system's reason; a line longer than LONGEST_LINE is such a failure, so
// memory and time stay bounded whatever the file holds.
std::string Read_Head(const std::string& p, int lines, std::string& text);

// Writes `data` into a new temporary file beside `p` and flushes it to disk.
// Its name is fresh: it is created exclusively, and a name taken by a
// leftover of another run is passed over for the next. Where files have
// permission bits it gets those of `p`. Sets `temp` to its name. On failure
// removes what it made and returns the failed call and the system's reason;
// returns "" on success.
std::string Write_Temp_Beside(const std::string& p, const std::string& data, std::string& temp);

// The file that `p` stands for when it is a symbolic link (followed link by
// link, a relative target taken from the link's directory, whether or not
// the last one exists), so that a save replaces that file and the link
// stays; `p` itself where it is no link, and always on Windows.
std::string Link_Target(const std::string& p);

// Puts the file `from` in place of `to` in one rename, and makes the rename
// itself durable. An empty directory `to` is removed first. Returns "" or the
// failed call and the reason.
std::string Replace_File(const std::string& from, const std::string& to);

// A seam for tests: when it names a step of Write_Temp_Beside or
// Replace_File ("create", "write", "flush" or "rename"), that step fails as
// if the system had refused it; a "write" fails after half the data.
extern std::string FAULT_STEP;

// The system calls of those two operations that succeeded, in order, by
// name ("open", "write", "fsync", "rename", ...), for tests to see.
extern std::vector<std::string> FILE_CALLS;

// Removes the file `p`; errors are ignored.
void Remove_File(const std::string& p);

// Marks `p` hidden (and nothing else) where files have such an attribute.
void Hide_File(const std::string& p);

// The name that the `attempt`-th try of Write_Temp_Beside gives the
// temporary file beside `p` (attempts count from 0).
std::string Temp_Name_Beside(const std::string& p, int attempt);

// `p` with a leading "~/" turned into the home directory (POSIX, where a
// shell would have done it); `p` unchanged on Windows or without a home.
std::string Expand_Home(const std::string& p);

// The program's own arguments in UTF-8 (on Windows from the wide command
// line, since narrow argv is in the ANSI code page).
std::vector<std::string> Program_Arguments(int argc, char** argv);

// Starts the program at `path` (a path, never looked up on PATH: a bare name
// lies in the working directory) without arguments, in its own directory as
// its working directory, with this process's standard streams and terminal
// modes, and waits for it. Returns false, with the system's reason
// in `error`, when it cannot be started; else `status` is its exit status,
// `sig` the signal that ended it (POSIX; 0 when none), `cpu` its user and
// system CPU seconds and `peak_mb` its peak resident memory in MB (each -1
// when the system cannot tell).
bool Run_Program(const std::string& path, long& status, int& sig, std::string& error, double& cpu,
                 double& peak_mb);

// The reason for the system's error number `err` (errno on POSIX, a
// GetLastError code on Windows) as the dialogue tells it: in Chinese for the
// common ones, else the system's own text.
std::string Error_Reason(unsigned long err);

// The name of signal `sig` in Chinese for the common ones ("段错误"), else
// the system's.
std::string Signal_Name(int sig);

// Whether the system refuses to replace the file of a program that runs
// (Windows), so that a failed compile may be due to the old program.
extern const bool RUNNING_PROGRAM_IS_LOCKED;

// Whether ConsolePauser ends with its program's status. Windows Terminal
// keeps a tab open after a non-zero status, so there it ends with 0.
extern const bool PAUSER_PASSES_STATUS;

// The key wait of "pause" for ConsolePauser: writes KEY_PROMPT, drops the
// keys typed ahead and, when standard input is a terminal, waits for one key
// press without echo; then ends the line.
void Wait_For_Key_Press();

// Makes typed text reach the program that ConsolePauser starts whole: on
// Windows the console's input code page stays 65001 only where a probe key
// read through ReadFile comes back as UTF-8, and is the system's OEM code
// page elsewhere (Windows 10's console reads non-ASCII keys as NUL bytes at
// 65001); nothing on POSIX, where terminals are UTF-8.
void Prepare_Program_Input();

// The input code page for a program, from what a probe read of the key
// "张" and Enter returned at 65001: 65001 when it came back as UTF-8, else
// `oem`.
unsigned Input_Code_Page(const std::string& probe, unsigned oem);

// Titles the window that this program runs in (a terminal's by its escape,
// a console's); `title` must hold no controls.
void Set_Window_Title(const std::string& title);

// Puts `dir` first on this process's PATH, which programs started later
// inherit (Windows, where a program finds its DLLs there), until
// Restore_Path puts back the PATH found before; nothing on POSIX.
void Put_First_On_Path(const std::string& dir);
void Restore_Path();

// Whether the existing file `p` can be opened for writing now.
bool Can_Open_For_Writing(const std::string& p);

// --- Shared by both platforms (platform_common.cpp) ---

// What a key wait says: "请按任意键继续. . .".
extern const char* const KEY_PROMPT;

// Whether FAULT_STEP names `step`.
bool Fault_At(const char* step);

// The longest line, without its line end, that Read_Head takes (64 KiB), and
// what it says of a longer one.
constexpr size_t LONGEST_LINE = 65536;
extern const char* const LINE_TOO_LONG;

// Appends the first `n` bytes of `buf` to `text`, the head of a file, up to
// the end of its `lines`-th line; `seen` counts the line ends taken. False
// when the line being read grows past LONGEST_LINE.
bool Append_Head(std::string& text, const char* buf, size_t n, int lines, int& seen);

// Appends to `line` the bytes of `buf`, one block of standard input, up to
// the first LF. Returns how many bytes of `buf` follow that LF, to be given
// back to the input, or -1 when the line goes on past `buf`. A block of no
// bytes (the end of the input) completes the line as it stands. A complete
// line loses a CR right before its LF.
long Take_Line_Block(std::string& line, const char* buf, size_t n);

// Whether `s` is well-formed UTF-8 without NUL bytes, so it can name a path.
bool Is_Path_Text(const std::string& s);

// Length of the UTF-8 sequence that starts with byte `c`, or 0 when `c`
// cannot start one.
int Sequence_Length(unsigned char c);

// The part of `p` after its last separator ("/", and the platform's own).
std::string Last_Component(const std::string& p);

// `p` without the separators at its end, so that "a.cpp/" names the file
// a.cpp; a root ("/", "C:\" with its backslash) keeps its separator.
std::string Without_Trailing_Separators(const std::string& p, const char* separators);

// The length of the longest start of `s` that ends on a whole UTF-8
// character: the bytes of a character whose last bytes are still to come
// are left out.
size_t Complete_Utf8_Prefix(const std::string& s);

// Whether the bytes read for one key press are the whole key: an escape
// sequence up to its final byte, a UTF-8 character with all of its bytes.
bool Key_Is_Complete(const std::string& key);

// `s` with every "#" doubled, so that tmux takes it literally and expands
// no format in it.
std::string Tmux_Literal(const std::string& s);

// A path as an argument of a program that reads words beginning with one of
// `leads` as options: such a relative path gets "./" before it.
std::string Path_Argument(const std::string& p, const char* leads);

// Whether `dir` is a folder where a file manager puts a program that is
// started from inside an archive without unpacking it: Explorer's
// "Temp1_name.zip", 7-Zip's "7zO…", WinRAR's "Rar$EX…".
bool Is_Archive_Preview(const std::string& dir);

// The hexadecimal code and a short Chinese description of a Windows
// exception status (an NTSTATUS error, 0xC0000000 to 0xCFFFFFFF, such as
// 0xC0000005), or "" for any other status, which the program returned.
std::string Exception_Text(unsigned long status);

// Splits `s` into arguments the way a Windows program splits what follows its
// name on its command line: blanks separate, a double-quoted run belongs to
// one argument and loses its quotes, backslashes escape a quote.
std::vector<std::string> Split_Arguments(const std::string& s);

// `s` as it may be shown on a terminal: each C0 control and DEL in caret
// notation ("^[" for ESC), each C1 control (U+0080 to U+009F) and each byte
// that starts no UTF-8 character as octal escapes ("\302\233"). Printable
// text, Chinese included, is unchanged.
std::string Visible(const std::string& s);
