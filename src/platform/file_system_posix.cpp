// POSIX: the file system through POSIX calls (stat, open, fsync, rename, readlink).

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/console_posix.h"
#include "platform/errors_internal.h"
#include "platform/file_system.h"
#include "platform/file_system_internal.h"
#include "platform/test_seams.h"
#include "platform/text.h"
#include "platform/text_internal.h"

namespace {

// Writes all of `data` to `fd` and flushes it to disk; "" or what failed.
std::string Write_And_Sync(int fd, const std::string& data) {
  size_t size = Fault_At("write") ? data.size() / 2 : data.size();
  for (size_t done = 0; done < size;) {
    ssize_t n = write(fd, data.data() + done, size - done);
    if (n < 0 && errno != EINTR) return Call_Error("write", errno);
    if (n > 0) done += static_cast<size_t>(n);
  }
  if (size < data.size()) return Call_Error("write", EIO);
  if (Fault_At("flush")) return Call_Error("fsync", EIO);
  if (fsync(fd) != 0) return Call_Error("fsync", errno);
  return "";
}

// Whether the file or directory `p`, of status `st`, may be written: by
// its permission for this user, and, for root, whom that never stops, by
// its having a write permission at all.
bool May_Write(const std::string& p, const struct stat& st) {
  return access(p.c_str(), W_OK) == 0 && (st.st_mode & 0222) != 0;
}

// The directory that holds `p`, as a user finds it.
std::string Directory_Shown(const std::string& p) {
  std::string dir = Directory_Of(p).empty() ? "." : Directory_Of(p);
  char* real = realpath(dir.c_str(), nullptr);
  if (real == nullptr) return dir;
  std::string shown = real;
  std::free(real);
  return shown;
}

// Opens a fresh temporary file beside `p` exclusively, passing over names
// that a leftover holds; its descriptor, or -1 with `error` set.
int Open_Fresh_Temp(const std::string& p, mode_t mode, std::string& temp, std::string& error) {
  std::string dir = Directory_Of(p).empty() ? "." : Directory_Of(p);
  // Made before any open, whose errno realpath would change.
  const std::string refused = "cannot make a temporary file in " + Directory_Shown(p) + ": ";
  struct stat st;
  if (stat(dir.c_str(), &st) == 0 && !May_Write(dir, st)) {
    error = refused + Call_Error("open", EACCES);
    return -1;
  }
  for (int attempt = 0; attempt < 100; attempt++) {
    temp = Temp_Name_Beside(p, attempt);
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0) return fd;
    if (errno != EEXIST) break;
  }
  error = refused + Call_Error("open", errno);
  return -1;
}

// What kind of entry the mode `m` is, for a refusal.
const char* Kind_Of(mode_t m) {
  if (S_ISDIR(m)) return "a directory";
  if (S_ISCHR(m)) return "a character device";
  if (S_ISBLK(m)) return "a block device";
  if (S_ISFIFO(m)) return "a FIFO";
  if (S_ISSOCK(m)) return "a socket";
  if (S_ISLNK(m)) return "a chain of too many links";
  return "no regular file";
}

// Flushes the directory that holds `p`, so that a rename in it is on disk.
std::string Sync_Directory_Of(const std::string& p) {
  std::string dir = Directory_Of(p);
  int fd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Call_Error("open", errno);
  int result = fsync(fd);
  int err = errno;
  close(fd);
  // Some file systems cannot flush a directory, and say so with EINVAL.
  if (result != 0 && err != EINVAL) return Call_Error("fsync", err);
  return "";
}

}  // namespace

unsigned long Process_Id() { return static_cast<unsigned long>(getpid()); }

Path_Kind Platform_Path_Status(const std::string& p) {
  struct stat st;
  if (stat(Without_Trailing_Separators(p, "/").c_str(), &st) != 0) return PATH_MISSING;
  if (S_ISREG(st.st_mode)) return PATH_FILE;
  if (S_ISDIR(st.st_mode)) return PATH_DIRECTORY;
  return PATH_OTHER;
}

bool Platform_Is_Executable(const std::string& p) { return access(p.c_str(), X_OK) == 0; }

