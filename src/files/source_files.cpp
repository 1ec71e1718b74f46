// The new and open source file screens.

#include <string>
#include <vector>

#include "console/console.h"
#include "files/files.h"
#include "platform/commands.h"
#include "platform/programs.h"
#include "platform/text.h"

namespace {

// Where the last failed compile's first error lies, in ERROR_SOURCE as typed.
std::string ERROR_SOURCE;
int ERROR_LINE = 0, ERROR_COL = 0, ERROR_SCREEN_COL = 0;

// `p` without the "./" that may lead it, as the same file may be typed.
std::string Without_Dot_Slash(const std::string& p) {
  return p.size() > 2 && p[0] == '.' && (p[1] == '/' || p[1] == PATH_SEPARATOR) ? p.substr(2) : p;
}

}  // namespace

void Remember_Error_Place(const std::string& fpath, int line, int col, int screen_col) {
  ERROR_SOURCE = line > 0 ? Without_Dot_Slash(fpath) : "";
  ERROR_LINE = line;
  ERROR_COL = col;
  ERROR_SCREEN_COL = screen_col;
}

void New_File() {
  System("cls");
  Print("请输入想要创建的文件的完整目录：", 1);
  std::string fpath = Read_Path();
  Print("请输入想要创建的文件名（不含扩展名）：", 1);
  std::string file = Read_Line(INPUT_NAME);
  Write("\n");
  std::string File = fpath + PATH_SEPARATOR + file + ".cpp";
  if (Isfile(File)) {
    Print("文件已存在。", 2);
    System("pause");
    return;
  }
  // The name goes through the same UTF-8 check as the existence test, so the
  // name that was checked is the name that is created. A line end that the
  // line editor let in would make a name that no later question can type.
  std::string error = !Is_Path_Text(File)                           ? "文件名不是有效的 UTF-8 文本"
                      : File.find_first_of("\r\n") != std::string::npos ? "文件名中不能有换行"
                      : Path_Status(File) == PATH_DIRECTORY          ? "这是一个目录"
                                                                     : Create_New_File(File);
  if (error.empty())
    Print("创建成功！", 2);
  else
    Print("创建失败！（" + error + "）", 2);
  System("pause");
}

void Open_File() {
  System("cls");
  Print("请输入想要打开的文件的完整目录：", 1);
  std::string fpath = Read_File_Path("cpp");
  Write("\n打开成功！请在弹出的窗口内编写代码，编写完成后保存。\n\n");
  std::string t = "notepad.exe ";
  std::vector<std::string> words;
  Put_Path(fpath, t, words);
  bool at_error = ERROR_LINE > 0 && Without_Dot_Slash(fpath) == ERROR_SOURCE;
  if (at_error) Set_Editor_Place(ERROR_LINE, ERROR_COL, ERROR_SCREEN_COL);
  System(t, words);
  Set_Editor_Place(0, 0, 0);
  System("pause");
}
