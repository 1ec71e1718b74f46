// Reading a failed compile's messages: where the first error lies in the
// source, and what it means in a beginner's words.

#pragma once

#include <string>
#include <vector>

// What to do when the linker cannot replace a program that still runs.
extern const char* const LOCKED_PROGRAM_HINT;

// The first error that the compiler's messages `output` (GCC's, in English
// or Chinese) place in the source `source`, named as the compiler was given
// it: its line, its column (the compiler's; 0 when it names none) and its
// message. False when no error lies in the source; `message` is then the
// first line that the hint table knows (a linker's), or "".
bool First_Error(const std::string& output, const std::string& source, int& line, int& col,
                 std::string& message);

// The lines of the source that errors in `output` name, each once, in order.
std::vector<int> Error_Lines(const std::string& output, const std::string& source);

// Whether the compiler counts columns in bytes, as GCC before 11 does (its
// quoted source line then keeps its tabs), rather than as the screen shows
// them.
bool Columns_Are_Bytes(const std::string& output);

// The explanation of the error `message` in a beginner's words, from the
// table of the errors beginners meet most; "" when the table has none.
std::string Error_Hint(const std::string& message);

// One hint for each full-width punctuation mark that a Chinese input method
// typed into the source line `text` (line number `line`), outside literals
// and comments: the mark, its column and what to type instead.
std::vector<std::string> Punctuation_Hints(const std::string& text, int line);

// The column, counted in characters from 1, of the compiler's column `col`
// on `text`: a display column (a tab reaching the next multiple of 8, a wide
// character taking 2) or, with `bytes`, a byte's.
int Character_Column(const std::string& text, int col, bool bytes);

// The column of character column `ccol` on `text` as a terminal shows it
// (tabs to the next multiple of 8, wide characters 2), counted from 1.
int Display_Column(const std::string& text, int ccol);

// The source line `text` indented, and under it a caret at character column
// `ccol`, both ending in a line feed; controls are shown visibly.
std::string Marked_Line(const std::string& text, int ccol);
