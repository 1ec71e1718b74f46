// Private to the POSIX files of the platform layer: the line editor for answers
// typed at a terminal (GNU Readline or libedit, or none).

#pragma once

#include <string>

#include "platform/console.h"

// Whether there is a line editor; asked once, before the first line.
bool Line_Editing_Available();

// Reads one line at a terminal with the line editor: whole characters, a
// history for each kind of question, and Tab completion where `kind` asks
// for a path.
bool Read_Edited_Line(std::string& s, Input_Kind kind);
