// The words for errors, signals and Windows exception statuses.

#include <gtest/gtest.h>

#include <string>

#include "platform/errors.h"
#include "platform/errors_internal.h"

TEST(ExceptionText, EveryNamedCrashHasItsWordsAndOnlyNtstatusErrorsAreCrashes) {
  const std::pair<unsigned long, std::string> rows[] = {
      {0xC0000005UL, "0xC0000005（访问冲突）"},
      {0xC00000FDUL, "0xC00000FD（栈溢出）"},
      {0xC0000094UL, "0xC0000094（整数除以零）"},
      {0xC000013AUL, "0xC000013A（被 Ctrl+C 中断）"},
      {0xC0000409UL, "0xC0000409（栈缓冲区溢出或程序中止）"},
      {0xC000001DUL, "0xC000001D（非法指令）"},
      {0xC0000135UL, "0xC0000135（找不到所需的 DLL）"},
      {0xC0000142UL, "0xC0000142（DLL 初始化失败）"},
      {0xC0000374UL, "0xC0000374（堆损坏）"},
      {0xC0000000UL, "0xC0000000"},
      {0xC0000001UL, "0xC0000001"},
      {0xCFFFFFFFUL, "0xCFFFFFFF"},
      {0, ""},
      {255, ""},
      {0x7FFFFFFFUL, ""},
      {0xBFFFFFFFUL, ""},
      {0xD0000000UL, ""},
      {0xFFFFFFFEUL, ""},
      {0xFFFFFFFFUL, ""}};  // return -1;
  for (const auto& [status, text] : rows) EXPECT_EQ(Exception_Text(status), text) << status;
}

#ifdef _WIN32
#include <windows.h>

TEST(ErrorReason, EveryCommonErrorInChineseAndTheRestInTheSystemsWords) {
  const std::pair<unsigned long, std::string> rows[] = {
      {ERROR_FILE_EXISTS, "文件已存在"},          {ERROR_ALREADY_EXISTS, "文件已存在"},
      {ERROR_ACCESS_DENIED, "没有权限"},          {ERROR_FILE_NOT_FOUND, "文件或目录不存在"},
      {ERROR_PATH_NOT_FOUND, "文件或目录不存在"}, {ERROR_DIRECTORY, "路径中有一项不是目录"},
      {ERROR_DISK_FULL, "磁盘已满"},              {ERROR_HANDLE_DISK_FULL, "磁盘已满"},
      {ERROR_WRITE_PROTECT, "文件系统是只读的"},  {ERROR_FILENAME_EXCED_RANGE, "名称太长"},
      {ERROR_INVALID_NAME, "名称中有 Windows 不允许的字符"},
      {ERROR_BAD_EXE_FORMAT, "不是可以运行的程序"}};
  for (const auto& [err, text] : rows) EXPECT_EQ(Error_Reason(err), text) << err;
  EXPECT_FALSE(Error_Reason(ERROR_NOT_ENOUGH_MEMORY).empty());
}
#else
#include <cerrno>
#include <csignal>
#include <cstring>

TEST(ErrorReason, EveryCommonErrorInChineseAndTheRestInTheSystemsWords) {
  const std::pair<int, std::string> rows[] = {
      {EEXIST, "文件已存在"},          {EACCES, "没有权限"},
      {EPERM, "没有权限"},             {ENOENT, "文件或目录不存在"},
      {ENOTDIR, "路径中有一项不是目录"}, {EISDIR, "这是一个目录"},
      {ENOSPC, "磁盘已满"},            {EDQUOT, "磁盘已满"},
      {EROFS, "文件系统是只读的"},     {ENAMETOOLONG, "名称太长"},
      {ENOEXEC, "不是可以运行的程序"}, {EIO, std::strerror(EIO)}};
  for (const auto& [err, text] : rows) EXPECT_EQ(Error_Reason(err), text) << err;
}

TEST(SignalName, EveryCommonSignalInChineseAndTheRestInTheSystemsWords) {
  const std::pair<int, std::string> rows[] = {
      {SIGSEGV, "段错误"},   {SIGABRT, "程序中止"},    {SIGFPE, "算术错误，例如整数除以零"},
      {SIGINT, "被 Ctrl-C 中断"}, {SIGQUIT, "被 Ctrl-\\ 退出"}, {SIGKILL, "被强制结束"},
      {SIGTERM, "被要求结束"}, {SIGBUS, "总线错误"},    {SIGILL, "非法指令"},
      {SIGPIPE, "管道已断开"}, {SIGUSR1, strsignal(SIGUSR1)}};
  for (const auto& [sig, text] : rows) EXPECT_EQ(Signal_Name(sig), text) << sig;
}
#endif
