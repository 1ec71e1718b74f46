// Windows: GetLastError codes in the dialogue's words and in the system's (FormatMessageW).

#include <windows.h>

#include "platform/errors.h"
#include "platform/errors_internal.h"
#include "platform/windows_internal.h"

namespace {

// The system's own text for `err`, in UTF-8, without its line end.
std::string System_Text(DWORD err) {
  wchar_t* buf = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, err, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  std::wstring w = n ? std::wstring(buf, n) : L"error " + std::to_wstring(err);
  if (buf) LocalFree(buf);
  while (!w.empty() && (w.back() == L'\r' || w.back() == L'\n' || w.back() == L' ')) w.pop_back();
  return Narrow(w);
}

}  // namespace

std::string Error_Reason(unsigned long err) {
  switch (err) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return "文件已存在";
    case ERROR_ACCESS_DENIED: return "没有权限";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return "文件或目录不存在";
    case ERROR_DIRECTORY: return "路径中有一项不是目录";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "磁盘已满";
    case ERROR_WRITE_PROTECT: return "文件系统是只读的";
    case ERROR_FILENAME_EXCED_RANGE: return "名称太长";
    case ERROR_INVALID_NAME: return "名称中有 Windows 不允许的字符";
    case ERROR_BAD_EXE_FORMAT: return "不是可以运行的程序";
    default: return System_Text(static_cast<DWORD>(err));
  }
}

std::string Call_Error(const char* call, unsigned long err) {
  return std::string(call) + ": " + System_Text(static_cast<DWORD>(err));
}

// Windows ends a program with a status, never with a signal.
std::string Signal_Name(int sig) { return "signal " + std::to_string(sig); }

std::string Crash_Cause(unsigned long status, int) {
  switch (status) {
    case 0xC0000005UL: return std::string("可能的原因：") + ARRAY_CAUSE + "。";
    case 0xC00000FDUL:
      return "可能的原因：递归没有终止条件，或者函数里的局部数组太大（把大数组移到函数外面，作为全局变量）。";
    case 0xC0000094UL: return "可能的原因：整数除以 0 或对 0 取余（% 0），请检查除数是否可能为 0。";
    // The C runtime's abort: MSVCRT ends with 3, the UCRT fails fast.
    case 3:
      return std::string("可能的原因：如果程序没有自己 return 3 或 exit(3)，那么可能是") + ABORT_CAUSE + "。";
    case 0xC0000409UL: return std::string("可能的原因：") + ABORT_CAUSE + "，或者数组越界写坏了栈上的数据。";
    case 0xC0000135UL:
    case 0xC0000139UL:
    case 0xC000007BUL:
      return "可能的原因：找不到程序需要的 DLL 或其中的函数：在编译选项里加上 -static，或者把编译器的 bin "
             "文件夹放到 PATH 的最前面。";
    default: return "";
  }
}
