// Stands in for g++ in the dialogue tests: records its arguments in
// compiler_args.txt in the working directory, one a line, its PATH in
// compiler_path.txt, its LANGUAGE in compiler_language.txt and its console's
// output code page in compiler_cp.txt; fails for a source whose name holds
// "bad", crashes for one whose name holds "crash", and otherwise "compiles"
// by copying fake_program, which lies beside it, to the file named after -o.
// Built as ansi_compiler (Windows) it stands in for a compiler before GCC 13:
// it takes its arguments in the ANSI code page, opens the source through the
// ANSI calls and writes its name back; fake_compiler takes them in UTF-8, as
// a compiler with a UTF-8 manifest does.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/programs.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

#ifdef ANSI_COMPILER
fs::path U8(const std::string& s) { return fs::path(s); }
#else
fs::path U8(const std::string& s) { return fs::path(std::u8string(s.begin(), s.end())); }
#endif

unsigned Output_Code_Page() {
#ifdef _WIN32
  return GetConsoleOutputCP();
#else
  return 0;
#endif
}

}  // namespace

int main(int raw_argc, char** raw_argv) {
#ifdef ANSI_COMPILER
  std::vector<std::string> argv(raw_argv, raw_argv + raw_argc);
#else
  // In UTF-8 whatever the ANSI code page, as tivex itself reads them.
  std::vector<std::string> argv = Program_Arguments(raw_argc, raw_argv);
#endif
  int argc = static_cast<int>(argv.size());
  std::ofstream log("compiler_args.txt", std::ios::binary | std::ios::app);
  std::string output;
  for (int i = 1; i < argc; i++) {
    log << argv[i] << "\n";
    if (argv[i] == "-o" && i + 1 < argc) output = argv[i + 1];
  }
  const char* path = std::getenv("PATH");
  std::ofstream("compiler_path.txt", std::ios::binary) << (path ? path : "");
  const char* language = std::getenv("LANGUAGE");
  std::ofstream("compiler_language.txt", std::ios::binary) << (language ? language : "");
  std::ofstream("compiler_cp.txt") << Output_Code_Page();
  std::string source = argc > 1 ? argv[argc - 1] : "";
#ifdef ANSI_COMPILER
  // g++ before 13 finds cc1plus beside itself by the path it was started by,
  // in the ANSI code page (Wine names a program by its long path whatever
  // it was started by, so the command line stands for that here).
  FILE* own = std::fopen(argv[0].c_str(), "rb");
  if (!own) {
    std::printf("fake_compiler: cannot execute 'cc1plus'\n");
    return 1;
  }
  std::fclose(own);
  FILE* opened = std::fopen(source.c_str(), "rb");
  // Bytes as they are, as a C runtime writes them to a console on Windows
  // (Wine's would convert them).
  std::string said = std::string("fake_compiler: ") + (opened ? "compiling " : "cannot open ") +
                     source + "\r\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), said.data(), static_cast<DWORD>(said.size()), &written,
            nullptr);
  if (!opened) return 1;
  std::fclose(opened);
#endif
  if (source.find("crash") != std::string::npos) std::abort();
  if (source.find("bad") != std::string::npos || output.empty()) {
    std::ifstream diagnostics("diagnostics.txt", std::ios::binary);
    std::fputs(std::string(std::istreambuf_iterator<char>(diagnostics), {}).c_str(), stderr);
    std::printf("fake_compiler: error\n");
    return 1;
  }
  fs::path self = U8(argv[0]);
  fs::path program = self.parent_path() / ("fake_program" + self.extension().string());
  std::error_code ec;
#ifdef ANSI_COMPILER
  // Through the ANSI calls, as a compiler before GCC 13 writes its program;
  // its own folder's name is in the ANSI code page too.
  std::string beside = argv[0].substr(0, argv[0].find_last_of("\\/") + 1) + "fake_program.exe";
  FILE* from = std::fopen(beside.c_str(), "rb");
  FILE* to = std::fopen(output.c_str(), "wb");
  for (int c; from && to && (c = std::fgetc(from)) != EOF;) std::fputc(c, to);
  if (!from || !to) ec = std::make_error_code(std::errc::no_such_file_or_directory);
  if (from) std::fclose(from);
  if (to) std::fclose(to);
#else
  // MinGW's copy_file cannot overwrite, so the old output goes first.
  fs::remove(U8(output), ec);
  fs::copy_file(program, U8(output), ec);
#endif
  if (ec) {
    std::printf("fake_compiler: cannot write the output: %s\n", ec.message().c_str());
    return 1;
  }
  std::printf("fake_compiler: ok\n");
  return 0;
}
