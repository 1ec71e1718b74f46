// Feeds arbitrary lines to Read_Pint through a string stream and checks its
// answer and its messages against a plain reading of the rules.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <unordered_set>
#include <vector>

#include "console/console.h"

namespace {

std::istringstream* INPUT = nullptr;

// Lines as the program reads them; once the data runs out, "1", which every
// set below allows, ends the reading.
bool Stream_Line(std::string& s, Input_Kind) {
  if (!std::getline(*INPUT, s)) s = "1";
  else if (!s.empty() && s.back() == '\r') s.pop_back();
  return true;
}

void No_Sleep(long, long) {}

// The value of `line` when it is accepted for `set`, else -1.
long Expected(const std::string& line, const std::unordered_set<int>& set) {
  if (line.size() > 9) return -1;
  for (char c : line)
    if (c < '0' || c > '9') return -1;
  long value = line.empty() ? 0 : std::strtol(line.c_str(), nullptr, 10);
  return set.count(static_cast<int>(value)) ? value : -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::vector<std::unordered_set<int>> sets = {
      {1, 2, 3, 4}, {1, 2, 3}, {1, 2, 3, 4, 5}, {0, 1}};
  if (size == 0) return 0;
  const std::unordered_set<int>& set = sets[data[0] % sets.size()];
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::istringstream in(text), lines(text);
  INPUT = &in;
  READ_LINE_HOOK = Stream_Line;
  SLEEP_HOOK = No_Sleep;
  std::ostringstream out;
  std::streambuf* old = std::cout.rdbuf(out.rdbuf());
  int ans = Read_Pint(set);
  std::cout.rdbuf(old);

  std::string line;
  long expected = -1;
  size_t refused = 0;
  while (expected < 0 && std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    expected = Expected(line, set);
    if (expected < 0) refused++;
  }
  if (expected < 0) expected = 1;
  std::string messages = out.str();
  size_t newlines = 0;
  for (char c : messages) newlines += c == '\n';
  if (ans != expected || newlines != refused) std::abort();
  return 0;
}
