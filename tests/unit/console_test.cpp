#include <gtest/gtest.h>

#include <chrono>
#include <vector>
#include <thread>
#include <cmath>
#include <deque>
#include <iostream>
#include <sstream>
#include <streambuf>

#include "console/console.h"

namespace {

// Counts how a text reaches the stream: single characters, whole runs, flushes.
class Counting_Buf : public std::streambuf {
 public:
  int puts = 0, runs = 0, flushes = 0;
  size_t flushed = 0;  // how much of the text had been written at the last flush
  std::string text, last_run;

 protected:
  int_type overflow(int_type c) override {
    puts++;
    text += static_cast<char>(c);
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    runs++;
    last_run.assign(s, n);
    text.append(s, n);
    return n;
  }
  int sync() override {
    flushes++;
    flushed = text.size();
    return 0;
  }
};

// Sends std::cout to `buf` for the scope.
class Capture {
 public:
  explicit Capture(std::streambuf* buf) : old_(std::cout.rdbuf(buf)) {}
  ~Capture() { std::cout.rdbuf(old_); }

 private:
  std::streambuf* old_;
};

std::deque<std::string> LINES;

bool Scripted_Line(std::string& s, Input_Kind) {
  if (LINES.empty()) return false;
  s = LINES.front();
  LINES.pop_front();
  return true;
}

// Answers Read_Pint with `lines` and returns what it printed and returned.
std::string Ask(std::deque<std::string> lines, std::unordered_set<int> set, int& ans) {
  LINES = lines;
  READ_LINE_HOOK = Scripted_Line;
  std::stringstream out;
  Capture capture(out.rdbuf());
  ans = Read_Pint(set);
  return out.str();
}

const std::string NOT_NATURAL = "输入不是自然数，请重新输入。\n";
const std::string OUT_OF_RANGE = "输入不在给定范围内，请重新输入。\n";

}  // namespace

TEST(WaitMicroseconds, TruncatesTowardZero) {
  EXPECT_EQ(Wait_Microseconds(0.001), 1000);
  EXPECT_EQ(Wait_Microseconds(2.5), 2500000);
  EXPECT_EQ(Wait_Microseconds(0.0000019), 1);
  EXPECT_EQ(Wait_Microseconds(0.0000009), 0);
  EXPECT_EQ(Wait_Microseconds(-0.0000019), -1);
}

TEST(WaitMicroseconds, ZeroNegativeAndOutOfRange) {
  EXPECT_EQ(Wait_Microseconds(0), 0);
  EXPECT_EQ(Wait_Microseconds(-1), -1000000);
  EXPECT_EQ(Wait_Microseconds(std::nan("")), 0);
  EXPECT_EQ(Wait_Microseconds(1e12), INT32_MAX);
  EXPECT_EQ(Wait_Microseconds(-1e12), INT32_MIN);
}

TEST(Wait, ReturnsAtOnceWithoutWholeMicrosecond) {
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 1000; i++) {
    Wait(0);
    Wait(-1);
    Wait(0.0000009);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
}

TEST(Wait, SleepsAtLeastTheDuration) {
  auto start = std::chrono::steady_clock::now();
  Wait(0.02);
  auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, std::chrono::milliseconds(20));
  EXPECT_LT(took, std::chrono::milliseconds(500));
}

TEST(Print, OneWritePerByteThenNewlinesInOneWrite) {
  Counting_Buf buf;
  {
    Capture capture(&buf);
    Print("3. 设置", 2);
  }
  EXPECT_EQ(buf.puts, 9);
  EXPECT_GE(buf.flushes, 9);
  EXPECT_EQ(buf.runs, 1);
  EXPECT_EQ(buf.last_run, "\n\n");
  EXPECT_EQ(buf.text, "3. 设置\n\n");
  // A wait may follow: the whole line must be on the screen before it.
  EXPECT_EQ(buf.flushed, buf.text.size());
}

TEST(Print, EmptyTextWritesOnlyNewline) {
  Counting_Buf buf;
  {
    Capture capture(&buf);
    Print("", 1);
  }
  EXPECT_EQ(buf.puts, 0);
  EXPECT_EQ(buf.text, "\n");
}

TEST(Print, ZeroOrNegativeNrowWritesNoNewline) {
  Counting_Buf buf;
  {
    Capture capture(&buf);
    Print("ab", 0);
    Print("c", -3);
  }
  EXPECT_EQ(buf.text, "abc");
  EXPECT_EQ(buf.runs, 0);
}

TEST(Print, PausesAfterEveryByte) {
  std::stringstream out;
  auto start = std::chrono::steady_clock::now();
  {
    Capture capture(out.rdbuf());
    Print(std::string(30, 'x'), 1);
  }
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
}

// A timer that is always late by 1.5 ms, as a busy machine's may be.
void Late_Sleep(long sec, long nsec) {
  long late = nsec + 1500000;
  Sleep_For(sec + late / 1000000000L, late % 1000000000L);
}

TEST(Print, LateTimersDoNotAddUpOverAText) {
  Setup_Console();  // 1 ms timers, where they are not so by default
  std::stringstream out;
  auto old = SLEEP_HOOK;
  SLEEP_HOOK = Late_Sleep;
  auto start = std::chrono::steady_clock::now();
  {
    Capture capture(out.rdbuf());
    Print(std::string(200, 'x'), 1);
  }
  auto took = std::chrono::steady_clock::now() - start;
  SLEEP_HOOK = old;
  EXPECT_GE(took, std::chrono::milliseconds(200));
  // Each pause 1.5 ms late, one after the other, would take 500 ms; the
  // bound leaves a loaded machine's scheduling room.
  EXPECT_LT(took, std::chrono::milliseconds(400));
}

