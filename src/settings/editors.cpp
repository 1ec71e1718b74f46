// The three settings editors: each shows its setting and reads a new value.

#include "console/console.h"
#include "files/files.h"
#include "platform/text.h"
#include "settings/settings.h"

namespace {

// Shows `label` with the current value, asks with `prompt`, stores the new
// value read by `read` in `value`, and confirms.
void Edit_Setting(const std::string& label, const std::string& prompt, std::string& value,
                  std::string (*read)()) {
  System("cls");
  // A settings file that someone else wrote may hold controls.
  Print(label + Visible(value), 1);
  Print(prompt, 1);
  value = read();
  Print("设置成功！", 2);
  System("pause");
}

std::string Read_Program_Path() { return Read_File_Path("exe"); }

// The line editor can put a line end into an answer (Ctrl-V Ctrl-J), which
// would split the settings file's last line; a line longer than the settings
// file takes would make the file unreadable at the next start.
std::string Read_Options() {
  while (true) {
    std::string ans = Read_Line(INPUT_OPTIONS);
    if (ans.size() > LONGEST_LINE)
      Print("编译选项太长（最多 64 KiB），请重新输入。", 1);
    else if (ans.find_first_of("\r\n") != std::string::npos)
      Print("编译选项中不能有换行，请重新输入。", 1);
    else if (ans.find('\x1A') != std::string::npos)  // Ctrl+Z, typed to undo
      Print("编译选项中不能有 Ctrl+Z，请重新输入。", 1);
    else
      return ans;
  }
}

}  // namespace

void Set_COM_Path() {
  Edit_Setting("当前编译器路径：", "请输入新编译器路径：", COM_PATH, Read_Program_Path);
}

void Set_CON_Path() {
  Edit_Setting("当前 ConsolePauser 路径：", "请输入新 ConsolePauser 路径：", CON_PATH,
               Read_Program_Path);
}

void Set_COM_Settings() {
  Edit_Setting("当前编译选项：", "请输入新编译选项：", COM_SETTINGS, Read_Options);
}
