// Compiling a source with the configured compiler and starting its program.

#include "build_run/build_run.h"

#include <algorithm>
#include <string>
#include <vector>

#include "build_run/compile_errors.h"
#include "console/console.h"
#include "files/files.h"
#include "platform/compiler.h"
#include "platform/file_system.h"
#include "platform/commands.h"
#include "platform/programs.h"
#include "platform/text.h"
#include "settings/settings.h"

namespace {

// g++ reads a word that begins with "-" as an option and one that begins
// with "@" as a file of options: a source named so goes in as "./name".
const char* const COMPILER_LEADS = "-@";

}  // namespace

std::string Exe_Path(const std::string& fpath) {
  int lf = static_cast<int>(fpath.size());
  std::string epath = fpath.substr(0, lf - 4) + EXE_SUFFIX;
  // Sources named ".cpp", "..cpp" and "...cpp" would give a program named
  // "", "." or "..": the directory itself or its parent.
  std::string base = Last_Component(epath);
  bool nameless = base.empty() || base == "." || base == "..";
  if (EXE_SUFFIX[0] == '\0' && nameless) epath += ".out";
  return epath;
}

void Compile_Command(const std::string& compiler, const std::string& fpath,
                     const std::string& epath, std::string& t, std::vector<std::string>& words) {
  std::string inner;
  words.clear();
  Put_Path(compiler, inner, words);
  Put_Text(" ", inner, words);
  Put_Text(COM_SETTINGS, inner, words);
  if (!COM_SETTINGS.empty()) Put_Text(" ", inner, words);
  Put_Text("-g -o ", inner, words);
  Put_Path(Path_Argument(epath, COMPILER_LEADS), inner, words);
  Put_Text(" ", inner, words);
  Put_Path(Path_Argument(fpath, COMPILER_LEADS), inner, words);
  t = "cmd /c" + Change(inner);
}

void Pauser_Launch_Command(const std::string& pauser, const std::string& epath, std::string& t,
                           std::vector<std::string>& words) {
  t = "start ";
  words.clear();
  Put_Path("", t, words);
  Put_Text(" ", t, words);
  Put_Path(pauser, t, words);
  Put_Text(" ", t, words);
  Put_Path(epath, t, words);
}

void Direct_Launch_Command(const std::string& fpath, const std::string& epath, std::string& t,
                           std::vector<std::string>& words) {
  t = "start ";
  words.clear();
  Put_Path(fpath, t, words);
  Put_Text(" ", t, words);
  Put_Path(epath, t, words);
}

