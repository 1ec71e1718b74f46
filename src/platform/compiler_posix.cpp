// POSIX: a compiler takes paths as they are, in UTF-8 like the terminal.

#include "platform/compiler.h"

#include "platform/commands.h"
#include "platform/programs.h"

void Begin_Compile(const std::string& compiler, const std::string& source,
                   const std::string& program, std::string& compiler_arg, std::string& source_arg,
                   std::string& program_arg) {
  compiler_arg = compiler;
  source_arg = source;
  program_arg = program;
}

bool End_Compile(bool compiled) { return compiled; }

std::string Unreadable_Characters() { return ""; }

std::string Unreadable_Compiler_Characters() { return ""; }

bool Compiler_Shows_Chinese() { return true; }

std::string Compile_Messages() { return Captured_Errors(); }
