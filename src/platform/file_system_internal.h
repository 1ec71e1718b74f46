// Private to the platform layer's file-system files: what both platforms share
// of reading a file's head and naming a temporary file.

#pragma once

#include <cstddef>
#include <functional>
#include <string>

// Reads the next block of an open file into `buf` (at most `size` bytes):
// the count, 0 at its end, or -1 with the failed call in `error`.
using Block_Reader = std::function<long(char* buf, size_t size, std::string& error)>;

// The loop of Read_Head over an open file: blocks from `read` appended to
// `text` up to the end of its `lines`-th line. `call` names the read in the
// error of a line that is too long. Returns "" or the error.
std::string Read_Head_Through(const Block_Reader& read, const char* call, int lines,
                              std::string& text);

// Appends the first `n` bytes of `buf` to `text`, the head of a file, up to
// the end of its `lines`-th line; `seen` counts the line ends taken. False
// when the line being read grows past LONGEST_LINE.
bool Append_Head(std::string& text, const char* buf, size_t n, int lines, int& seen);

// The name that the `attempt`-th try of Write_Temp_Beside gives the
// temporary file beside `p` (attempts count from 0).
std::string Temp_Name_Beside(const std::string& p, int attempt);

// Whether the test seam FAULT_STEP names `step`.
bool Fault_At(const char* step);

// This process's id, which makes a temporary file's name its own.
unsigned long Process_Id();
