// The entry point's work: the program's own arguments, the main loop, the menu
// pages, the sub-menu loops and the about screen.

#include "app/app.h"

#include <iostream>
#include <string>
#include <unordered_set>

#include "app/about.h"
#include "build_run/build_run.h"
#include "console/console.h"
#include "files/files.h"
#include "platform/console.h"
#include "platform/programs.h"
#include "platform/text.h"
#include "settings/settings.h"

namespace {

// The header, centred over the rule by `spaces`, and the rule, at once.
void Page_Head(int spaces, const std::string& header) {
  Write(std::string(spaces, ' '));
  Write(header);
  Write("\n");
  Write(std::string(100, '-'));
  Write("\n");
}

const char* const USAGE =
    "Tivex C++ IDE：" ABOUT_DESCRIPTION "\n"
    "\n"
    "用法：tivex            启动 Tivex，按菜单新建、编辑、编译和运行 C++ 程序\n"
    "      tivex --help     显示本说明\n"
    "      tivex --version  显示版本\n"
    "\n"
    "Tivex 把设置保存在当前工作目录下的 yolvar_data.qd 中，请在你的工作目录里启动它。\n"
    "详细说明：安装后见 share/doc/tivex/README.md.gz（用 zless 阅读），Windows 压缩包中见 tivex.exe 旁边的 README.txt。\n";

const char* const NOT_UTF8_TERMINAL =
    "This terminal's locale is not UTF-8, so Tivex's Chinese text is garbled: set LANG to a "
    "UTF-8 locale (zh_CN.UTF-8 or C.UTF-8) and start Tivex again.\n"
    "终端的区域设置（locale）不是 UTF-8，中文会显示成乱码：请把 LANG 设为 UTF-8 的区域设置"
    "（zh_CN.UTF-8 或 C.UTF-8）后重新启动 Tivex。";

// Writes `text` to standard output; 0, or 1 when it could not be written
// (a full disk, a closed standard output).
int Answer(const std::string& text) {
  std::cout << text;
  std::cout.flush();
  if (std::cout) return 0;
  std::cerr << "tivex: cannot write to standard output" << std::endl;
  return 1;
}

// The first argument that is not understood: one that is no option of ours,
// else the one too many.
const std::string& Unknown_Argument(const std::vector<std::string>& args) {
  for (size_t i = 1; i < args.size(); i++)
    if (args[i] != "--help" && args[i] != "--version") return args[i];
  return args[2];
}

// Answers the program's own arguments; -1 when there are none and the
// dialogue is to start, else the exit status.
int Answer_Arguments(const std::vector<std::string>& args) {
  if (args.size() <= 1) return -1;
  if (args.size() == 2 && args[1] == "--help") return Answer(USAGE);
  if (args.size() == 2 && args[1] == "--version") return Answer("tivex " TIVEX_VERSION "\n");
  std::cerr << "tivex: 不认识的参数“" << Visible(Unknown_Argument(args))
            << "”，用 tivex --help 查看用法。" << std::endl;
  return 2;
}

}  // namespace

int Main_Page() {
  Page_Head(43, "Tivex C++ IDE");
  Print("1. 编辑 C++ 文件", 1);
  Print("2. 运行 C++ 程序", 1);
  Print("3. 设置", 1);
  Print("4. 保存信息并退出", 2);
  return Read_Pint({1, 2, 3, 4});
}

int Edit_Page() {
  Page_Head(35, "Tivex C++ IDE -- 编辑 C++ 文件");
  Print("1. 新建 C++ 文件", 1);
  Print("2. 打开已有 C++ 文件", 1);
  Print("3. 返回", 2);
  return Read_Pint({1, 2, 3});
}

int Settings_Page() {
  Page_Head(39, "Tivex C++ IDE -- 设置");
  Print("1. 修改编译器（g++.exe）路径", 1);
  Print("2. 修改 ConsolePauser 路径", 1);
  Print("3. 修改编译选项", 1);
  Print("4. 程序信息", 1);
  Print("5. 返回", 2);
  return Read_Pint({1, 2, 3, 4, 5});
}

void Edit() {
  while (true) {
    System("cls");
    int op = Edit_Page();
    if (op == 1) New_File();
    if (op == 2) Open_File();
    if (op == 3) return;
  }
}

void Settings() {
  while (true) {
    System("cls");
    int op = Settings_Page();
    if (op == 1) Set_COM_Path();
    if (op == 2) Set_CON_Path();
    if (op == 3) Set_COM_Settings();
    if (op == 4) Print_Message();
    if (op == 5) return;
  }
}

void Print_Message() {
  System("cls");
  Print("作者：" ABOUT_AUTHOR "（" ABOUT_LINK "）", 1);
  Print("介绍：" ABOUT_DESCRIPTION, 1);
  Print("版本：" ABOUT_VERSION, 1);
  Print("发布时间：" ABOUT_DATE, 2);
  System("pause");
}

int Tivex_Main(const std::vector<std::string>& args) {
  Become_Window_Program(args);
  int answered = Answer_Arguments(args);
  if (answered >= 0) return answered;
  Init();
  // Started from inside a zip, it would keep its settings in a folder that
  // the file manager removes, and ConsolePauser is not beside it.
  bool zipped = Is_Archive_Preview(Own_Directory()) || Runs_From_Temporary_Folder();
  // Said once, in English too: in such a terminal the Chinese is garbled.
  bool garbled = !Terminal_Shows_Utf8();
  while (true) {
    System("cls");
    if (zipped) Print("Tivex 正在压缩包里运行：请先把压缩包全部解压到一个文件夹，再从那里启动它。", 1);
    if (garbled) Print(NOT_UTF8_TERMINAL, 1);
    garbled = false;
    int op = Main_Page();
    if (op == 1) Edit();
    if (op == 2) Run();
    if (op == 3) Settings();
    if (op == 4) break;
  }
  System("cls");
  bool saved = Save_Settings();
  if (!saved) Print("保存设置失败！", 1);
  Print("将在 3s 内退出……", 1);
  Wait(2.5);
  return saved ? 0 : 1;
}
