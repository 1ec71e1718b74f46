// Pure text helpers that the program above the platform layer uses: UTF-8
// checks, controls made visible, argument splitting and the parts of a path.

#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The platform's own separator of path components ("/" or "\"): New File
// puts it between a directory and a base name, and paths are split at it
// as well as at "/".
extern const char PATH_SEPARATOR;

// The longest line, without its line end, that Read_Head takes, and the
// longest answer (64 KiB).
constexpr size_t LONGEST_LINE = 65536;

// Whether `s` is well-formed UTF-8 without NUL bytes, so it can name a path.
bool Is_Path_Text(const std::string& s);

// `s` as it may be shown on a terminal: each C0 control and DEL in caret
// notation ("^[" for ESC), each C1 control (U+0080 to U+009F) and each byte
// that starts no UTF-8 character as octal escapes ("\302\233"). Printable
// text, Chinese included, is unchanged.
std::string Visible(const std::string& s);

// A terminal's reply that arrives as if typed (its identification, "ESC [ ?
// 64;1;2c", which xterm sends when a text that is not UTF-8 to it holds the
// byte 0x9A): a control sequence that begins "ESC [ ?" or "ESC [ >", which no
// key sends. Where the one that begins at s[at] ends (one past its final
// byte); `at` when none begins there; past the end of `s` when `s` ends in
// what may yet become one ("ESC", "ESC [", a reply without its final byte).
size_t Terminal_Reply_End(const std::string& s, size_t at);

// `s` without the terminal's replies in it.
std::string Without_Terminal_Replies(const std::string& s);

// Splits `s` into arguments the way a Windows program splits what follows its
// name on its command line: blanks separate, a double-quoted run belongs to
// one argument and loses its quotes, backslashes escape a quote.
std::vector<std::string> Split_Arguments(const std::string& s);

// A path as an argument of a program that reads words beginning with one of
// `leads` as options: such a relative path gets "./" before it.
std::string Path_Argument(const std::string& p, const char* leads);

// The part of `p` after its last separator ("/", and the platform's own).
std::string Last_Component(const std::string& p);

// The part of `p` before its last separator, "" when it has none; a root
// keeps its separator ("/a" gives "/", "C:\a" gives "C:\").
std::string Directory_Of(const std::string& p);

// `name` inside the directory `dir`, joined by the platform's separator
// (none is added after one that ends `dir`); `name` alone when `dir` is "".
std::string Join_Path(const std::string& dir, const std::string& name);

// The text after the last dot of `p`, its ASCII capitals lowered; "" when `p`
// holds no dot.
std::string Lowered_Extension(const std::string& p);

// Whether `dir` is a folder where a file manager puts a program that is
// started from inside an archive without unpacking it: Explorer's
// "Temp1_name.zip", 7-Zip's "7zO…", WinRAR's "Rar$EX…".
bool Is_Archive_Preview(const std::string& dir);
