// The file system: what a path names, modification times, a new file, the head
// of a file, and the safe replace of a saved file (a temporary file beside it,
// then one rename).

#pragma once

#include <cstddef>
#include <string>

// What a file-system status query found. Symbolic links are followed.
enum Path_Kind { PATH_MISSING, PATH_FILE, PATH_DIRECTORY, PATH_OTHER };

// Status of `p`, a path in UTF-8 that holds no NUL byte and is well formed,
// without the separators at its end. A status that cannot be determined is
// PATH_MISSING.
Path_Kind Platform_Path_Status(const std::string& p);

// Whether a regular file may be started as a program. On POSIX the execute
// permission decides; on Windows the ".exe" extension, checked above this
// layer, does, and this is always true.
bool Platform_Is_Executable(const std::string& p);

// Whether the regular file `p` is a program that a compiler makes, the only
// kind that a compile may replace: on POSIX an ELF (Linux) or Mach-O (macOS)
// file, told by its first bytes alone, since a script is executable too, on
// some file systems every file is, and on a noexec one none; on Windows,
// where the ".exe" name decides, always true.
bool Platform_Is_Compiled_Program(const std::string& p);

// The time `p` was last modified, in the platform's own units (only ever
// compared, to well below a second); false when it cannot be had.
bool Modified_Time(const std::string& p, long long& time);

// Whether `p` is a regular file of no bytes.
bool File_Is_Empty(const std::string& p);

// Whether the existing file `p` can be opened for writing now.
bool Can_Open_For_Writing(const std::string& p);

// Creates the file `p`, empty, failing when any entry of that name exists.
// Returns "" on success, else the reason as the dialogue tells it.
std::string Create_New_File(const std::string& p);

// Reads the regular file `p` into `text` up to the end of its `lines`-th
// line; what follows is never read. Returns "" or the failed call and the
// system's reason; a line longer than LONGEST_LINE is such a failure, so
// memory and time stay bounded whatever the file holds.
std::string Read_Head(const std::string& p, int lines, std::string& text);

// The file that `p` stands for when it is a symbolic link (followed link by
// link, a relative target taken from the link's directory, whether or not
// the last one exists), so that a save replaces that file and the link
// stays; `p` itself where it is no link, and always on Windows.
std::string Link_Target(const std::string& p);

// Why a save may not put a new file in place of `p`, or "" when it may: `p`
// names nothing, or a regular file that may be written (one with no write
// permission for anyone is left alone, even by root), or, unless
// `through_link`, a directory, which Replace_File removes when it is empty.
// A device, a FIFO or a socket is never replaced.
std::string Replace_Refusal(const std::string& p, bool through_link);

// Writes `data` into a new temporary file beside `p` and flushes it to disk.
// Its name is fresh: it is created exclusively, and a name taken by a
// leftover of another run is passed over for the next. Where files have
// permission bits it gets those of `p`. Sets `temp` to its name. On failure
// removes what it made and returns the failed call and the system's reason
// (naming the directory when the file cannot be made there); returns "" on
// success.
std::string Write_Temp_Beside(const std::string& p, const std::string& data, std::string& temp);

// Puts the file `from` in place of `to` in one rename, and makes the rename
// itself durable. An empty directory `to` is removed first. Returns "" or the
// failed call and the reason.
std::string Replace_File(const std::string& from, const std::string& to);

// Removes the file `p`; errors are ignored.
void Remove_File(const std::string& p);

// Marks `p` hidden (and nothing else) where files have such an attribute.
void Hide_File(const std::string& p);

// `p` with a leading "~/" turned into the home directory (POSIX, where a
// shell would have done it); `p` unchanged on Windows or without a home.
std::string Expand_Home(const std::string& p);

// The path that the system opens for `p`: on Windows without the blanks and
// dots at the end of its last component, which Windows drops; `p` itself on
// POSIX.
std::string Opened_Path(const std::string& p);
