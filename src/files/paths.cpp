// Reading and checking typed paths, and quoting them for command lines.

#include <string>

#include "console/console.h"
#include "files/files.h"
#include "platform/programs.h"
#include "platform/text.h"

namespace {

const char* const INVALID = "路径无效，请重新输入。";
const char* const NOT_FILE = "路径指向的不是文件，请重新输入。";
const char* const WRONG_TYPE = "路径指向的文件类型不正确，请重新输入。";

// The word that a shell reads from `s`, a name quoted as shells and
// terminals quote it ('it'\''s.cpp'): single-quoted runs, characters after a
// backslash, and plain characters other than blanks; false when `s` is no
// such word.
bool Shell_Word(const std::string& s, std::string& word) {
  word.clear();
  for (size_t i = 0; i < s.size();) {
    if (s[i] == '\'') {
      size_t end = s.find('\'', i + 1);
      if (end == std::string::npos) return false;
      word.append(s, i + 1, end - i - 1);
      i = end + 1;
    } else if (s[i] == '\\' && i + 1 < s.size()) {
      word += s[i + 1];
      i += 2;
    } else if (s[i] == ' ' || s[i] == '\t') {
      return false;
    } else {
      word += s[i++];
    }
  }
  return true;
}

// Tells a line that names nothing, typed with an input method in Chinese
// punctuation mode ("Z：、tmp、t.cpp"), to switch to English punctuation.
void Hint_At_Chinese_Punctuation(const std::string& ans) {
  std::string found;
  for (const char* mark : {"、", "：", "。", "．", "／", "＼"})
    if (ans.find(mark) != std::string::npos) found += mark;
  if (!found.empty()) Print("提示：路径中有中文标点“" + found + "”，请把输入法切换到英文标点后再输入。", 1);
}

}  // namespace

Path_Kind Path_Status(const std::string& s) {
  // A line end would split the settings file's lines, and no typed path means one.
  if (!Is_Path_Text(s) || s.find_first_of("\r\n") != std::string::npos) return PATH_MISSING;
  return Platform_Path_Status(s);
}

std::string Pasted_Path(const std::string& ans) {
  // A drop leaves a blank after the path, quoted or not.
  std::string s = ans;
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
  std::string inner = s;
  // Explorer's "C:\a.cpp" keeps its backslashes; a shell's 'it'\''s.cpp' is
  // read as a shell reads it.
  if (s.size() >= 2 && s[0] == '"' && s.back() == '"')
    inner = s.substr(1, s.size() - 2);
  else if (!s.empty() && s[0] == '\'' && !Shell_Word(s, inner))
    inner = s;
  inner = Expand_Home(inner);
  return inner == ans ? "" : inner;
}

std::string Meant_Path(const std::string& ans) {
  if (Path_Status(ans) != PATH_MISSING) return Opened_Path(ans);
  std::string pasted = Pasted_Path(ans);
  return !pasted.empty() && Path_Status(pasted) != PATH_MISSING ? Opened_Path(pasted) : ans;
}

Path_Verdict Check_File_Path(const std::string& ans, const std::string& wh) {
  Path_Kind kind = Path_Status(ans);
  if (kind == PATH_MISSING) return PATH_INVALID;
  if (kind != PATH_FILE) return PATH_NOT_FILE;
  // Where programs carry no suffix, being allowed to run makes a file a program.
  if (wh == "exe" && EXE_SUFFIX[0] == '\0')
    return Platform_Is_Executable(ans) ? PATH_OK : PATH_WRONG_TYPE;
  return Lowered_Extension(ans) == wh ? PATH_OK : PATH_WRONG_TYPE;
}

std::string Read_File_Path(std::string wh) {
  while (true) {
    std::string ans = Meant_Path(Read_Line(wh == "cpp" ? INPUT_SOURCE : INPUT_PROGRAM));
    Path_Verdict v = Check_File_Path(ans, wh);
    if (v == PATH_OK) return ans;
    Print(v == PATH_INVALID ? INVALID : v == PATH_NOT_FILE ? NOT_FILE : WRONG_TYPE, 1);
    if (v == PATH_INVALID) Hint_At_Chinese_Punctuation(ans);
  }
}

std::string Read_Path() {
  while (true) {
    std::string ans = Meant_Path(Read_Line(INPUT_DIRECTORY));
    if (Path_Status(ans) != PATH_MISSING) return ans;
    Print(INVALID, 1);
    Hint_At_Chinese_Punctuation(ans);
  }
}

bool Isfile(std::string s) { return Path_Status(s) == PATH_FILE; }

std::string Change(std::string s) { return "\"" + s + "\""; }

void Put_Path(const std::string& p, std::string& t, std::vector<std::string>& words) {
  t += Change(p);
  words.push_back(p);
}

void Put_Text(const std::string& text, std::string& t, std::vector<std::string>& words) {
  t += text;
  for (const std::string& word : Split_Arguments(text)) words.push_back(word);
}
