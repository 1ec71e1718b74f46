// The words for a Windows exception status, the same on every platform
// (ConsolePauser reports them wherever it runs).

#include "platform/errors.h"
#include "platform/errors_internal.h"

#include <cstdio>

std::string Exception_Text(unsigned long status) {
  // Only NTSTATUS errors are crashes; any other status is what the program
  // returned, -1 (0xFFFFFFFF) among them.
  if (status < 0xC0000000UL || status > 0xCFFFFFFFUL) return "";
  static const struct {
    unsigned long code;
    const char* text;
  } known[] = {{0xC0000005UL, "访问冲突"},           {0xC00000FDUL, "栈溢出"},
               {0xC0000094UL, "整数除以零"},         {0xC000013AUL, "被 Ctrl+C 中断"},
               {0xC0000409UL, "栈缓冲区溢出或程序中止"}, {0xC000001DUL, "非法指令"},
               {0xC0000135UL, "找不到所需的 DLL"},   {0xC0000142UL, "DLL 初始化失败"},
               {0xC0000374UL, "堆损坏"}};
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08lX", status);
  for (const auto& k : known)
    if (k.code == status) return std::string(hex) + "（" + k.text + "）";
  return hex;
}

const char* const ARRAY_CAUSE =
    "数组下标越界、使用了空指针或已经释放的指针，或者读写超出了 string 或 vector 的末尾";
const char* const ABORT_CAUSE =
    "有异常没有被捕获（例如 .at() 越界时抛出的 std::out_of_range），或者 assert 的条件不成立";
