// Stands in for a user's compiled program, an editor or ConsolePauser: says
// that it ran, with its arguments, on standard output and in program_ran.txt
// in the working directory (a program started in a window of its own is seen
// there), leaves its PATH in program_path.txt, and ends with the status named by status.txt (0 when there is none).

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  std::string line = "fake_program ran";
  for (int i = 1; i < argc; i++) line += std::string(" [") + argv[i] + "]";
  std::printf("%s\n", line.c_str());
  std::ofstream("program_ran.txt", std::ios::binary | std::ios::app) << line << "\n";
  const char* path = std::getenv("PATH");
  std::ofstream("program_path.txt", std::ios::binary) << (path ? path : "");
  int status = 0;
  std::ifstream in("status.txt");
  in >> status;
  return status;
}
