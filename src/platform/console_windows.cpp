// Windows: the console (every change of its code pages; whole characters
// through WriteConsoleW), Ctrl+C while a child runs, the 1 ms timer, key
// waits and the title.

#include <windows.h>
#include <mmsystem.h>

#include <cstdlib>
#include <iostream>
#include <streambuf>
#include <string>

#include "platform/console.h"
#include "platform/console_internal.h"
#include "platform/text_internal.h"
#include "platform/windows_internal.h"

namespace {

// --- Code pages: UTF-8 both ways while Tivex runs, the ones found given back
// at exit (ConsolePauser's program keeps them: see program_input_windows.cpp).

UINT INPUT_CP_FOUND = 0, OUTPUT_CP_FOUND = 0;

// A cmd window that started us is left in the code pages it had.
void Restore_Code_Pages() {
  if (INPUT_CP_FOUND) SetConsoleCP(INPUT_CP_FOUND);
  if (OUTPUT_CP_FOUND) SetConsoleOutputCP(OUTPUT_CP_FOUND);
}

void Use_Utf8_Code_Pages() {
  INPUT_CP_FOUND = GetConsoleCP();
  OUTPUT_CP_FOUND = GetConsoleOutputCP();
  std::atexit(Restore_Code_Pages);
  SetConsoleOutputCP(CP_UTF8);
  SetConsoleCP(CP_UTF8);
}

// --- Output: what reaches a console is whole characters in UTF-16.

// Standard output or error when it is a console. The bytes of a character
// that is not complete yet wait for the rest, so a character typed out byte
// by byte never shows as three replacement characters.
class Console_Buf : public std::streambuf {
 public:
  explicit Console_Buf(HANDLE h) : h_(h) {}

 protected:
  int_type overflow(int_type c) override {
    if (c != traits_type::eof()) pending_ += static_cast<char>(c);
    Emit();
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    pending_.append(s, static_cast<size_t>(n));
    Emit();
    return n;
  }

 private:
  void Emit() {
    size_t whole = Complete_Utf8_Prefix(pending_);
    if (whole == 0) return;
    std::wstring w = Widen(pending_.substr(0, whole));
    pending_.erase(0, whole);
    DWORD written = 0;
    WriteConsoleW(h_, w.data(), static_cast<DWORD>(w.size()), &written, nullptr);
  }
  HANDLE h_;
  std::string pending_;
};

// Puts `stream` on the console through Console_Buf when it writes to one.
void Write_Whole_Characters(std::ostream& stream, DWORD which) {
  HANDLE h = GetStdHandle(which);
  if (!Is_Console(h)) return;
  stream.flush();
  stream.rdbuf(new Console_Buf(h));  // in use until the program ends
}

// --- Ctrl+C reaches every process of the console: while a command runs it
// is for the command. Each process gets the event on a thread of its own, so
// ours may come a moment after the child has ended of it: a second's grace.
// A handler, not SetConsoleCtrlHandler(NULL, TRUE), whose flag the child
// would inherit.

volatile LONG CHILD_RUNNING = 0;
volatile ULONGLONG CHILD_ENDED_AT = 0;

void End_Timer_Period();

// Ctrl+C and Ctrl+Break while a child runs are the child's. Any other event
// (Ctrl+C at a question, the window closed, a logoff) ends this process
// without its atexit: the window that started it gets its code pages, and
// the system its timer, back here.
BOOL WINAPI On_Console_Event(DWORD type) {
  bool interrupt = type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT;
  if (interrupt && (CHILD_RUNNING || GetTickCount64() - CHILD_ENDED_AT < 1000)) return TRUE;
  Restore_Code_Pages();
  End_Timer_Period();
  return FALSE;
}

// --- Timers: Sleep would round each 1 ms pause up to the system's tick.

// Once, whichever end comes first: the handler of a console event or exit.
void End_Timer_Period() {
  static volatile LONG ended = 0;
  if (InterlockedExchange(&ended, 1) == 0) timeEndPeriod(1);
}

HANDLE Sleep_Timer() {
  static HANDLE timer = [] {
    HANDLE h = CreateWaitableTimerExW(nullptr, nullptr, 0x00000002 /* HIGH_RESOLUTION */,
                                      TIMER_ALL_ACCESS);
    return h ? h : CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
  }();
  return timer;
}


// --- Key waits.

// Waits for one key press on the console; modifier keys alone do not count,
// and Ctrl+C is a key like any other, as for the interpreter's pause.
void Read_Console_Key(HANDLE in) {
  // Keys typed before the wait began must not end it at once.
  FlushConsoleInputBuffer(in);
  DWORD mode = 0;
  bool moded = GetConsoleMode(in, &mode) && SetConsoleMode(in, mode & ~ENABLE_PROCESSED_INPUT);
  INPUT_RECORD rec;
  DWORD got = 0;
  while (ReadConsoleInputW(in, &rec, 1, &got) && got == 1) {
    if (rec.EventType != KEY_EVENT || !rec.Event.KeyEvent.bKeyDown) continue;
    WORD key = rec.Event.KeyEvent.wVirtualKeyCode;
    if (key != VK_SHIFT && key != VK_CONTROL && key != VK_MENU) break;
  }
  if (moded) SetConsoleMode(in, mode);
}

}  // namespace

bool Is_Console(HANDLE h) {
  DWORD mode;
  return GetConsoleMode(h, &mode) != 0;
}

void Use_Input_Code_Page(UINT cp) { SetConsoleCP(cp); }

UINT Use_Output_Code_Page(UINT cp) {
  UINT before = GetConsoleOutputCP();
  SetConsoleOutputCP(cp);
  return before;
}

void Child_Starts() { CHILD_RUNNING = 1; }

void Child_Ended(bool took_interrupts) {
  if (took_interrupts) CHILD_ENDED_AT = GetTickCount64();
  CHILD_RUNNING = 0;
}

void Setup_Console() {
  static bool done = false;
  if (done) return;
  done = true;
  Use_Utf8_Code_Pages();
  Write_Whole_Characters(std::cout, STD_OUTPUT_HANDLE);
  Write_Whole_Characters(std::cerr, STD_ERROR_HANDLE);
  timeBeginPeriod(1);
  std::atexit(End_Timer_Period);
  SetConsoleCtrlHandler(On_Console_Event, TRUE);
}

void Sleep_For(long sec, long nsec) {
  LARGE_INTEGER due;
  // Negative: relative time, in units of 100 ns.
  due.QuadPart = -(static_cast<LONGLONG>(sec) * 10000000 + nsec / 100);
  HANDLE timer = Sleep_Timer();
  if (timer && SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
    WaitForSingleObject(timer, INFINITE);
    return;
  }
  Sleep(static_cast<DWORD>(sec * 1000 + (nsec + 999999) / 1000000));
}


void Wait_For_Key_Press() {
  Write(KEY_PROMPT);
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  if (Is_Console(in)) Read_Console_Key(in);
  Write("\n");
}

bool Terminal_Shows_Utf8() { return true; }

void Set_Window_Title(const std::string& title) { SetConsoleTitleW(Widen(title).c_str()); }
