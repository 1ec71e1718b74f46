// Typewriter output, timed waits, reading lines and menu answers, and the one
// door through which every command line leaves the program.

#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/console.h"

// Writes `s` one byte at a time, each byte flushed, at one byte a
// millisecond: byte k leaves no earlier than k ms after the first, and the
// text takes at least as many milliseconds as it has bytes. Then `nrow`
// newlines in one write without pause, flushed. A negative `nrow` writes no
// newline.
void Print(std::string s, int nrow);

// Sleeps `a` seconds at microsecond resolution; nothing for durations below
// one microsecond, zero or negative.
void Wait(double a);

// The whole microseconds that Wait(a) sleeps: a × 1,000,000 truncated toward
// zero, held in a signed 32-bit count (held at its limits outside them).
int32_t Wait_Microseconds(double a);

// How Wait sleeps (seconds, nanoseconds); fuzzing puts a no-op here.
extern void (*SLEEP_HOOK)(long sec, long nsec);

// Where lines of standard input come from: the program's entry point puts
// the platform's reader here, tests their own. Returns false at end of input.
extern bool (*READ_LINE_HOOK)(std::string& s, Input_Kind kind);

// Reads one line (without its line end), the answer to a question of `kind`.
// At end of input the program ends at once with status 1, saving nothing.
std::string Read_Line(Input_Kind kind = INPUT_CHOICE);

// What Check_Pint found in one answer line.
enum Pint_Verdict { PINT_OK, PINT_NOT_NATURAL, PINT_OUT_OF_RANGE };

// Judges one answer line against the allowed set; on PINT_OK stores the value.
Pint_Verdict Check_Pint(const std::string& s, const std::unordered_set<int>& a, int& ans);

// Reads lines until one is a natural number in `a`, and returns it. Every
// refused line gets one message.
int Read_Pint(std::unordered_set<int> a);

// Where command lines are run; tests put a recorder here.
extern int (*SYSTEM_HOOK)(const std::string& t, const std::vector<std::string>& words);

// Flushes standard output and hands the command line `t` to SYSTEM_HOOK,
// with `words`: what the line names, each path one word (see Platform_System
// and Put_Path).
int System(const std::string& t, const std::vector<std::string>& words = {});
