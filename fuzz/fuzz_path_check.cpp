// Checks arbitrary bytes as typed paths in a scratch directory: the checks
// never crash, what they accept is what they promise, and a line that names
// something is never read as anything else.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "console/console.h"
#include "files/files.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace {

std::istringstream* INPUT = nullptr;

bool Stream_Line(std::string& s, Input_Kind) { return static_cast<bool>(std::getline(*INPUT, s)); }

void No_Sleep(long, long) {}

// A scratch directory with a few files and directories to find.
void Make_Scratch() {
  fs::path dir = fs::temp_directory_path() / ("tivex-fuzz-paths-" + std::to_string(getpid()));
  fs::create_directories(dir / "dir.cpp");
  fs::create_directories(dir / "a.b");
  for (const char* name : {"a.cpp", "X.CPP", ".cpp", "noext", "a.b/main", "程序.cpp", "tool"})
    std::ofstream(dir / name).put('x');
  fs::permissions(dir / "tool", fs::perms::owner_exec, fs::perm_options::add);
  fs::current_path(dir);
}

// Reads `line` with `read`, with a line that must pass after it; returns what
// was accepted.
std::string Read_With(std::string (*read)(), const std::string& line, const std::string& good) {
  std::istringstream in(line + "\n" + good + "\n");
  INPUT = &in;
  std::ostringstream out;
  std::streambuf* old = std::cout.rdbuf(out.rdbuf());
  std::string accepted = read();
  std::cout.rdbuf(old);
  return accepted;
}

std::string Read_Cpp() { return Read_File_Path("cpp"); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = (Make_Scratch(), true);
  (void)ready;
  READ_LINE_HOOK = Stream_Line;
  SLEEP_HOOK = No_Sleep;
  std::string line(reinterpret_cast<const char*>(data), size);
  Path_Verdict cpp = Check_File_Path(line, "cpp");
  if (cpp == PATH_OK && (!Isfile(line) || Lowered_Extension(line) != "cpp")) std::abort();
  if ((Path_Status(line) == PATH_MISSING) != (cpp == PATH_INVALID)) std::abort();
  Check_File_Path(line, "exe");
  // A line with a line end in it is two lines to the readers.
  if (line.find('\n') != std::string::npos) return 0;
  // A line that names something is taken as it stands; one that does not
  // may be taken as it was meant (pasted in quotes, under ~/).
  std::string meant = Meant_Path(line);
  if (Path_Status(line) != PATH_MISSING && meant != line) std::abort();
  std::string accepted = Read_With(Read_Cpp, line, "a.cpp");
  if (accepted != (Check_File_Path(meant, "cpp") == PATH_OK ? meant : "a.cpp")) std::abort();
  accepted = Read_With(Read_Path, line, ".");
  if (accepted != (Path_Status(meant) != PATH_MISSING ? meant : ".")) std::abort();
  return 0;
}
