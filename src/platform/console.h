// This process's console or terminal: its setup and 1 ms sleeps, writing at
// once, the key wait, the window title, and the input of a
// program that ConsolePauser starts.

#pragma once

#include <string>

// What kind of answer a line is; the line editor keeps a history for each
// kind of question and completes paths where a path is asked for.
enum Input_Kind {
  INPUT_CHOICE,     // a menu number or a yes/no answer: nothing is kept
  INPUT_SOURCE,     // a path of a .cpp file
  INPUT_PROGRAM,    // a path of a program (the compiler, ConsolePauser)
  INPUT_DIRECTORY,  // a path of a directory
  INPUT_NAME,       // the base name of a new file
  INPUT_OPTIONS     // compile options
};

// Switches the console to UTF-8 both ways and makes 1 ms sleeps possible.
// Arranges that the terminal (the console's code pages) is given back as it
// was found at every exit and on every signal that ends or stops the program.
void Setup_Console();

// Sleeps `sec` seconds and `nsec` nanoseconds.
void Sleep_For(long sec, long nsec);

// Writes `s` to standard output at once, without pauses, and flushes it.
void Write(const std::string& s);

// The key wait of "pause" (ConsolePauser's, and Tivex's own on Windows):
// writes "请按任意键继续. . .",
// drops the keys typed ahead and, when standard input is a terminal, waits
// for one key press without echo; then ends the line.
void Wait_For_Key_Press();

// Titles the window that this program runs in (a terminal's by its escape,
// a console's); `title` must hold no controls.
void Set_Window_Title(const std::string& title);

// Whether a terminal on standard output shows UTF-8 as its locale says:
// false only for a terminal whose locale's character set is another (POSIX;
// Windows sets its console to UTF-8 itself).
bool Terminal_Shows_Utf8();

// Makes typed text reach the program that ConsolePauser starts as UTF-8: on
// Windows the console's input code page is 65001, and a probe key read
// through ReadFile decides whether the console gives UTF-8 that way (Windows
// 10's console gives NUL bytes): where it does not, Run_Program relays the
// console's lines to the program. Nothing on POSIX, where terminals are UTF-8.
void Prepare_Program_Input();
