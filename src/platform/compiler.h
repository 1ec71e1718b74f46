// A compile as the compiler can take it: paths that it can read, its messages
// shown in the code page that it writes, and the characters that cannot reach
// it.

#pragma once

#include <string>

// Begins the compile of `source` into `program` by the compiler at
// `compiler`, and sets the paths to start it by and to hand it. On Windows a compiler that reads
// its arguments and writes its messages in the ANSI code page (one without
// the UTF-8 manifest of GCC 13 and later) is started by, and gets, the short
// (8.3) form of a path with characters outside that code page, where the
// volume keeps one, since it finds its own programs by its path; a
// program whose name is outside it is written under a name of ASCII letters
// in its folder and moved into place by End_Compile; meanwhile the console
// shows what the compiler writes in that code page. Elsewhere, and for a
// UTF-8 compiler, the paths are handed over as they are.
void Begin_Compile(const std::string& compiler, const std::string& source,
                   const std::string& program, std::string& compiler_arg, std::string& source_arg,
                   std::string& program_arg);

// Ends the compile begun last, which succeeded when `compiled`: gives the
// console its code page back and moves the program into place. False when
// the compile failed or the program could not be moved (its old file stays).
bool End_Compile(bool compiled);

// The characters of the paths handed to the last compile that its compiler
// cannot read, each once; "" when it reads them all.
std::string Unreadable_Characters();

// Likewise for the path that the last compile's compiler was started by.
std::string Unreadable_Compiler_Characters();

// Whether the compiler of the compile begun last can show Chinese messages:
// a UTF-8 compiler, or an ANSI one whose code page holds Chinese.
bool Compiler_Shows_Chinese();

// What the compiler of the last compile wrote on its standard error, in
// UTF-8 (an ANSI compiler's code page converted).
std::string Compile_Messages();
