// The pure text helpers of text.h and text_internal.h, the same on every platform.

#include "platform/text.h"

#include <cctype>

#include "platform/text_internal.h"

#ifdef _WIN32
const char PATH_SEPARATOR = '\\';
#else
const char PATH_SEPARATOR = '/';
#endif

namespace {

bool Is_Blank(char c) { return c == ' ' || c == '\t'; }

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

// Reads one argument, by the rules of the C runtime:
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

bool Starts_With_Folded(const std::string& s, const std::string& lower_prefix) {
  if (s.size() < lower_prefix.size()) return false;
  for (size_t i = 0; i < lower_prefix.size(); i++)
    if (std::tolower(static_cast<unsigned char>(s[i])) != lower_prefix[i]) return false;
  return true;
}

bool Ends_With_Folded(const std::string& s, const std::string& lower_suffix) {
  return s.size() >= lower_suffix.size() &&
         Starts_With_Folded(s.substr(s.size() - lower_suffix.size()), lower_suffix);
}

// "/", which every platform takes, and the platform's own separator.
std::string Separators() { return std::string("/") + PATH_SEPARATOR; }

void Append_Octal(std::string& out, unsigned char c) {
  out += '\\';
  out += static_cast<char>('0' + (c >> 6));
  out += static_cast<char>('0' + ((c >> 3) & 7));
  out += static_cast<char>('0' + (c & 7));
}

// Whether the well-formed character at `i` of length `n` is a C1 control
// (U+0080 to U+009F), which some terminals obey as ESC and a letter.
bool Is_C1(const std::string& s, size_t i, int n) {
  return n == 2 && static_cast<unsigned char>(s[i]) == 0xC2 &&
         static_cast<unsigned char>(s[i + 1]) <= 0x9F;
}

}  // namespace

bool Starts_With(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

int Sequence_Length(unsigned char c) {
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return 2;
  if (c >= 0xE0 && c <= 0xEF) return 3;
  if (c >= 0xF0 && c <= 0xF4) return 4;
  return 0;
}

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

size_t Complete_Utf8_Prefix(const std::string& s) {
  for (size_t back = 1; back <= 3 && back <= s.size(); back++) {
    unsigned char c = s[s.size() - back];
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    int n = Sequence_Length(c);
    return n > static_cast<int>(back) ? s.size() - back : s.size();
  }
  return s.size();
}

bool Key_Is_Complete(const std::string& key) {
  if (key.empty()) return false;
  unsigned char first = key[0];
  if (first == 0x1B) {
    if (key.size() < 2) return false;
    // CSI: parameters and intermediates, then one final byte from @ to ~.
    if (key[1] == '[') {
      unsigned char last = key.back();
      return key.size() > 2 && last >= 0x40 && last <= 0x7E;
    }
    if (key[1] == 'O') return key.size() >= 3;  // SS3: F1 to F4, keypad
    return Key_Is_Complete(key.substr(1));      // Alt and a key, a character too
  }
  int n = Sequence_Length(first);
  return n <= 1 || static_cast<int>(key.size()) >= n;
}

std::string Visible(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = s[i];
    int n = Sequence_Length(c);
    if (c < 0x20 || c == 0x7F) {
      out += '^';
      out += static_cast<char>(c ^ 0x40);
      i++;
    } else if (n == 1 || (n > 1 && Sequence_Is_Well_Formed(s, i, n) && !Is_C1(s, i, n))) {
      out.append(s, i, n);
      i += n;
    } else {
      // A C1 control, or a byte that starts no character: its bytes in octal.
      int k = n > 1 && Sequence_Is_Well_Formed(s, i, n) ? n : 1;
      for (int j = 0; j < k; j++) Append_Octal(out, s[i + j]);
      i += k;
    }
  }
  return out;
}

