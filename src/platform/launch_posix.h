// Private to the POSIX files of the platform layer: where a program that
// Tivex starts runs (a tmux window, a graphical terminal, or this terminal).

#pragma once

#include <string>
#include <vector>

// The words of the environment variable `name`, a program and its options
// split at blanks; empty when it is unset or blank.
std::vector<std::string> Words_Of(const char* name);

// Starts words[1] with the arguments after it in a window titled words[0]:
// a tmux window, a graphical terminal, or this terminal. 0 once it has
// started, 127 when it cannot be.
int Start_Program(const std::vector<std::string>& words);
