#pragma once

// Paths typed by the user: reading and checking them, quoting them for
// command lines, and the new and open source file screens.

#include <string>

#include "platform/platform.h"

// Reads lines until one names an existing regular file whose extension, in
// small letters, is `wh`, and returns that line as typed. Where programs are
// told apart by permission rather than by name, "exe" asks for an executable
// file of any name.
std::string Read_File_Path(std::string wh);

// Reads lines until one names anything that exists, and returns it as typed.
std::string Read_Path();

// Whether `s` names an existing regular file.
bool Isfile(std::string s);

// `s` between one pair of double quotes, nothing escaped.
std::string Change(std::string s);

// What a path line is, as the checks see it.
enum Path_Verdict { PATH_OK, PATH_INVALID, PATH_NOT_FILE, PATH_WRONG_TYPE };

// Judges one line as Read_File_Path does, without reading or printing.
Path_Verdict Check_File_Path(const std::string& ans, const std::string& wh);

// The status of a typed path; lines that cannot name a path (not UTF-8, a
// NUL, a CR or LF that the line editor let in) are missing.
Path_Kind Path_Status(const std::string& s);

// New and open source file, the edit menu's first two items.
void New_File();
void Open_File();
