// What both platforms share of the console: writing at once, the key prompt, a
// line of redirected input, the console probe's verdict.

#include "platform/console.h"

#include <cstring>
#include <iostream>

#include "platform/console_internal.h"
#include "platform/text.h"

const char* const KEY_PROMPT = "请按任意键继续. . .";

void Write(const std::string& s) {
  std::cout << s;
  std::cout.flush();
}

long Take_Line_Block(std::string& line, const char* buf, size_t n) {
  const char* lf = n > 0 ? static_cast<const char*>(std::memchr(buf, '\n', n)) : nullptr;
  size_t take = lf ? static_cast<size_t>(lf - buf) : n;
  // One byte past the longest answer, and one more: a CR kept as the last
  // byte is then the one before the LF only where the line is not too long.
  size_t room = line.size() > LONGEST_LINE + 1 ? 0 : LONGEST_LINE + 2 - line.size();
  line.append(buf, take < room ? take : room);
  if (lf == nullptr && n > 0) return -1;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return lf ? static_cast<long>(n - take - 1) : 0;
}

bool Read_Line_Through(std::string& s, bool seekable, const Input_Reader& read,
                       const std::function<void(long rest)>& give_back) {
  s.clear();
  char buf[65536];
  while (true) {
    long n = read(buf, seekable ? sizeof buf : 1);
    if (n < 0) {
      s.clear();  // a line cut short by the error is no answer
      return false;
    }
    if (n == 0 && s.empty()) return false;
    long rest = Take_Line_Block(s, buf, static_cast<size_t>(n));
    if (rest < 0) continue;
    if (rest > 0) give_back(rest);
    return true;
  }
}

bool Probe_Reads_Utf8(const std::string& probe) { return probe.compare(0, 3, "\xE5\xBC\xA0") == 0; }
