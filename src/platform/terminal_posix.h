#pragma once

// What the POSIX files of the platform layer share about the terminal, the
// signals and standard input; not for use above the platform layer.

#include <string>

#include "platform/platform.h"

// Installs the handlers that give the terminal back on SIGINT, SIGTERM,
// SIGHUP and SIGQUIT and around SIGTSTP/SIGCONT, and at exit. Once.
void Setup_Terminal();

// While a child runs, Ctrl-C and Ctrl-\ are the child's: this process
// ignores SIGINT and SIGQUIT until Restore_Interrupts.
void Ignore_Interrupts();
void Restore_Interrupts();

// Writes the key prompt and, when standard input is a terminal, waits for one
// whole key press (dropping the keys typed ahead first when `drop`); then
// ends the line.
void Prompt_For_Key(bool drop);

// Sets the terminal window's title; the first time, the old title is pushed
// on the terminal's title stack, to be popped at exit.
void Set_Title(const std::string& title);

// Reads one line of standard input byte for byte (see Platform_Read_Line).
bool Read_Plain_Line(std::string& s);

// Reads one line at a terminal with the line editor. Before the first call,
// Line_Editing_Available says whether there is one.
bool Line_Editing_Available();
bool Read_Edited_Line(std::string& s, Input_Kind kind);

// A file that a signal ending the program removes (the temporary file of a
// save, until its rename); "" for none.
void Remove_At_Signal(const std::string& path);

// Saves the terminal's modes before a program runs in it, and puts them back
// when it has ended (also when a signal ends this process meanwhile), as
// shells do: a program that left the terminal raw or silent leaves no trace.
void Save_Terminal_Modes();
void Restore_Terminal_Modes();

// Writes `s` to standard output and flushes it.
void Write_Out(const std::string& s);