namespace {

// The most hints that one failure gets: a line of full-width punctuation
// gives one for each mark.
const size_t MOST_HINTS = 10;

// The first `count` lines of the source `fpath`, without their line ends
// (fewer where it has fewer); none when it cannot be read.
std::vector<std::string> Source_Lines(const std::string& fpath, int count) {
  std::string text;
  std::vector<std::string> lines;
  if (count <= 0 || !Read_Head(fpath, count, text).empty()) return lines;
  for (size_t start = 0; start < text.size() && lines.size() < static_cast<size_t>(count);) {
    size_t end = std::min(text.find('\n', start), text.size());
    lines.push_back(text.substr(start, end - start));
    if (!lines.back().empty() && lines.back().back() == '\r') lines.back().pop_back();
    start = end + 1;
  }
  return lines;
}

// Line `line` (from 1) of `lines`, "" past their end.
std::string Line_Of(const std::vector<std::string>& lines, int line) {
  return line >= 1 && static_cast<size_t>(line) <= lines.size() ? lines[line - 1] : "";
}

// Tells where the first error, at `line` (whose text is `text`) and the
// compiler's column `col`, lies in the source `fpath`, its line marked, and
// remembers the place for the editor.
void Tell_Place(const std::string& fpath, const std::string& text, int line, int col,
                const std::string& messages) {
  int ccol = col > 0 ? Character_Column(text, col, Columns_Are_Bytes(messages)) : 0;
  Remember_Error_Place(fpath, line, ccol, ccol > 0 ? Display_Column(text, ccol) : 0);
  std::string place = "第 " + std::to_string(line) + " 行" +
                      (ccol > 0 ? "第 " + std::to_string(ccol) + " 列" : "");
  Print("第一个错误在" + place + "：", 1);
  Write(ccol > 0 ? Marked_Line(text, ccol) : "    " + Visible(text) + "\n");
}

// Tells where the first error of the failed compile of `fpath` (handed to
// the compiler as `source_arg`) lies and what it means, from the compiler's
// messages: full-width marks on the lines of errors, else the table's
// explanation of the first error. Returns the hints told.
std::vector<std::string> Explain_Errors(const std::string& fpath, const std::string& source_arg) {
  std::string messages = Compile_Messages(), message;
  int line = 0, col = 0;
  bool placed = First_Error(messages, source_arg, line, col, message);
  std::vector<int> error_lines = Error_Lines(messages, source_arg);
  int last = error_lines.empty() ? 0 : *std::max_element(error_lines.begin(), error_lines.end());
  std::vector<std::string> source = Source_Lines(fpath, std::max(last, line));
  // A line too long to read after the first error's leaves that one readable.
  if (source.empty()) source = Source_Lines(fpath, line);
  std::vector<std::string> hints;
  for (int l : error_lines)
    for (const std::string& hint : Punctuation_Hints(Line_Of(source, l), l))
      if (hints.size() < MOST_HINTS) hints.push_back(hint);
  std::string explained = hints.empty() ? Error_Hint(message) : "";
  if (!explained.empty()) hints.push_back(explained);
  if (placed) Tell_Place(fpath, Line_Of(source, line), line, col, messages);
  if (placed && !EDITOR_TAKES_A_PLACE)
    hints.push_back("在记事本中按 Ctrl+G，输入 " + std::to_string(line) + " 可以跳到这一行");
  for (size_t k = 0; k < hints.size(); k++)
    Print("提示：" + hints[k], k + 1 == hints.size() ? 2 : 1);
  if (placed && hints.empty()) Write("\n");
  return hints;
}

// Compiles and tells the outcome; false when the compile failed, after its
// closing pause. A program that cannot be overwritten gets a hint.
bool Compile(const std::string& fpath, const std::string& epath) {
  Print("正在编译……", 1);
  std::string t, compiler_arg, source_arg, program_arg;
  std::vector<std::string> words;
  Begin_Compile(COM_PATH, fpath, epath, compiler_arg, source_arg, program_arg);
  Compile_Command(compiler_arg, source_arg, program_arg, t, words);
  // A compiler with Chinese catalogs then says its errors in Chinese.
  if (Compiler_Shows_Chinese()) Put_Chinese_Language();
  int result = System(t, words);
  Restore_Language();
  Remember_Error_Place("", 0, 0, 0);
  if (End_Compile(result == 0)) {
    Print("编译成功！", 1);
    return true;
  }
  Print("编译失败！", 2);
  // An empty source has nothing to point at; its own hint follows.
  std::vector<std::string> told;
  if (!File_Is_Empty(fpath)) told = Explain_Errors(fpath, source_arg);
  // A compiler before GCC 13 finds its own programs (cc1plus) by its own
  // path, read in the ANSI code page.
  std::string own = Unreadable_Compiler_Characters();
  if (!own.empty())
    Print("编译器所在的路径中有它读不了的“" + own +
              "”，它找不到自己的程序：请把编译器放到只有英文名字的文件夹里，或者换用 GCC 13 或更新的版本。",
          2);
  // A compiler that reads the ANSI code page gets "?" for the rest.
  std::string unreadable = Unreadable_Characters();
  if (!unreadable.empty())
    Print("编译器读不了路径中的“" + unreadable +
              "”：请给源文件和它所在的文件夹都起英文名字，或者换用 GCC 13 或更新的版本。",
          2);
  // Notepad may be left without saving, and on Windows 11 it returns at once.
  if (File_Is_Empty(fpath)) Print("源文件是空的：请先在编辑器里写好程序并保存，再编译。", 2);
  // Windows will not replace a program that still runs; the linker then only
  // says "Permission denied".
  bool locked_told = std::find(told.begin(), told.end(), LOCKED_PROGRAM_HINT) != told.end();
  if (RUNNING_PROGRAM_IS_LOCKED && !locked_told && Isfile(epath) && !Can_Open_For_Writing(epath))
    Print(LOCKED_PROGRAM_HINT, 2);
  System("pause");
  return false;
}

bool Source_Is_Newer(const std::string& fpath, const std::string& epath) {
  long long source = 0, program = 0;
  return Modified_Time(fpath, source) && Modified_Time(epath, program) && source > program;
}

// Asks whether to compile when the program exists, compiles when it is
// missing; false when the request ended here.
bool Compile_If_Needed(const std::string& fpath, const std::string& epath) {
  if (!Isfile(epath)) {
    Print("未找到对应程序的 exe 文件，自动编译。", 1);
    return Compile(fpath, epath);
  }
  if (Source_Is_Newer(fpath, epath)) Print("源文件比 exe 文件新，建议重新编译。", 1);
  Print("是否需要编译？（0/1）", 1);
  if (Read_Pint({0, 1}) == 1) return Compile(fpath, epath);
  Print("跳过编译。", 1);
  return true;
}

// Something that is not a program where the program would be (a text file
// or a script "notes" beside "notes.cpp", a directory) is neither compiled
// over nor run.
bool Program_Place_Is_Taken(const std::string& epath) {
  Path_Kind kind = Path_Status(epath);
  if (kind == PATH_MISSING || (kind == PATH_FILE && Platform_Is_Compiled_Program(epath)))
    return false;
  Print("“" + Visible(epath) + "”已经存在，但它不是程序：请把它改名或移走，再编译运行。", 2);
  System("pause");
  return true;
}

// The ConsolePauser that came with Tivex: beside it (a build, the zip), or
// where an installation keeps it (lib/tivex beside bin); "" when neither.
std::string Pauser_Beside_Us() {
  std::string dir = Own_Directory();
  if (dir.empty()) return "";
  std::string name = std::string("ConsolePauser") + EXE_SUFFIX;
  std::string beside = Join_Path(dir, name);
  if (Check_File_Path(beside, "exe") == PATH_OK) return beside;
  if (Last_Component(dir) != "bin") return "";
  std::string installed = Join_Path(Join_Path(Join_Path(Directory_Of(dir), "lib"), "tivex"), name);
  return Check_File_Path(installed, "exe") == PATH_OK ? installed : "";
}

// Starts the program through ConsolePauser: the one at CON_PATH, or, where
// that is empty, the one that came with Tivex (the setting stays empty);
// directly when there is none.
void Launch(const std::string& fpath, const std::string& epath) {
  std::string t;
  std::vector<std::string> words;
  std::string pauser = CON_PATH.empty() ? Pauser_Beside_Us() : CON_PATH;
  if (CON_PATH.empty() && !pauser.empty())
    Print("使用 Tivex 自带的 ConsolePauser：" + Visible(pauser), 1);
  if (Isfile(pauser)) {
    Print("正在通过 ConsolePauser 启动程序……", 1);
    Pauser_Launch_Command(pauser, epath, t, words);
  } else {
    Print("ConsolePauser 路径无效。即将直接启动程序。", 1);
    std::string beside = Pauser_Beside_Us();
    if (!beside.empty())
      Print("Tivex 旁边有 ConsolePauser：" + Visible(beside) + "，可以在“设置 → 2”中填入这个路径。", 1);
    Direct_Launch_Command(fpath, epath, t, words);
  }
  Print(System(t, words) == 0 ? "启动成功！" : "启动失败！", 1);
}

// Everything after the source's checks: compiles when needed or wanted, and
// starts the program when wanted.
void Build_And_Launch(const std::string& fpath, const std::string& epath) {
  if (!Compile_If_Needed(fpath, epath)) return;
  Write("\n");
  Print("是否需要运行？（0/1）", 1);
  if (Read_Pint({0, 1}) == 1)
    Launch(fpath, epath);
  else
    Print("跳过运行。", 1);
  Write("\n");
  System("pause");
}

void Tell_Invalid_Compiler() {
  Print("编译器路径无效！请重新设置。", 2);
  std::string found = Find_Compiler();
  if (!found.empty())
    Print("找到了编译器：" + Visible(found) + "，可以在“设置 → 1”中填入这个路径。", 2);
  System("pause");
}

}  // namespace

void Run() {
  System("cls");
  Print("请输入 C++ 文件的完整路径：", 1);
  std::string fpath = Read_File_Path("cpp");
  std::string epath = Exe_Path(fpath);
  Write("\n");
  if (!Isfile(COM_PATH)) return Tell_Invalid_Compiler();
  if (Program_Place_Is_Taken(epath)) return;
  // The compiler's own programs (cc1plus) and the programs that MinGW linked
  // dynamically find their DLLs beside the compiler; nothing else that Tivex
  // starts later is to find its programs there first.
  std::string compiler_dir = Directory_Of(COM_PATH);
  if (!compiler_dir.empty()) Put_First_On_Path(compiler_dir);
  Build_And_Launch(fpath, epath);
  Restore_Path();
}
