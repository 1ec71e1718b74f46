// Seams through which tests make the save of a file fail at a chosen step and
// see which system calls it made on Windows.

#pragma once

#include <string>
#include <vector>

// When it names a step of Write_Temp_Beside or Replace_File ("create",
// "write", "flush" or "rename"), that step fails as if the system had
// refused it; a "write" fails after half the data.
extern std::string FAULT_STEP;

// On Windows, the system calls of those two operations that succeeded, in
// order, by name ("CreateFileW", "WriteFile", ...).
extern std::vector<std::string> FILE_CALLS;
