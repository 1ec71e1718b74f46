// Stands in for a user's compiled program: says that it ran, with its
// arguments, and ends with the status named by a file "status.txt" in the
// working directory (0 when there is none).

#include <cstdio>
#include <fstream>

int main(int argc, char** argv) {
  std::printf("fake_program ran");
  for (int i = 1; i < argc; i++) std::printf(" [%s]", argv[i]);
  std::printf("\n");
  int status = 0;
  std::ifstream in("status.txt");
  in >> status;
  return status;
}