size_t Terminal_Reply_End(const std::string& s, size_t at) {
  const std::string lead[] = {"\x1B[?", "\x1B[>"};
  size_t i = at;
  for (; i < s.size() && i - at < 3; i++)
    if (s[i] != lead[0][i - at] && s[i] != lead[1][i - at]) return at;
  // Parameters and intermediates, then the final byte.
  for (; i < s.size(); i++)
    if (s[i] < 0x20 || s[i] > 0x3F) return s[i] >= 0x40 && s[i] <= 0x7E ? i + 1 : at;
  return s.size() + 1;
}

std::string Without_Terminal_Replies(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    size_t end = Terminal_Reply_End(s, i);
    if (end > i && end <= s.size()) {
      i = end;
    } else {
      out += s[i++];
    }
  }
  return out;
}

std::vector<std::string> Split_Arguments(const std::string& s) {
  std::vector<std::string> args;
  for (size_t i = Skip_Blanks(s, 0); i < s.size(); i = Skip_Blanks(s, i)) {
    std::string arg;
    i = Read_Argument(s, i, arg);
    args.push_back(arg);
  }
  return args;
}

std::string Path_Argument(const std::string& p, const char* leads) {
  if (p.empty() || std::string(leads).find(p[0]) == std::string::npos) return p;
  return std::string(".") + PATH_SEPARATOR + p;
}

std::string Tmux_Literal(const std::string& s) {
  std::string out;
  for (char c : s) {
    out += c;
    if (c == '#') out += '#';
  }
  return out;
}

std::string Last_Component(const std::string& p) {
  size_t pos = p.find_last_of(Separators());
  return pos == std::string::npos ? p : p.substr(pos + 1);
}

std::string Directory_Of(const std::string& p) {
  size_t pos = p.find_last_of(Separators());
  if (pos == std::string::npos) return "";
  bool root = pos == 0 || p[pos - 1] == ':';
  return p.substr(0, root ? pos + 1 : pos);
}

std::string Join_Path(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  bool ends_in_separator = Separators().find(dir.back()) != std::string::npos;
  return ends_in_separator ? dir + name : dir + PATH_SEPARATOR + name;
}

bool Manifest_Says_Utf8(const std::string& text) {
  size_t element = text.find("activeCodePage");
  size_t start = element == std::string::npos ? element : text.find('>', element);
  size_t end = start == std::string::npos ? start : text.find('<', start);
  if (end == std::string::npos || text[start - 1] == '/') return false;  // <activeCodePage/>
  std::string value = text.substr(start + 1, end - start - 1);
  size_t first = value.find_first_not_of(" \t\r\n"), last = value.find_last_not_of(" \t\r\n");
  value = first == std::string::npos ? "" : value.substr(first, last - first + 1);
  for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return value == "utf-8";
}

std::string Without_Trailing_Blanks_And_Dots(const std::string& p) {
  size_t start = p.find_last_of("\\/");
  start = start == std::string::npos ? 0 : start + 1;
  size_t end = p.find_last_not_of(" .");
  return end != std::string::npos && end >= start ? p.substr(0, end + 1) : p;
}

std::string Without_Trailing_Separators(const std::string& p, const char* separators) {
  std::string s = p;
  auto is_separator = [&](char c) { return std::string(separators).find(c) != std::string::npos; };
  // "C:\\" names the root of drive C:, while "C:" names its working directory.
  while (s.size() > 1 && is_separator(s.back()) && s[s.size() - 2] != ':') s.pop_back();
  return s;
}

std::string Lowered_Extension(const std::string& p) {
  size_t dot = p.rfind('.');
  if (dot == std::string::npos) return "";
  std::string ext = p.substr(dot + 1);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

bool Is_Archive_Preview(const std::string& dir) {
  size_t start = 0;
  while (start < dir.size()) {
    size_t end = dir.find_first_of("/\\", start);
    if (end == std::string::npos) end = dir.size();
    std::string part = dir.substr(start, end - start);
    if ((Starts_With_Folded(part, "temp") && Ends_With_Folded(part, ".zip")) ||
        Starts_With(part, "7zO") || Starts_With(part, "Rar$EX"))
      return true;
    start = end + 1;
  }
  return false;
}
