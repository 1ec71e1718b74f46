// The new and open source file screens.

#include <string>
#include <vector>

#include "console/console.h"
#include "files/files.h"
#include "platform/text.h"

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
  System(t, words);
  System("pause");
}