bool Platform_Is_Compiled_Program(const std::string& p) {
  int fd = open(p.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  unsigned char head[4] = {0};
  ssize_t n = read(fd, head, sizeof head);
  close(fd);
  if (n != 4) return false;
  uint32_t magic = static_cast<uint32_t>(head[0]) << 24 | head[1] << 16 | head[2] << 8 | head[3];
  // ELF; Mach-O, 32 and 64 bits, either byte order; a universal (fat) Mach-O.
  for (uint32_t known : {0x7F454C46u, 0xFEEDFACEu, 0xFEEDFACFu, 0xCEFAEDFEu, 0xCFFAEDFEu, 0xCAFEBABEu})
    if (magic == known) return true;
  return false;
}

bool Modified_Time(const std::string& p, long long& time) {
  struct stat st;
  if (stat(p.c_str(), &st) != 0) return false;
#ifdef __APPLE__
  const timespec& m = st.st_mtimespec;
#else
  const timespec& m = st.st_mtim;
#endif
  time = static_cast<long long>(m.tv_sec) * 1000000000LL + m.tv_nsec;
  return true;
}

bool File_Is_Empty(const std::string& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0;
}

bool Can_Open_For_Writing(const std::string& p) {
  int fd = open(p.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  close(fd);
  return true;
}

std::string Create_New_File(const std::string& p) {
  int fd = open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return Error_Reason(static_cast<unsigned long>(errno));
  close(fd);
  return "";
}

std::string Read_Head(const std::string& p, int lines, std::string& text) {
  text.clear();
  int fd = open(p.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Call_Error("open", errno);
  std::string error = Read_Head_Through(
      [fd](char* buf, size_t size, std::string& failed) -> long {
        ssize_t n;
        while ((n = read(fd, buf, size)) < 0 && errno == EINTR) {
        }
        if (n < 0) failed = Call_Error("read", errno);
        return static_cast<long>(n);
      },
      "read", lines, text);
  close(fd);
  return error;
}

std::string Link_Target(const std::string& p) {
  std::string path = p;
  // As many links as the kernel itself follows; past that, the path as it is.
  for (int hops = 0; hops < 40; hops++) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::vector<char> buf(static_cast<size_t>(st.st_size) + 256);
    ssize_t n = readlink(path.c_str(), buf.data(), buf.size());
    if (n <= 0 || static_cast<size_t>(n) >= buf.size()) return path;
    std::string target(buf.data(), static_cast<size_t>(n));
    path = target[0] == '/' ? target : Join_Path(Directory_Of(path), target);
  }
  return path;
}

std::string Replace_Refusal(const std::string& p, bool through_link) {
  struct stat st;
  if (lstat(p.c_str(), &st) != 0) return errno == ENOENT ? "" : Call_Error("lstat", errno);
  if (S_ISREG(st.st_mode))
    return May_Write(p, st) ? "" : p + " may not be written; it is left as it is";
  if (S_ISDIR(st.st_mode) && !through_link) return "";
  return p + " is " + Kind_Of(st.st_mode) + ", not a regular file; it is left as it is";
}

std::string Write_Temp_Beside(const std::string& p, const std::string& data, std::string& temp) {
  if (Fault_At("create")) return Call_Error("open", EACCES);
  // A settings file that only its owner may read stays so, and its owner's.
  struct stat st;
  bool keep_mode = stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  mode_t mode = keep_mode ? st.st_mode & 07777 : 0666;
  std::string error;
  int fd = Open_Fresh_Temp(p, mode, temp, error);
  if (fd < 0) return error;
  Remove_At_Signal(temp);
  // A save by root (sudo tivex) leaves the file to its owner, as editors do;
  // whoever may not give it away keeps it. A change of owner clears the
  // set-id bits, so the mode comes after.
  if (keep_mode && (st.st_uid != geteuid() || st.st_gid != getegid()) &&
      fchown(fd, st.st_uid, st.st_gid) != 0 && errno != EPERM)
    error = Call_Error("fchown", errno);
  // Unlike open, fchmod leaves the umask out.
  if (keep_mode && error.empty() && fchmod(fd, mode) != 0) error = Call_Error("fchmod", errno);
  if (error.empty()) error = Write_And_Sync(fd, data);
  if (close(fd) != 0 && error.empty()) error = Call_Error("close", errno);
  if (!error.empty()) Remove_File(temp);
  return error;
}

std::string Replace_File(const std::string& from, const std::string& to) {
  if (Fault_At("rename")) return Call_Error("rename", EIO);
  struct stat st;
  // rename() will not put a file in place of a directory, even an empty one.
  if (lstat(to.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && rmdir(to.c_str()) != 0)
    return Call_Error("rmdir", errno);
  if (rename(from.c_str(), to.c_str()) != 0) return Call_Error("rename", errno);
  Remove_At_Signal("");
  return Sync_Directory_Of(to);
}

void Remove_File(const std::string& p) {
  Remove_At_Signal("");
  unlink(p.c_str());
}

void Hide_File(const std::string&) {}

std::string Opened_Path(const std::string& p) { return p; }

std::string Expand_Home(const std::string& p) {
  const char* home = std::getenv("HOME");
  if (p.compare(0, 2, "~/") != 0 || home == nullptr || *home == '\0') return p;
  return home + p.substr(1);
}
