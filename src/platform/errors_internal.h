// Private to the platform layer: the one pair of texts for a system error, as
// the dialogue tells it and as a failed call reports it, and the words for what
// causes a crash.

#pragma once

#include <string>

// The reason for the system's error number `err` (errno on POSIX, a
// GetLastError code on Windows) as the dialogue tells it: in Chinese for the
// common ones, else the system's own text.
std::string Error_Reason(unsigned long err);

// A failed system call as it is reported on standard error: its name and
// the system's own text for `err` ("open: Permission denied").
std::string Call_Error(const char* call, unsigned long err);

// The causes that a crash on either platform may have, in a beginner's words.
extern const char* const ARRAY_CAUSE;
extern const char* const ABORT_CAUSE;
