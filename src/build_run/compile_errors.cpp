// Reading GCC's messages after a failed compile: the first error's place, the
// table of explanations, and full-width punctuation typed by an input method.

#include "build_run/compile_errors.h"

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "platform/text.h"

const char* const LOCKED_PROGRAM_HINT =
    "程序可能仍在运行，无法覆盖它的 exe 文件：请先关闭程序的窗口，再重新编译。";

namespace {

// The errors beginners meet most, as GCC 8 to 14 word them in English and in
// its Chinese catalog ("‘" and "’" are read as "'"), each with what to do.
// {1} and {2} stand for the names that the pattern's groups caught. The first
// row that fits wins, so the narrower rows come first.
const struct {
  const char* pattern;
  const char* hint;
} ERROR_HINTS[] = {
    // Names not declared: the standard ones without std:: or their header,
    // then misspelled ones.
    {"'(\\w+)' was not declared in this scope; did you mean 'std::\\1'",
     "{1} 属于 std：写成 std::{1}，或在 #include 之后加一行 using namespace std;"},
    {"^'(cout|cin|endl|cerr)' ?(?:was not declared|在此作用域中尚未声明)",
     "{1} 在头文件 <iostream> 里，而且属于 std：在文件开头加 #include <iostream>，再加一行 using "
     "namespace std;"},
    {"^'(sqrt|pow|abs|fabs|floor|ceil|round|log|log10|exp|sin|cos|tan|fmod|hypot)' "
     "?(?:was not declared|在此作用域中尚未声明)",
     "{1} 在头文件 <cmath> 里：在文件开头加一行 #include <cmath>"},
    {"^'(printf|scanf|puts|getchar|putchar|gets|freopen)' ?(?:was not declared|在此作用域中尚未声明)",
     "{1} 在头文件 <cstdio> 里：在文件开头加一行 #include <cstdio>"},
    {"^'(strlen|strcpy|strcmp|strcat|memset|memcpy)' ?(?:was not declared|在此作用域中尚未声明)",
     "{1} 在头文件 <cstring> 里：在文件开头加一行 #include <cstring>"},
    {"^'(string|vector|map|set|queue|stack|deque|pair|sort|swap|max|min|reverse|getline|setw|"
     "setprecision|fixed)' ?(?:was not declared|在此作用域中尚未声明|does not name a type|不是一个类型名)",
     "{1} 是标准库里的名字：#include 它的头文件，并写成 std::{1}，或在 #include 之后加一行 using "
     "namespace std;"},
    {"'(\\w+)' is not a member of 'std'|'(\\w+)'不是'std'的成员",
     "std::{1} 要先包含它的头文件：在文件开头 #include 对应的头文件（如 <vector>、<string>、<algorithm>）"},
    {"'(\\w+)' was not declared in this scope; did you mean '(\\w+)'",
     "{1} 没有声明：是不是想写 {2}？"},
    {"'(\\w+)' was not declared in this scope|'(\\w+)'在此作用域中尚未声明|'(\\w+)' undeclared",
     "{1} 没有声明：检查拼写和大小写是否一致，变量要先声明（如 int {1};）再使用"},
    {"'(\\w+)' does not name a type|'(\\w+)'不是一个类型名",
     "{1} 不是类型名：检查拼写；标准库的类型要 #include 头文件并写 std::；语句要写在函数里面"},
    // Punctuation: semicolons, braces, parentheses.
    {"^expected (?:'[;,]'|',' or ';') (?:before|after|at end)|需要'[;,]'",
     "这一行或上一行的末尾可能少了分号 ;"},
    {"expected '\\}' at end of input|输入末尾需要'\\}'",
     "大括号没有配对：某个 { 缺少对应的 }，数一数每个函数、if 和循环的大括号"},
    {"expected declaration before '\\}'|expected unqualified-id before '\\}'|需要声明",
     "多了一个 }：前面的大括号已经配对完了，删掉多余的 }"},
    {"expected '\\)' before|expected '\\)' at end|需要'\\)'",
     "括号没有配对：这里少了右括号 )，或者前面多了左括号 ("},
    {"expected '\\(' before|需要'\\('",
     "这里需要左括号 (：if、while、for 和函数调用的括号都要用英文的 ( )"},
    {"expected '\\]' before|需要'\\]'", "方括号没有配对：这里少了 ]"},
    {"expected primary-expression before|需要元表达式",
     "这里缺少一个值：检查运算符两边是否都写了东西，逗号和括号是否多写了"},
    {"expected unqualified-id before|expected initializer before|需要初始值设定",
     "这里的写法不对：检查上一行末尾是否少了分号，或者在函数外面写了语句"},
    {"missing terminating \" character|缺少结尾的 \" 字符",
     "字符串少了结尾的双引号 \"：同一行里的英文双引号要成对"},
    {"missing terminating ' character|缺少结尾的 ' 字符",
     "字符要用一对英文单引号括起来，例如 'a'；多个字符的文字请用双引号"},
    {"extended character .* is not valid in an identifier|stray '\\\\?\\d+' in program|程序中有游离的",
     "这里有中文或全角字符：代码里的标点和空格都要在英文输入状态下输入，中文只能写在字符串和注释里"},
    // main, statements, operators.
    {"'::main' must return 'int'|'::main'必须返回'int'",
     "main 函数要写成 int main()，不能写成 void main()"},
    {"operator<<' \\(operand types are 'std::istream|no match for 'operator<<' in 'std::cin",
     "cin 要用 >> 读入：写成 cin >> 变量;"},
    {"operator>>' \\(operand types are 'std::ostream|no match for 'operator>>' in 'std::cout",
     "cout 要用 << 输出：写成 cout << 内容;"},
    {"'else' without a previous 'if'|'else'之前没有'if'",
     "else 前面没有配对的 if：检查 if (...) 后面是否多写了分号，或者大括号没有配对"},
    {"break statement not within loop or switch|break 语句不在循环",
     "break 只能写在循环或 switch 里：检查大括号是否提前结束了循环"},
    {"lvalue required as left operand of assignment|赋值运算的左操作数必须是左值",
     "= 的左边必须是变量：判断相等要写 =="},
    {"too few arguments to function|实参太少", "调用函数时少了参数：参数的个数要和函数的定义一致"},
    {"too many arguments to function|实参太多", "调用函数时多了参数：参数的个数要和函数的定义一致"},
    {"no matching function for call to|的调用没有匹配的函数",
     "调用函数时参数的个数或类型不对：对照函数的定义检查每个参数"},
    {"redeclaration of|conflicting declaration|redefinition of|重声明|重定义|冲突的声明",
     "同一个名字定义了两次：改掉其中一个的名字，或删掉重复的定义"},
    {"to binary 'operator%'|对双目'operator%'而言无效",
     "% 只能用于整数：小数取余数请用 <cmath> 里的 fmod"},
    {"comparison between pointer and integer|比较指针和整数",
     "单个字符要用单引号：写成 c == 'a'，不是 c == \"a\""},
    {"for array subscript|用作数组下标类型无效",
     "只有数组、string 和 vector 能用 [ ] 取元素：检查这个名字是不是数组，有没有写错"},
    {"return-statement with a value, in function returning 'void'|'return' with a value, in "
     "function returning void|在无返回值的函数中，'return'带返回值",
     "void 函数不能返回值：去掉 return 后面的值，或者改掉函数的返回类型"},
    {"jump to case label|跳转至 case 标号",
     "在 case 里定义变量时，要用 { } 把这个 case 的代码括起来"},
    {"invalid conversion from|cannot convert|从.*的转换无效|无法将.*转换",
     "类型不匹配：检查赋值或传参时两边的类型，例如字符串不能直接当作数字"},
    {"No such file or directory|没有那个文件或目录",
     "找不到要包含的头文件：检查 #include 里的名字有没有写错"},
    // The linker.
    {"undefined reference to [`'](?:main|WinMain|WinMain@16)'|对[`'](?:main|WinMain|WinMain@16)'未定义的引用",
     "找不到 main 函数：源文件可能是空的或还没保存，或者 main 的名字写错了"},
    {"cannot open output file .*(?:Permission denied|拒绝)", LOCKED_PROGRAM_HINT},
    {"undefined reference to|未定义的引用",
     "有函数只声明了没有定义：检查函数名的拼写，以及是否写了函数体"},
};

// The full-width marks that a Chinese input method types, and what to type.
const struct {
  const char* mark;
  const char* ascii;
} FULL_WIDTH[] = {{"；", ";"}, {"，", ","}, {"（", "("}, {"）", ")"}, {"“", "\""}, {"”", "\""},
                  {"‘", "'"}, {"’", "'"}, {"：", ":"}, {"！", "!"}, {"？", "?"}, {"＜", "<"},
                  {"＞", ">"}, {"＝", "="}, {"［", "["}, {"］", "]"}, {"｛", "{"}, {"｝", "}"},
                  {"。", "."}, {"、", ","}, {"＋", "+"}, {"－", "-"}, {"＊", "*"}, {"／", "/"},
                  {"％", "%"}, {"＆", "&"}, {"｜", "|"}, {"＃", "#"}, {"《", "<"}, {"》", ">"},
                  {"【", "["}, {"】", "]"}, {"…", "..."}, {"·", "`"}, {"\xe3\x80\x80", " "}};

// `s` with every occurrence of `from` replaced by `to`.
std::string Replaced(std::string s, const std::string& from, const std::string& to) {
  for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}

// One line of the compiler's output as plain text: no CR, no colour or link
// escapes, and GCC's typographic quotes as "'".
std::string Plain(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  static const std::regex escapes("\x1b\\[[0-9;]*[A-Za-z]|\x1b\\][^\x1b\x07]*(?:\x07|\x1b\\\\)");
  line = std::regex_replace(line, escapes, "");
  return Replaced(Replaced(line, "‘", "'"), "’", "'");
}

// How much of a line is read: every message that the table knows is said
// well within it, and the regular expressions of the C++ library recurse
// once for each character they match.
const size_t LONGEST_READ = 512;

std::vector<std::string> Lines_Of(const std::string& output) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < output.size()) {
    size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    lines.push_back(Plain(output.substr(start, std::min(end - start, LONGEST_READ))));
    start = end + 1;
  }
  return lines;
}

