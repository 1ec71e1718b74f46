// Stands in for a beginner's smallest program: writes its own peak memory
// and its parent's (ConsolePauser's, from /proc; -1 where there is none), in
// KiB, to tiny.txt. Linked statically with the C library alone, so that its
// own memory stays far below ConsolePauser's.

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

int main() {
  char path[64];
  std::snprintf(path, sizeof path, "/proc/%d/status", static_cast<int>(getppid()));
  long parent = -1;
  char line[256];
  FILE* status = std::fopen(path, "r");
  while (status && std::fgets(line, sizeof line, status) && std::sscanf(line, "VmHWM: %ld", &parent) != 1) {
  }
  if (status) std::fclose(status);
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  FILE* out = std::fopen("tiny.txt", "w");
  if (out == nullptr) return 1;
  std::fprintf(out, "%ld %ld\n", static_cast<long>(ru.ru_maxrss), parent);
  return std::fclose(out) == 0 ? 0 : 1;
}