// Notes when each byte arrives.
class Timed_Buf : public std::streambuf {
 public:
  std::vector<std::chrono::steady_clock::time_point> at;

 protected:
  int_type overflow(int_type c) override {
    if (c != traits_type::eof() && c != '\n') at.push_back(std::chrono::steady_clock::now());
    return traits_type::not_eof(c);
  }
};

int SLEEPS = 0;

// A terminal that blocks for 40 ms once, after the tenth byte.
void Stalling_Sleep(long sec, long nsec) {
  if (++SLEEPS == 10) std::this_thread::sleep_for(std::chrono::milliseconds(40));
  Sleep_For(sec, nsec);
}

TEST(Print, AfterAStallThePaceResumesInsteadOfCatchingUp) {
  Timed_Buf buf;
  auto old = SLEEP_HOOK;
  SLEEP_HOOK = Stalling_Sleep;
  SLEEPS = 0;
  {
    Capture capture(&buf);
    Print(std::string(60, 'x'), 1);
  }
  SLEEP_HOOK = old;
  ASSERT_EQ(buf.at.size(), 60u);
  using std::chrono::milliseconds;
  // The stall comes where the tenth sleep does: after byte 5 to 10, as a
  // platform sleeps once or twice a byte.
  size_t stall = 1;
  for (size_t i = 1; i < 30; i++)
    if (buf.at[i] - buf.at[i - 1] > buf.at[stall] - buf.at[stall - 1]) stall = i;
  EXPECT_GE(buf.at[stall] - buf.at[stall - 1], milliseconds(40));
  // Thirty bytes after the stall still take about thirty milliseconds.
  EXPECT_GE(buf.at[stall + 30] - buf.at[stall], milliseconds(28));
}

// One answer line against its set: the verdict, and the value where it is
// taken. The digit test comes before the length test; an empty line is 0.
TEST(CheckPint, EachLineGetsItsVerdictAndValue) {
  const std::unordered_set<int> menu = {1, 2, 3, 4};
  const struct {
    std::string line;
    std::unordered_set<int> set;
    Pint_Verdict verdict;
    int value;
  } rows[] = {{"3", menu, PINT_OK, 3},
              {"000000003", menu, PINT_OK, 3},
              {"03", menu, PINT_OK, 3},
              {"", {0, 1}, PINT_OK, 0},
              {"", menu, PINT_OUT_OF_RANGE, -1},
              {"3a bcdefghijk", menu, PINT_NOT_NATURAL, -1},
              {"1234567890a", menu, PINT_NOT_NATURAL, -1},
              {"0000000003", menu, PINT_OUT_OF_RANGE, -1},
              {"1000000000", menu, PINT_OUT_OF_RANGE, -1},
              {"999999999", menu, PINT_OUT_OF_RANGE, -1},
              {"999999999", {999999999}, PINT_OK, 999999999},
              {"+3", menu, PINT_NOT_NATURAL, -1},
              {"-3", menu, PINT_NOT_NATURAL, -1},
              {" 3", menu, PINT_NOT_NATURAL, -1},
              {"3 ", menu, PINT_NOT_NATURAL, -1},
              {"3.", menu, PINT_NOT_NATURAL, -1},
              {"3a", menu, PINT_NOT_NATURAL, -1},
              {"３", menu, PINT_NOT_NATURAL, -1},
              {"\t", menu, PINT_NOT_NATURAL, -1},
              {"3\r", menu, PINT_NOT_NATURAL, -1},
              {"0", menu, PINT_OUT_OF_RANGE, -1},
              {"5", menu, PINT_OUT_OF_RANGE, -1},
              {"5", {1, 2, 3, 4, 5}, PINT_OK, 5}};
  for (const auto& r : rows) {
    int ans = -1;
    EXPECT_EQ(Check_Pint(r.line, r.set, ans), r.verdict) << r.line;
    EXPECT_EQ(ans, r.value) << r.line;
  }
}

TEST(ReadPint, RefusedLinesGetOneMessageEach) {
  int ans = 0;
  std::string out = Ask({"abc", "0", "", "12345678901", "2"}, {1, 2, 3, 4}, ans);
  EXPECT_EQ(ans, 2);
  EXPECT_EQ(out, NOT_NATURAL + OUT_OF_RANGE + OUT_OF_RANGE + OUT_OF_RANGE);
}

TEST(ReadPint, AcceptedLinePrintsNothing) {
  int ans = -1;
  EXPECT_EQ(Ask({""}, {0, 1}, ans), "");
  EXPECT_EQ(ans, 0);
}

TEST(ReadLine, EndOfInputEndsTheProgramWithStatusOne) {
  LINES.clear();
  READ_LINE_HOOK = Scripted_Line;
  EXPECT_EXIT(Read_Line(), ::testing::ExitedWithCode(1), "");
}

TEST(System, FlushesBeforeTheCommandRuns) {
  static Counting_Buf* seen_buf = nullptr;
  static int flushes_at_call = -1;
  Counting_Buf buf;
  seen_buf = &buf;
  auto old = SYSTEM_HOOK;
  SYSTEM_HOOK = [](const std::string& t, const std::vector<std::string>&) {
    flushes_at_call = seen_buf->flushes;
    return t == "x" ? 7 : 0;
  };
  int result;
  {
    Capture capture(&buf);
    std::cout << "text";
    result = System("x");
  }
  SYSTEM_HOOK = old;
  EXPECT_EQ(result, 7);
  EXPECT_GE(flushes_at_call, 1);
}