// Whether `line` is an error of GCC's, "FILE:LINE[:COL]: error: MESSAGE" in
// English or Chinese; sets its parts.
bool Is_Error(const std::string& line, std::string& file, int& number, int& col,
              std::string& message) {
  static const std::regex error(
      "^(.*?):([0-9]+):(?:([0-9]+):)? (?:fatal error: |error: |致命错误：|错误：)\\s*(.*)$");
  std::smatch m;
  if (!std::regex_match(line, m, error)) return false;
  file = m[1];
  number = std::stoi(m[2].str().substr(0, 9));
  col = m[3].matched ? std::stoi(m[3].str().substr(0, 9)) : 0;
  message = m[4];
  // Lines are counted from 1: a 0 names no line of the source.
  return number > 0;
}

// Whether the file that a message names is the source: as the compiler was
// given it, or, since a compiler may name it otherwise, by its last part.
bool Names_Source(const std::string& file, const std::string& source) {
  return file == source || Last_Component(file) == Last_Component(source);
}

// Decodes the UTF-8 character at `i` of `s` (a byte that starts none counts
// as one character of its own) and returns its length.
size_t Decode(const std::string& s, size_t i, char32_t& c) {
  unsigned char b = static_cast<unsigned char>(s[i]);
  size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 1;
  if (i + n > s.size()) n = 1;
  c = n == 1 ? b : b & (0x7F >> n);
  for (size_t k = 1; k < n; k++) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  return n;
}

