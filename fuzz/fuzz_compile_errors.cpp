// Reads arbitrary bytes as a compiler's messages and a source line: reading
// them never crashes, however long or malformed, and what comes back keeps
// its promises (columns from 1, one caret, hints that name a place).

#include <cstddef>
#include <cstdint>
#include <string>

#include "build_run/compile_errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  // The messages, then after a NUL the source line they may point into.
  size_t nul = bytes.find('\0');
  std::string output = bytes.substr(0, nul);
  std::string text = nul == std::string::npos ? output : bytes.substr(nul + 1);
  int line = 0, col = 0;
  std::string message;
  if (First_Error(output, "a.cpp", line, col, message) && (line <= 0 || col < 0)) __builtin_trap();
  for (int l : Error_Lines(output, "a.cpp"))
    if (l <= 0) __builtin_trap();
  Error_Hint(message);
  for (const std::string& hint : Punctuation_Hints(text, 3))
    if (hint.rfind("第 3 行第 ", 0) != 0) __builtin_trap();
  int ccol = Character_Column(text, col % 100000, Columns_Are_Bytes(output));
  if (ccol < 1 || Display_Column(text, ccol) < 1) __builtin_trap();
  std::string marked = Marked_Line(text, ccol);
  if (marked.size() < 2 || marked.compare(marked.size() - 2, 2, "^\n") != 0) __builtin_trap();
  return 0;
}
