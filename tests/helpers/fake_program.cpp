// Stands in for a user's compiled program, an editor or ConsolePauser: says
// that it ran, with its arguments, on standard output and in program_ran.txt
// in the working directory (a program started in a window of its own is seen
// there), leaves its PATH in program_path.txt, and ends as status.txt says
// (0 when there is none): "N" ends with status N, "sleep N" sleeps 0.4 s
// first, "crash" writes through a null pointer, "loop" runs for a minute,
// "raw" leaves its terminal raw, silent and non-blocking (POSIX), "hex"
// reads a line and writes its bytes in hexadecimal.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

// What a careless full-screen program leaves behind.
void Leave_Terminal_Raw() {
  termios t;
  if (tcgetattr(0, &t) == 0) {
    cfmakeraw(&t);
    tcsetattr(0, TCSANOW, &t);
  }
  fcntl(0, F_SETFL, fcntl(0, F_GETFL) | O_NONBLOCK);
}
#else
void Leave_Terminal_Raw() {}
#endif

int main(int argc, char** argv) {
  std::string line = "fake_program ran";
  for (int i = 1; i < argc; i++) line += std::string(" [") + argv[i] + "]";
  std::printf("%s\n", line.c_str());
  std::ofstream("program_ran.txt", std::ios::binary | std::ios::app) << line << "\n";
  const char* path = std::getenv("PATH");
  std::ofstream("program_path.txt", std::ios::binary) << (path ? path : "");
  std::ifstream in("status.txt");
  std::string word;
  in >> word;
  // Read through a volatile pointer, so the compiler cannot see that it is null.
  static volatile int* volatile null_pointer = nullptr;
  if (word == "crash") *null_pointer = 1;
  if (word == "sleep") std::this_thread::sleep_for(std::chrono::milliseconds(400));
  if (word == "loop") std::this_thread::sleep_for(std::chrono::seconds(60));
  if (word == "raw") Leave_Terminal_Raw();
  if (word == "hex") {
    std::string typed;
    std::getline(std::cin, typed);
    for (unsigned char c : typed) std::printf("%02x ", c);
    std::printf("(%d bytes)\n", static_cast<int>(typed.size()));
  }
  int status = 0;
  if (word != "sleep")
    status = std::atoi(word.c_str());
  else
    in >> status;
  return status;
}
