// Typewriter output, waits, reading answers and menu choices, and System,
// through hooks that tests replace.

#include "console/console.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "platform/commands.h"

void (*SLEEP_HOOK)(long sec, long nsec) = Sleep_For;
bool (*READ_LINE_HOOK)(std::string& s, Input_Kind kind) = nullptr;
int (*SYSTEM_HOOK)(const std::string& t, const std::vector<std::string>& words) = Platform_System;

namespace {

const char* const NOT_NATURAL = "输入不是自然数，请重新输入。";
const char* const OUT_OF_RANGE = "输入不在给定范围内，请重新输入。";

void Flush_Output() {
  std::cout.flush();
  std::fflush(stdout);
}

using Clock = std::chrono::steady_clock;

// Sleeps until `k` ms after `start`, so that the time each write takes and the
// lateness of each sleep do not add up over a text. After a stall longer
// than a few milliseconds the pace starts anew from now instead of catching
// up in a burst.
void Pace(Clock::time_point& start, int32_t k) {
  Clock::time_point due = start + std::chrono::milliseconds(k);
  Clock::time_point now = Clock::now();
  if (now - due > std::chrono::milliseconds(5)) start = now - std::chrono::milliseconds(k);
  // A timer may also wake a little early: then the rest is slept once more.
  for (int tries = 0; tries < 2 && now < due; tries++, now = Clock::now()) {
    long ns = static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(due - now).count());
    SLEEP_HOOK(ns / 1000000000L, ns % 1000000000L);
  }
}

}  // namespace

int32_t Wait_Microseconds(double a) {
  double us = a * 1000000.0;
  if (!(us > -2147483648.0)) return us < 0 ? INT32_MIN : 0;  // also NaN
  if (us >= 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(us);
}

void Wait(double a) {
  int32_t count = Wait_Microseconds(a);
  if (count <= 0) return;
  SLEEP_HOOK(count / 1000000, (count % 1000000) * 1000L);
}

void Print(std::string s, int nrow) {
  int32_t ls = static_cast<int32_t>(s.size());
  Clock::time_point start = Clock::now();
  for (int32_t i = 0; i < ls; i++) {
    std::cout.put(s[i]);
    // Without a flush a buffered stream would show the text all at once.
    std::cout.flush();
    Pace(start, i + 1);
  }
  if (nrow > 0) {
    std::cout << std::string(nrow, '\n');
    // What follows may be a wait: the line must stand on the screen first.
    std::cout.flush();
  }
}

std::string Read_Line(Input_Kind kind) {
  std::string s;
  if (!READ_LINE_HOOK(s, kind)) {
    // Nobody is left to answer: end like a closed window, without saving.
    Flush_Output();
    std::exit(1);
  }
  return s;
}

Pint_Verdict Check_Pint(const std::string& s, const std::unordered_set<int>& a, int& ans) {
  for (char c : s)
    if (c < '0' || c > '9') return PINT_NOT_NATURAL;
  if (s.size() > 9) return PINT_OUT_OF_RANGE;
  int value = 0;
  for (char c : s) value = value * 10 + (c - '0');
  if (a.count(value) == 0) return PINT_OUT_OF_RANGE;
  ans = value;
  return PINT_OK;
}

int Read_Pint(std::unordered_set<int> a) {
  while (true) {
    std::string s = Read_Line();
    int ans = 0;
    Pint_Verdict v = Check_Pint(s, a, ans);
    if (v == PINT_OK) return ans;
    Print(v == PINT_NOT_NATURAL ? NOT_NATURAL : OUT_OF_RANGE, 1);
  }
}

int System(const std::string& t, const std::vector<std::string>& words) {
  Flush_Output();
  return SYSTEM_HOOK(t, words);
}
