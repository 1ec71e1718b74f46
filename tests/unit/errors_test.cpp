// The words for errors, signals and Windows exception statuses.

#include <gtest/gtest.h>

#include <string>

#include "platform/errors.h"
#include "platform/errors_internal.h"

TEST(ExceptionText, WellKnownCrashesHaveWordsAndOnlyNtstatusErrorsAreCrashes) {
  const std::pair<unsigned long, std::string> rows[] = {
      {0xC0000005UL, "0xC0000005（访问冲突）"},
      {0xC00000FDUL, "0xC00000FD（栈溢出）"},
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

TEST(ErrorReason, WellKnownErrorsInChineseAndTheRestInTheSystemsWords) {
  const std::pair<unsigned long, std::string> rows[] = {
      {ERROR_ACCESS_DENIED, "没有权限"}, {ERROR_FILE_NOT_FOUND, "文件或目录不存在"},
      {ERROR_DISK_FULL, "磁盘已满"}};
  for (const auto& [err, text] : rows) EXPECT_EQ(Error_Reason(err), text) << err;
  EXPECT_FALSE(Error_Reason(ERROR_NOT_ENOUGH_MEMORY).empty());
}
#else
#include <cerrno>
#include <csignal>
#include <cstring>

TEST(ErrorReason, WellKnownErrorsInChineseAndTheRestInTheSystemsWords) {
  const std::pair<int, std::string> rows[] = {
      {EACCES, "没有权限"}, {ENOENT, "文件或目录不存在"}, {ENOSPC, "磁盘已满"},
      {EIO, std::strerror(EIO)}};
  for (const auto& [err, text] : rows) EXPECT_EQ(Error_Reason(err), text) << err;
}

TEST(SignalName, WellKnownSignalsInChineseAndTheRestInTheSystemsWords) {
  const std::pair<int, std::string> rows[] = {
      {SIGSEGV, "段错误"}, {SIGINT, "被 Ctrl-C 中断"}, {SIGUSR1, strsignal(SIGUSR1)}};
  for (const auto& [sig, text] : rows) EXPECT_EQ(Signal_Name(sig), text) << sig;
}
#endif
