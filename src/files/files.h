// Paths typed by the user: reading and checking them, quoting them for command
// lines, and the new and open source file screens.

#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"

// Reads lines until one names an existing regular file whose extension, in
// small letters, is `wh`, and returns that line as typed (or as it was meant,
// see Meant_Path). Where programs are
// told apart by permission rather than by name, "exe" asks for an executable
// file of any name.
std::string Read_File_Path(std::string wh);

// Reads lines until one names anything that exists, and returns it as typed.
std::string Read_Path();

// Whether `s` names an existing regular file.
bool Isfile(std::string s);

// `s` between one pair of double quotes, nothing escaped.
std::string Change(std::string s);

// Appends the path `p` to the command line `t` as Change quotes it, and to
// `words` as one word: one description gives both, so they cannot disagree.
void Put_Path(const std::string& p, std::string& t, std::vector<std::string>& words);

// Appends `text` to the command line `t` as it is, and its words, split as a
// Windows program splits its command line, to `words`.
void Put_Text(const std::string& text, std::string& t, std::vector<std::string>& words);

// What a line that names nothing as typed may have been meant to name: the
// line without the blanks at its end, and the text inside one surrounding
// pair of double quotes (Explorer's "C:\a.cpp"), or the word that a shell
// reads from a line that begins with a single quote ('/home/it'\''s.cpp'
// and a blank, from a drop), with a leading "~/" taken as the home
// directory where paths have one; "" when there is no other reading.
std::string Pasted_Path(const std::string& ans);

// `ans` when it names something as typed, else its pasted reading when that
// names something, else `ans`: a line that names something is never changed,
// but for what the system drops when it opens it (Opened_Path).
std::string Meant_Path(const std::string& ans);

// What a path line is, as the checks see it.
enum Path_Verdict { PATH_OK, PATH_INVALID, PATH_NOT_FILE, PATH_WRONG_TYPE };

// Judges one line as Read_File_Path does, without reading or printing.
Path_Verdict Check_File_Path(const std::string& ans, const std::string& wh);

// The status of a typed path; lines that cannot name a path (not UTF-8, a
// NUL, a CR or LF that the line editor let in) are missing.
Path_Kind Path_Status(const std::string& s);

// Remembers where the first error of a failed compile of `fpath` (as typed)
// lies, so that opening that source puts the editor there: its line, its
// column in characters and as the screen shows it. A line of 0 forgets it.
void Remember_Error_Place(const std::string& fpath, int line, int col, int screen_col);

// New and open source file, the edit menu's first two items.
void New_File();
void Open_File();
