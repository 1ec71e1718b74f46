// POSIX: this test program's own fsync and rename, which every call of the
// code under test passes through on its way to the C library's; each call is
// recorded in FILE_CALLS, with what it synced, so that a test sees what
// reached the system rather than what the code meant to do.

#include <dlfcn.h>
#include <sys/stat.h>

#include <string>

#include "platform/test_seams.h"

extern "C" int fsync(int fd) {
  static auto* next = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
  struct stat st;
  if (fstat(fd, &st) == 0) {
    std::string size = std::to_string(st.st_size);
    FILE_CALLS.push_back(S_ISDIR(st.st_mode) ? "fsync directory"
                                             : "fsync file of " + size + " bytes");
  }
  return next(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept {
  using Rename = int (*)(const char*, const char*);
  static auto* next = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
  FILE_CALLS.push_back("rename");
  return next(from, to);
}
