// Stands in for g++ in the dialogue tests: records its arguments in
// compiler_args.txt in the working directory, one a line, fails for a source
// whose name holds "bad", and otherwise "compiles" by copying fake_program,
// which lies beside it, to the file named after -o.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace fs = std::filesystem;

namespace {

fs::path U8(const std::string& s) { return fs::path(std::u8string(s.begin(), s.end())); }

// The arguments in UTF-8. Windows hands narrow argv over in the ANSI code
// page, which cannot hold every name, so there they come from the wide
// command line.
std::vector<std::string> Arguments(int argc, char** argv) {
#ifdef _WIN32
  (void)argc, (void)argv;
  int n = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
  std::vector<std::string> args;
  for (int i = 0; i < n; i++) {
    std::u8string u = fs::path(wide[i]).u8string();
    args.emplace_back(u.begin(), u.end());
  }
  LocalFree(wide);
  return args;
#else
  return std::vector<std::string>(argv, argv + argc);
#endif
}

}  // namespace

int main(int raw_argc, char** raw_argv) {
  std::vector<std::string> argv = Arguments(raw_argc, raw_argv);
  int argc = static_cast<int>(argv.size());
  std::ofstream log("compiler_args.txt", std::ios::binary | std::ios::app);
  std::string output;
  for (int i = 1; i < argc; i++) {
    log << argv[i] << "\n";
    if (argv[i] == "-o" && i + 1 < argc) output = argv[i + 1];
  }
  std::string source = argc > 1 ? argv[argc - 1] : "";
  if (source.find("bad") != std::string::npos || output.empty()) {
    std::printf("fake_compiler: error\n");
    return 1;
  }
  fs::path self = U8(argv[0]);
  fs::path program = self.parent_path() / ("fake_program" + self.extension().string());
  std::error_code ec;
  // MinGW's copy_file cannot overwrite, so the old output goes first.
  fs::remove(U8(output), ec);
  fs::copy_file(program, U8(output), ec);
  if (ec) {
    std::printf("fake_compiler: cannot write the output: %s\n", ec.message().c_str());
    return 1;
  }
  std::printf("fake_compiler: ok\n");
  return 0;
}
