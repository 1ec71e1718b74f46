#pragma once

// Compiling a source file with the configured compiler and starting the
// program, through ConsolePauser or directly.

#include <string>
#include <vector>

// The program's path for the source `fpath`: its last four bytes (".cpp" in
// any case) replaced by the platform's executable suffix.
std::string Exe_Path(const std::string& fpath);

// The compile command for the current settings.
std::string Compile_Command(const std::string& fpath, const std::string& epath);

// The words of the compile command: the compiler, the options split as a
// Windows program splits its command line, -g, -o, the program, the source.
std::vector<std::string> Compile_Words(const std::string& fpath, const std::string& epath);

// The launch command through ConsolePauser at CON_PATH.
std::string Pauser_Launch_Command(const std::string& epath);

// The launch command that starts the program directly, titled with its source.
std::string Direct_Launch_Command(const std::string& fpath, const std::string& epath);

// Main-menu choice 2: asks for a source, compiles it when needed or wanted,
// and starts the program when wanted.
void Run();
