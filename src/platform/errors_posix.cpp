// POSIX: errno values and signals in the dialogue's words and in the system's.

#include <signal.h>

#include <cerrno>
#include <cstring>

#include "platform/errors.h"
#include "platform/errors_internal.h"

std::string Error_Reason(unsigned long err) {
  switch (err) {
    case EEXIST: return "文件已存在";
    case EACCES:
    case EPERM: return "没有权限";
    case ENOENT: return "文件或目录不存在";
    case ENOTDIR: return "路径中有一项不是目录";
    case EISDIR: return "这是一个目录";
    case ENOSPC:
    case EDQUOT: return "磁盘已满";
    case EROFS: return "文件系统是只读的";
    case ENAMETOOLONG: return "名称太长";
    case ENOEXEC: return "不是可以运行的程序";
    default: return std::strerror(static_cast<int>(err));
  }
}

std::string Call_Error(const char* call, unsigned long err) {
  return std::string(call) + ": " + std::strerror(static_cast<int>(err));
}

std::string Signal_Name(int sig) {
  switch (sig) {
    case SIGSEGV: return "段错误";
    case SIGABRT: return "程序中止";
    case SIGFPE: return "算术错误，例如整数除以零";
    case SIGINT: return "被 Ctrl-C 中断";
    case SIGQUIT: return "被 Ctrl-\\ 退出";
    case SIGKILL: return "被强制结束";
    case SIGTERM: return "被要求结束";
    case SIGBUS: return "总线错误";
    case SIGILL: return "非法指令";
    case SIGPIPE: return "管道已断开";
    default: break;
  }
  const char* name = strsignal(sig);
  return name ? name : "signal " + std::to_string(sig);
}

std::string Crash_Cause(unsigned long, int sig) {
  switch (sig) {
    case SIGSEGV:
    case SIGBUS:
      // Whether the fault lay in the stack, the parent cannot tell.
      return std::string("可能的原因：") + ARRAY_CAUSE +
             "；也可能是递归没有终止，或者函数里的局部数组太大（栈溢出）。";
    case SIGFPE: return "可能的原因：整数除以 0 或对 0 取余（% 0），请检查除数是否可能为 0。";
    case SIGABRT: return std::string("可能的原因：") + ABORT_CAUSE + "。";
    case SIGKILL: return "可能的原因：系统的内存用完了（程序用了太多内存），或者程序被别人结束了。";
    default: return "";
  }
}
