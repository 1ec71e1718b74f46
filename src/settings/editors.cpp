#include "console/console.h"
#include "files/files.h"
#include "settings/settings.h"

namespace {

// Shows `label` with the current value, asks with `prompt`, stores the new
// value read by `read` in `value`, and confirms.
void Edit_Setting(const std::string& label, const std::string& prompt, std::string& value,
                  std::string (*read)()) {
  System("cls");
  Print(label + value, 1);
  Print(prompt, 1);
  value = read();
  Print("设置成功！", 2);
  System("pause");
}

std::string Read_Program_Path() { return Read_File_Path("exe"); }

std::string Read_Options() { return Read_Line(INPUT_OPTIONS); }

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
