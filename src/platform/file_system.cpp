// What both platforms share of the file system: the loop that reads a file's
// head, the temporary file's name, and the test seams of a save.

#include "platform/file_system.h"
#include "platform/file_system_internal.h"
#include "platform/test_seams.h"
#include "platform/text.h"

std::string FAULT_STEP;
std::vector<std::string> FILE_CALLS;

bool Fault_At(const char* step) { return FAULT_STEP == step; }

bool Append_Head(std::string& text, const char* buf, size_t n, int lines, int& seen) {
  size_t last_end = text.rfind('\n');
  size_t line = last_end == std::string::npos ? text.size() : text.size() - last_end - 1;
  for (size_t i = 0; i < n && seen < lines; i++) {
    text += buf[i];
    line = buf[i] == '\n' ? 0 : line + 1;
    if (buf[i] == '\n') seen++;
    // The CR of a CR LF is no part of the line.
    if (line > LONGEST_LINE && !(line == LONGEST_LINE + 1 && buf[i] == '\r')) return false;
  }
  return true;
}

std::string Read_Head_Through(const Block_Reader& read, const char* call, int lines,
                              std::string& text) {
  char buf[4096];
  int seen = 0;
  while (seen < lines) {
    std::string error;
    long n = read(buf, sizeof buf, error);
    if (n < 0) return error;
    if (n == 0) break;
    if (!Append_Head(text, buf, static_cast<size_t>(n), lines, seen))
      return std::string(call) + ": a line is longer than 64 KiB";
  }
  return "";
}

std::string Temp_Name_Beside(const std::string& p, int attempt) {
  std::string name = p + "." + std::to_string(Process_Id());
  if (attempt > 0) name += "-" + std::to_string(attempt);
  return name + ".tmp";
}
