// What the platform layer shares on every platform: pure text helpers and the
// test seam for file faults.

#include "platform/platform.h"

namespace {

bool Is_Blank(char c) { return c == ' ' || c == '\t'; }

// Length of the UTF-8 sequence that starts with `c`, or 0 when `c` cannot
// start one.
int Sequence_Length(unsigned char c) {
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return 2;
  if (c >= 0xE0 && c <= 0xEF) return 3;
  if (c >= 0xF0 && c <= 0xF4) return 4;
  return 0;
}

// Whether the continuation bytes of the sequence at `i` are well formed,
// without overlong forms, surrogates or values past U+10FFFF.
bool Sequence_Is_Well_Formed(const std::string& s, size_t i, int n) {
  if (i + n > s.size()) return false;
  unsigned char c0 = s[i], c1 = s[i + 1];
  if (c0 == 0xE0 && c1 < 0xA0) return false;
  if (c0 == 0xED && c1 > 0x9F) return false;
  if (c0 == 0xF0 && c1 < 0x90) return false;
  if (c0 == 0xF4 && c1 > 0x8F) return false;
  for (int k = 1; k < n; k++)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
  return true;
}

// Reads the program name at the start of a Windows command line: inside
// quotes everything up to the closing quote, else up to the first blank.
size_t Read_Program_Name(const std::string& s, size_t i, std::string& arg) {
  if (i < s.size() && s[i] == '"') {
    size_t end = s.find('"', i + 1);
    if (end == std::string::npos) end = s.size();
    arg = s.substr(i + 1, end - i - 1);
    return end < s.size() ? end + 1 : end;
  }
  size_t end = i;
  while (end < s.size() && !Is_Blank(s[end])) end++;
  arg = s.substr(i, end - i);
  return end;
}

// Reads one argument after the program name, by the rules of the C runtime:
// 2n backslashes before a quote give n and the quote toggles quoting, 2n+1
// give n and a literal quote; "" inside quotes is a literal quote.
size_t Read_Argument(const std::string& s, size_t i, std::string& arg) {
  bool quoted = false;
  while (i < s.size() && (quoted || !Is_Blank(s[i]))) {
    size_t slashes = 0;
    while (i < s.size() && s[i] == '\\') slashes++, i++;
    if (i < s.size() && s[i] == '"') {
      arg.append(slashes / 2, '\\');
      if (slashes % 2 == 1) {
        arg += '"';
      } else if (quoted && i + 1 < s.size() && s[i + 1] == '"') {
        arg += '"';
        i++;
      } else {
        quoted = !quoted;
      }
      i++;
    } else {
      arg.append(slashes, '\\');
      if (i < s.size() && (quoted || !Is_Blank(s[i]))) arg += s[i++];
    }
  }
  return i;
}

size_t Skip_Blanks(const std::string& s, size_t i) {
  while (i < s.size() && Is_Blank(s[i])) i++;
  return i;
}

}  // namespace

const char* const KEY_PROMPT = "请按任意键继续. . .";

std::string FAULT_STEP;

bool Fault_At(const char* step) { return FAULT_STEP == step; }

bool Is_Path_Text(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    unsigned char c = s[i];
    if (c == 0) return false;
    int n = Sequence_Length(c);
    if (n == 0) return false;
    if (n > 1 && !Sequence_Is_Well_Formed(s, i, n)) return false;
    i += n;
  }
  return true;
}

std::vector<std::string> Split_Command_Line(const std::string& s) {
  std::vector<std::string> args;
  size_t i = Skip_Blanks(s, 0);
  if (i == s.size()) return args;
  std::string arg;
  i = Read_Program_Name(s, i, arg);
  args.push_back(arg);
  while ((i = Skip_Blanks(s, i)) < s.size()) {
    arg.clear();
    i = Read_Argument(s, i, arg);
    args.push_back(arg);
  }
  return args;
}

std::vector<std::string> Split_Quoted(const std::string& s) {
  std::vector<std::string> args;
  size_t i = Skip_Blanks(s, 0);
  while (i < s.size()) {
    std::string arg;
    bool quoted = false;
    for (; i < s.size() && (quoted || !Is_Blank(s[i])); i++) {
      if (s[i] == '"')
        quoted = !quoted;
      else
        arg += s[i];
    }
    args.push_back(arg);
    i = Skip_Blanks(s, i);
  }
  return args;
}

std::string Strip_Cmd_Quotes(const std::string& rest) {
  std::string inner = rest;
  size_t first = inner.find('"');
  if (first == std::string::npos) return inner;
  inner.erase(first, 1);
  size_t last = inner.rfind('"');
  if (last != std::string::npos) inner.erase(last, 1);
  return inner;
}