// How many columns a terminal gives the character `c`.
int Width(char32_t c) {
  if (c >= 0x300 && c <= 0x36F) return 0;
  static const char32_t wide[][2] = {{0x1100, 0x115F}, {0x2E80, 0x303E},  {0x3041, 0x33FF},
                                     {0x3400, 0x4DBF}, {0x4E00, 0x9FFF},  {0xA000, 0xA4CF},
                                     {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},  {0xFE30, 0xFE4F},
                                     {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6},  {0x1F300, 0x1F64F},
                                     {0x1F900, 0x1F9FF}, {0x20000, 0x3FFFD}};
  for (const auto& r : wide)
    if (c >= r[0] && c <= r[1]) return 2;
  return 1;
}

// The column after a character of width `w` (a tab when `tab`) that starts
// at column `at`.
int Next_Column(int at, bool tab, int w) { return tab ? ((at - 1) / 8 + 1) * 8 + 1 : at + w; }

// Where the literal or comment that starts at `i` of `text` ends; `i` when
// none starts there.
size_t Skip_Literal(const std::string& text, size_t i) {
  if (text.compare(i, 2, "//") == 0) return text.size();
  if (text.compare(i, 2, "/*") == 0) {
    size_t end = text.find("*/", i + 2);
    return end == std::string::npos ? text.size() : end + 2;
  }
  if (text[i] != '"' && text[i] != '\'') return i;
  size_t k = i + 1;
  while (k < text.size() && text[k] != text[i]) k += text[k] == '\\' ? 2 : 1;
  return k < text.size() ? k + 1 : text.size();
}

}  // namespace

