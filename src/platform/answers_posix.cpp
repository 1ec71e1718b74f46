// POSIX: reading an answer, with the line editor at a terminal and a line at a
// time elsewhere; apart from console_posix.cpp, so that ConsolePauser, which
// reads no answers, links no line editor.

#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <string>

#include "platform/answers.h"
#include "platform/console.h"
#include "platform/console_internal.h"
#include "platform/console_posix.h"
#include "platform/errors_internal.h"
#include "platform/line_editing.h"
#include "platform/text.h"

namespace {

// Reads up to `size` bytes of standard input into `buf`; the count, 0 at its
// true end, -1 on an error, which is told. An interrupted read is tried
// again, and so is one of a descriptor that a program sharing the terminal
// left non-blocking.
long Read_Input(char* buf, size_t size) {
  while (true) {
    ssize_t n = read(STDIN_FILENO, buf, size);
    if (n >= 0) return static_cast<long>(n);
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      Make_Blocking(STDIN_FILENO);
    } else if (errno != EINTR) {
      std::cerr << "tivex: " << Call_Error("read", errno) << std::endl;
      return -1;
    }
  }
}

}  // namespace

bool Read_Plain_Line(std::string& s) {
  static const bool seekable = lseek(STDIN_FILENO, 0, SEEK_CUR) >= 0;
  return Read_Line_Through(s, seekable, Read_Input,
                           [](long rest) { lseek(STDIN_FILENO, -static_cast<off_t>(rest), SEEK_CUR); });
}

bool Platform_Read_Line(std::string& s, Input_Kind kind) {
  static const bool terminal = isatty(STDIN_FILENO);
  static const bool editing = terminal && isatty(STDOUT_FILENO) && Line_Editing_Available();
  s.clear();
  bool read = editing ? Read_Edited_Line(s, kind) : Read_Plain_Line(s);
  // A terminal's reply that reached the line whole was not typed.
  if (read && terminal) s = Without_Terminal_Replies(s);
  return read;
}
