// The words for how a program ended: a signal's name, a Windows exception status.

#pragma once

#include <string>

// The name of signal `sig` in Chinese for the common ones ("段错误"), else
// the system's.
std::string Signal_Name(int sig);

// The hexadecimal code and a short Chinese description of a Windows
// exception status (an NTSTATUS error, 0xC0000000 to 0xCFFFFFFF, such as
// 0xC0000005), or "" for any other status, which the program returned.
std::string Exception_Text(unsigned long status);

// What probably made a program end so, as one line for a beginner that
// begins "可能的原因：", from the signal `sig` that ended it (POSIX) or its
// status `status` (Windows); "" when there is nothing to say.
std::string Crash_Cause(unsigned long status, int sig);