bool First_Error(const std::string& output, const std::string& source, int& line, int& col,
                 std::string& message) {
  std::string file, first;
  for (const std::string& l : Lines_Of(output)) {
    if (Is_Error(l, file, line, col, message) && Names_Source(file, source)) return true;
    if (first.empty() && !Error_Hint(l).empty()) first = l;
  }
  line = col = 0;
  message = first;
  return false;
}

std::vector<int> Error_Lines(const std::string& output, const std::string& source) {
  std::vector<int> lines;
  std::string file, message;
  int number = 0, col = 0;
  for (const std::string& l : Lines_Of(output))
    if (Is_Error(l, file, number, col, message) && Names_Source(file, source) &&
        std::find(lines.begin(), lines.end(), number) == lines.end())
      lines.push_back(number);
  return lines;
}

bool Columns_Are_Bytes(const std::string& output) {
  // GCC 9 and 10 quote the line as " 12 |<the line as it is>"; GCC 11 and
  // later expand its tabs, and GCC 8 quotes it without the bar.
  static const std::regex quoted("^ *[0-9]+ \\|.*\t.*$");
  for (const std::string& l : Lines_Of(output))
    if (std::regex_match(l, quoted)) return true;
  return false;
}

std::string Error_Hint(const std::string& message) {
  static const std::vector<std::regex> patterns = [] {
    std::vector<std::regex> compiled;
    for (const auto& row : ERROR_HINTS) compiled.emplace_back(row.pattern);
    return compiled;
  }();
  std::string plain = Plain(message.substr(0, LONGEST_READ));
  for (size_t r = 0; r < patterns.size(); r++) {
    std::smatch m;
    if (!std::regex_search(plain, m, patterns[r])) continue;
    std::vector<std::string> names;
    for (size_t g = 1; g < m.size(); g++)
      if (m[g].matched) names.push_back(m[g]);
    std::string hint = ERROR_HINTS[r].hint;
    for (size_t k = 0; k < names.size() && k < 2; k++)
      hint = Replaced(hint, "{" + std::to_string(k + 1) + "}", Visible(names[k]));
    return hint;
  }
  return "";
}

std::vector<std::string> Punctuation_Hints(const std::string& text, int line) {
  std::vector<std::string> hints;
  int ccol = 0;
  for (size_t i = 0; i < text.size();) {
    size_t past = Skip_Literal(text, i);
    for (; i < past; ccol++) {
      char32_t c;
      i += Decode(text, i, c);
    }
    if (i >= text.size()) break;
    char32_t c;
    size_t n = Decode(text, i, c);
    ccol++;
    for (const auto& fw : FULL_WIDTH) {
      if (text.compare(i, n, fw.mark) != 0) continue;
      std::string place = "第 " + std::to_string(line) + " 行第 " + std::to_string(ccol) + " 列";
      hints.push_back(fw.ascii[0] == ' '
                          ? place + "是一个全角空格，请切换到英文输入后改成普通空格"
                          : place + "的“" + fw.mark + "”是中文标点，请切换到英文标点后改成 " + fw.ascii);
    }
    i += n;
  }
  return hints;
}

int Character_Column(const std::string& text, int col, bool bytes) {
  int at = 1, ccol = 1;
  for (size_t i = 0; i < text.size(); ccol++) {
    char32_t c;
    size_t n = Decode(text, i, c);
    int next = bytes ? at + static_cast<int>(n) : Next_Column(at, c == '\t', Width(c));
    if (col < next) return ccol;
    at = next;
    i += n;
  }
  return ccol + (col > at ? col - at : 0);
}

int Display_Column(const std::string& text, int ccol) {
  int at = 1;
  for (size_t i = 0; i < text.size() && ccol > 1; ccol--) {
    char32_t c;
    i += Decode(text, i, c);
    at = Next_Column(at, c == '\t', Width(c));
  }
  return at + ccol - 1;
}

std::string Marked_Line(const std::string& text, int ccol) {
  std::string shown, caret;
  int at = 1, k = 1;
  for (size_t i = 0; i < text.size(); k++) {
    char32_t c;
    size_t n = Decode(text, i, c);
    std::string ch = Visible(text.substr(i, n));
    bool visible = ch == text.substr(i, n);
    int next = Next_Column(at, c == '\t', visible ? Width(c) : static_cast<int>(ch.size()));
    shown += c == '\t' ? std::string(static_cast<size_t>(next - at), ' ') : ch;
    if (k < ccol) caret += std::string(static_cast<size_t>(next - at), ' ');
    at = next;
    i += n;
  }
  if (ccol > k) caret += std::string(static_cast<size_t>(ccol - k), ' ');
  return "    " + shown + "\n    " + caret + "^\n";
}
