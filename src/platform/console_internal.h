// Private to the platform layer's console files: what both platforms share of
// the key prompt, reading redirected input a line at a time, and the console
// probe's verdict.

#pragma once

#include <cstddef>
#include <functional>
#include <string>

// What a key wait says: "请按任意键继续. . .".
extern const char* const KEY_PROMPT;

// Appends to `line` the bytes of `buf`, one block of standard input, up to
// the first LF, but keeps no more than LONGEST_LINE + 2 bytes of a line: an
// answer that is too long stays too long, in bounded memory, also when the
// CR that it loses was not the one before its LF. Returns how
// many bytes of `buf` follow that LF, to be given back to the input, or -1
// when the line goes on past `buf`. A block of no bytes (the end of the
// input) completes the line as it stands. A complete line loses a CR right
// before its LF.
long Take_Line_Block(std::string& line, const char* buf, size_t n);

// Reads up to `size` bytes of standard input into `buf`: the count, 0 at its
// end, or -1 on an error, which it has told.
using Input_Reader = std::function<long(char* buf, size_t size)>;

// Reads one line of redirected standard input into `s` (see
// Platform_Read_Line) through `read`. What follows the line belongs to
// whoever reads next, a program started here or the compiler: so input that
// can be given back (`seekable`, a file) is read in blocks and the rest
// handed to `give_back`, and any other (a pipe) byte by byte.
bool Read_Line_Through(std::string& s, bool seekable, const Input_Reader& read,
                       const std::function<void(long rest)>& give_back);

// Whether a probe read of the key "张" and Enter at input code page 65001
// came back as UTF-8 (Windows 10's console gives NUL bytes instead).
bool Probe_Reads_Utf8(const std::string& probe);
