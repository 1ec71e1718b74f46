// Pure text helpers that only the platform files share (and their unit tests
// check): UTF-8 sequences, whole keys, separators, tmux's formats.

#pragma once

#include <string>

// Length of the UTF-8 sequence that starts with byte `c`, or 0 when `c`
// cannot start one.
int Sequence_Length(unsigned char c);

// The length of the longest start of `s` that ends on a whole UTF-8
// character: the bytes of a character whose last bytes are still to come
// are left out.
size_t Complete_Utf8_Prefix(const std::string& s);

// Whether the bytes read for one key press are the whole key: an escape
// sequence up to its final byte, a UTF-8 character with all of its bytes.
bool Key_Is_Complete(const std::string& key);

// Whether `s` begins with `prefix`.
bool Starts_With(const std::string& s, const std::string& prefix);

// `p` without the separators at its end, so that "a.cpp/" names the file
// a.cpp; a root ("/", "C:\" with its backslash) keeps its separator.
std::string Without_Trailing_Separators(const std::string& p, const char* separators);

// Whether the program manifest `text` sets the active code page to UTF-8
// (<activeCodePage>UTF-8</activeCodePage>, in any case, with any prefix).
bool Manifest_Says_Utf8(const std::string& text);

// `p` without the blanks and dots at the end of its last component, as
// Windows opens it ("t.cpp. " is "t.cpp"); a last component of only dots and
// blanks ("..") stays.
std::string Without_Trailing_Blanks_And_Dots(const std::string& p);

// `s` with every "#" doubled, so that tmux takes it literally and expands
// no format in it.
std::string Tmux_Literal(const std::string& s);
