// Private to the POSIX files of the platform layer: the terminal's modes while
// a program runs in it, Ctrl-C left to a child, the key prompt, and what a
// signal must undo.

#pragma once

#include <signal.h>
#include <sys/types.h>

#include <string>

// While a child runs, Ctrl-C and Ctrl-\ are the child's: this process
// ignores SIGINT and SIGQUIT until Restore_Interrupts.
void Ignore_Interrupts();
void Restore_Interrupts();

// Saves the terminal's modes before a program runs in it, and puts them back
// when it has ended (also when a signal ends this process meanwhile), as
// shells do: a program that left the terminal raw or silent leaves no trace.
void Save_Terminal_Modes();
void Restore_Terminal_Modes();

// While a program runs: gives the terminal's foreground to the process group
// `pgrp`, as a shell's fg does, where this process had it before.
void Hand_Terminal_To(pid_t pgrp);

// Set when this process is continued after a stop (Ctrl-Z, then fg), for the
// line editor to draw its line again.
extern volatile sig_atomic_t CONTINUED;

// Writes the key prompt and, when standard input is a terminal, waits for one
// whole key press (dropping the keys typed ahead first when `drop`); then
// ends the line.
void Prompt_For_Key(bool drop);

// Sets the locale's characters (LC_CTYPE) from the environment, and tells
// whether they are UTF-8.
bool Use_Environment_Characters();

// Clears a terminal and its scroll-back; writes a form feed where standard
// output is no terminal, as the Windows interpreter does.
void Clear_Screen();

// A file that a signal ending the program removes (the temporary file of a
// save, until its rename; a window's handshake), and then the folder
// `folder` where one was made for it; "" for none.
void Remove_At_Signal(const std::string& path, const std::string& folder = "");

// Makes the descriptor `fd` blocking: a program that shared the terminal may
// have left it non-blocking.
void Make_Blocking(int fd);
