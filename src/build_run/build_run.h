// Compiling a source file with the configured compiler and starting the
// program, through ConsolePauser or directly.

#pragma once

#include <string>
#include <vector>

// The program's path for the source `fpath`: its last four bytes (".cpp" in
// any case) replaced by the platform's executable suffix.
std::string Exe_Path(const std::string& fpath);

// Each command sets `t`, its line for the command interpreter, and `words`,
// what the line names (see Put_Path and Put_Text).

// The compile command by the compiler at `compiler` (COM_PATH, or a form
// of it that the compiler can read) with the current options. Its words: the
// compiler, the options split as a Windows program splits its command line,
// -g, -o, the program and the source.
void Compile_Command(const std::string& compiler, const std::string& fpath,
                     const std::string& epath, std::string& t, std::vector<std::string>& words);

// The launch command through the ConsolePauser at `pauser`. Its words: an
// empty title, ConsolePauser and the program.
void Pauser_Launch_Command(const std::string& pauser, const std::string& epath, std::string& t,
                           std::vector<std::string>& words);

// The launch command that starts the program directly, titled with its
// source. Its words: the source and the program.
void Direct_Launch_Command(const std::string& fpath, const std::string& epath, std::string& t,
                           std::vector<std::string>& words);

// Main-menu choice 2: asks for a source, compiles it when needed or wanted,
// and starts the program when wanted.
void Run();
