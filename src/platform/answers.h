// Reading an answer: with a line editor at a terminal, a line at a time
// elsewhere. A library of its own, which ConsolePauser does not link.

#pragma once

#include <string>

#include "platform/console.h"

// Reads one line from standard input into `s`, without its LF and without a
// CR right before that LF. A last line without LF still counts. Read without
// a line editor, a line longer than LONGEST_LINE keeps only its first
// LONGEST_LINE + 2 bytes, the rest read and dropped, so that it stays too
// long; a line editor hands over the line whole. Returns false only at the
// true end of input or on a read error (told on standard error).
// At a terminal the line is edited with whole characters, with a history and
// completion fitting `kind`.
bool Platform_Read_Line(std::string& s, Input_Kind kind);

// Reads one line of standard input without a line editor (see
// Platform_Read_Line): a file in blocks, anything else byte by byte (POSIX).
bool Read_Plain_Line(std::string& s);
