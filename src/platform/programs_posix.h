// Private to the POSIX files of the platform layer: starting a program from its
// argv (never through a shell's parsing), waiting for it, and the PATH search.

#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// Opens a pipe whose ends close on exec: 0, or the error number with
// nothing left open.
int Open_Pipe(int fds[2]);

// Starts `args` (args[0] a path, or a name looked up on PATH when `search`)
// with this process's standard streams, but standard output on `out` and
// standard error on `err` where they are not -1, in a process group of its
// own when `own_group`; 0 or the error number.
// The child's signals are at their defaults and none is blocked, whatever
// this process does with them.
int Spawn(const std::vector<std::string>& args, bool search, pid_t& pid, int out = -1,
          int err = -1, bool own_group = false);

// Spawn (its standard error on `errors` where that is not -1), telling on
// standard error why a program could not be started; the child's pid, or -1.
pid_t Start(const std::vector<std::string>& args, bool search, bool own_group = false,
            int errors = -1);

// Waits for `pid` and turns its end into a result: its exit status, or
// 128 and the signal's number when a signal ended it.
int Wait_For_Process(pid_t pid);

// Runs `args` in this terminal and waits, leaving Ctrl-C to it as the C
// library's system() does, and, `as_job`, in a process group of its own in
// the terminal's foreground, as a shell runs a job; false when it cannot be
// started, else its result in `result`.
bool Run_Here(const std::vector<std::string>& args, bool search, int& result,
              bool as_job = false);

// What `args` writes on its standard output, or "" when it cannot run; what
// it writes on its standard error is dropped.
std::string Output_Of(const std::vector<std::string>& args);

// Whether the environment variable `name` is set and not empty.
bool Has_Env(const char* name);

// The path of the program `name` as a search of PATH finds it, or "".
std::string Find_On_Path(const std::string& name);

// The path of this program's own file, links resolved; "" when it cannot be
// had.
std::string Own_File();

// The working directory, or "." when it cannot be had.
std::string Working_Directory();
