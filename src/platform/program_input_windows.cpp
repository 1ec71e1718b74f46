// Windows: what is typed reaches ConsolePauser's program as UTF-8: the probe of
// the console, the check for a program that reads single keys, ConsoleReader.dll
// loaded into such a program, and the relay of typed lines through a pipe.

#include <windows.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/console.h"
#include "platform/console_internal.h"
#include "platform/programs.h"
#include "platform/text.h"
#include "platform/typed_lines_windows.h"
#include "platform/windows_internal.h"

namespace {

// Whether the console hands typed text to ReadFile as UTF-8 at input code
// page 65001; decided once by Prepare_Program_Input.
bool CONSOLE_GIVES_UTF8 = true;

// One key event of `c` (`vk` its virtual key), pressed or released.
INPUT_RECORD Key_Event(wchar_t c, WORD vk, BOOL down) {
  INPUT_RECORD r{};
  r.EventType = KEY_EVENT;
  r.Event.KeyEvent.bKeyDown = down;
  r.Event.KeyEvent.wRepeatCount = 1;
  r.Event.KeyEvent.wVirtualKeyCode = vk;
  r.Event.KeyEvent.uChar.UnicodeChar = c;
  return r;
}

// Puts the key `c` and Enter into the console's input; false when it cannot.
bool Type_Keys(HANDLE in, wchar_t c) {
  INPUT_RECORD keys[4] = {Key_Event(c, 0, TRUE), Key_Event(c, 0, FALSE),
                          Key_Event(L'\r', VK_RETURN, TRUE), Key_Event(L'\r', VK_RETURN, FALSE)};
  DWORD written = 0;
  return WriteConsoleInputW(in, keys, c ? 4 : 2, &written) && written == (c ? 4u : 2u);
}

// What ReadFile, as every C runtime reads a console, returns for "张" and
// Enter typed at the current input code page; "" when it cannot be tried.
// The keys are not echoed, and nothing of them is left behind.
std::string Probe_Console_Read(HANDLE in) {
  DWORD mode = 0;
  if (!GetConsoleMode(in, &mode)) return "";
  FlushConsoleInputBuffer(in);
  SetConsoleMode(in, (mode | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) & ~ENABLE_ECHO_INPUT);
  char buf[64];
  DWORD got = 0;
  if (Type_Keys(in, 0x5F20))
    if (!ReadFile(in, buf, sizeof buf, &got, nullptr)) got = 0;
  FlushConsoleInputBuffer(in);
  SetConsoleMode(in, mode);
  return std::string(buf, got);
}

// --- Programs that read the console themselves (single keys with _getch,
// _kbhit or ReadConsoleInput; lines in UTF-16 with ReadConsoleW or after
// _setmode; keys polled with GetAsyncKeyState) keep it: a relay would take
// their keys, echo them, or hand them a pipe that ReadConsoleW refuses.
// Their import table says so.

// Little-endian reads of a program's image that fail past its end.
bool Read_U16(const std::string& image, size_t at, uint32_t& v) {
  if (at + 2 > image.size()) return false;
  v = static_cast<unsigned char>(image[at]) | static_cast<unsigned char>(image[at + 1]) << 8;
  return true;
}

bool Read_U32(const std::string& image, size_t at, uint32_t& v) {
  uint32_t low = 0, high = 0;
  if (!Read_U16(image, at, low) || !Read_U16(image, at + 2, high)) return false;
  v = low | high << 16;
  return true;
}

// Where the section that holds the address `rva` keeps it in the file; 0 when
// no section holds it.
size_t File_Offset(const std::string& image, size_t sections, uint32_t count, uint32_t rva) {
  for (uint32_t i = 0; i < count; i++) {
    uint32_t size = 0, address = 0, raw_size = 0, raw = 0;
    size_t s = sections + 40 * i;
    if (!Read_U32(image, s + 8, size) || !Read_U32(image, s + 12, address) ||
        !Read_U32(image, s + 16, raw_size) || !Read_U32(image, s + 20, raw))
      return 0;
    if (rva >= address && rva - address < (size > raw_size ? size : raw_size)) return raw + (rva - address);
  }
  return 0;
}

bool Reads_The_Console(const std::string& name) {
  for (const char* f : {"_getch", "_getche", "_getwch", "_getwche", "_getch_nolock", "_getwch_nolock",
                        "_kbhit", "getch", "getche", "kbhit", "ReadConsoleInputA", "ReadConsoleInputW",
                        "ReadConsoleInputExA", "ReadConsoleInputExW", "PeekConsoleInputA",
                        "PeekConsoleInputW", "GetNumberOfConsoleInputEvents", "ReadConsoleW",
                        "ReadConsoleA", "_setmode", "_wsetmode", "GetAsyncKeyState", "GetKeyState",
                        "GetKeyboardState"})
    if (name == f) return true;
  return false;
}

// Whether the program `image` (a PE file) imports a function that reads the
// console itself; a file that cannot be read as one imports none.
bool Imports_Console_Reading(const std::string& image) {
  uint32_t pe = 0, count = 0, optional_size = 0, magic = 0, imports = 0;
  if (!Read_U32(image, 0x3C, pe) || pe > image.size() ||
      image.compare(pe, 4, std::string("PE\0\0", 4)) != 0 ||
      !Read_U16(image, pe + 6, count) || !Read_U16(image, pe + 20, optional_size) ||
      !Read_U16(image, pe + 24, magic))
    return false;
  bool wide = magic == 0x20B;  // PE32+: 64-bit addresses and thunks
  size_t sections = pe + 24 + optional_size;
  if (!Read_U32(image, pe + 24 + (wide ? 120 : 104), imports) || imports == 0) return false;
  for (size_t d = File_Offset(image, sections, count, imports); d != 0; d += 20) {
    uint32_t names = 0, first = 0;
    if (!Read_U32(image, d, names) || !Read_U32(image, d + 16, first) || (names == 0 && first == 0))
      return false;
    size_t thunk = File_Offset(image, sections, count, names ? names : first);
    for (uint32_t entry = 0, high = 0; thunk != 0; thunk += wide ? 8 : 4) {
      if (!Read_U32(image, thunk, entry) || (wide && !Read_U32(image, thunk + 4, high))) return false;
      if (entry == 0 && high == 0) break;
      if ((wide ? high : entry) & 0x80000000u) continue;  // imported by number
      size_t name = File_Offset(image, sections, count, entry + 2);
      if (name != 0 && name < image.size() && Reads_The_Console(image.c_str() + name)) return true;
    }
  }
  return false;
}

// Whether the program `image` is built for this process's machine, so that
// a library of this build can be loaded into it.
bool Same_Machine(const std::string& image) {
  auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto* own = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  uint32_t pe = 0, machine = 0;
  return Read_U32(image, 0x3C, pe) && Read_U16(image, pe + 4, machine) &&
         machine == own->FileHeader.Machine;
}

// The file at `path`, or "" when it cannot be read; a program of more than
// 256 MB is no beginner's.
std::string Read_Program_Image(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return "";
  LARGE_INTEGER size{};
  std::string image;
  if (GetFileSizeEx(f, &size) && size.QuadPart < (256 << 20)) {
    image.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!ReadFile(f, image.data(), static_cast<DWORD>(image.size()), &got, nullptr)) got = 0;
    image.resize(got);
  }
  CloseHandle(f);
  return image;
}

// --- A program that keeps the console gets ConsoleReader.dll (from beside
// this program), which answers its reads of lines from the console in UTF-8.

bool WANTS_READER = false;  // decided by Begin_Input_Relay

// Loads the reader into the program `process`, started suspended; false when
// it cannot.
bool Load_Console_Reader(HANDLE process) {
  std::wstring dll = Widen(Join_Path(Own_Directory(), "ConsoleReader.dll"));
  SIZE_T bytes = (dll.size() + 1) * sizeof(wchar_t);
  void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (remote == nullptr) return false;
  auto* load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
  HANDLE thread = WriteProcessMemory(process, remote, dll.c_str(), bytes, nullptr)
                      ? CreateRemoteThread(process, nullptr, 0, load, remote, 0, nullptr)
                      : nullptr;
  DWORD loaded = 0;
  bool ended = thread != nullptr && WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0;
  if (ended) GetExitCodeThread(thread, &loaded);
  if (thread) CloseHandle(thread);
  // A load still under way reads the name yet.
  if (ended || thread == nullptr) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return loaded != 0;
}

// --- The relay: whole lines read with ReadConsoleW (echoed and edited by
// the console as usual), written to the program's pipe as UTF-8.

HANDLE RELAY_THREAD = nullptr;
HANDLE RELAY_ENDING = nullptr;  // an event, set when the program has ended
volatile DWORD RELAY_PROGRAM = 0;  // the program's process id, once it runs

// Whether the program runs a command interpreter now (its system("pause")):
// that reads one key from the pipe, where a line would keep it waiting for
// Enter and show the key.
bool Program_Runs_Interpreter() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
       more = Process32NextW(snapshot, &entry))
    found = RELAY_PROGRAM != 0 && entry.th32ParentProcessID == RELAY_PROGRAM &&
            CompareStringOrdinal(entry.szExeFile, -1, L"cmd.exe", -1, TRUE) == CSTR_EQUAL;
  CloseHandle(snapshot);
  return found;
}

// Hands the interpreter the key pressed as one byte, unechoed, as it takes
// a key at a console; false when the pipe is gone.
bool Relay_One_Key(HANDLE in, HANDLE pipe) {
  INPUT_RECORD rec;
  DWORD got = 0, written = 0;
  if (!ReadConsoleInputW(in, &rec, 1, &got) || got == 0) return true;
  if (rec.EventType != KEY_EVENT || !rec.Event.KeyEvent.bKeyDown) return true;
  wchar_t c = rec.Event.KeyEvent.uChar.UnicodeChar;
  if (c == 0) return true;  // a modifier alone, as at a console
  char byte = c < 0x80 ? static_cast<char>(c) : ' ';
  return WriteFile(pipe, &byte, 1, &written, nullptr) != 0;
}

// Waits until a key is pressed at the console: true, or false when the relay
// ends first. A read begun earlier would put the echo of what is typed where
// the cursor stood then, before the program's prompt.
bool Wait_For_Typing(HANDLE in) {
  HANDLE events[2] = {RELAY_ENDING, in};
  while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
    INPUT_RECORD rec;
    DWORD got = 0;
    if (!PeekConsoleInputW(in, &rec, 1, &got) || got == 0) {
      Sleep(10);
      continue;
    }
    if (rec.EventType == KEY_EVENT && rec.Event.KeyEvent.bKeyDown) return true;
    ReadConsoleInputW(in, &rec, 1, &got);  // a mouse or focus event: no line reads it
  }
  return false;
}

// Whether this runs under Wine, whose pipes drop a write of nothing.
bool Runs_Under_Wine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

DWORD WINAPI Relay_Lines(void* pipe) {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  wchar_t buf[4096];
  Typed_Lines lines;
  std::wstring text;
  while (Wait_For_Typing(in)) {
    if (lines.line_start && Program_Runs_Interpreter()) {
      if (!Relay_One_Key(in, pipe)) break;
      continue;
    }
    DWORD got = 0;
    if (!ReadConsoleW(in, buf, 4096, &got, nullptr)) {
      // Ctrl+C ends a read: the program decides whether it ends too.
      if (GetLastError() == ERROR_OPERATION_ABORTED) continue;
      break;
    }
    // Ctrl+Z at the start of a line ends only the read that meets it, as at
    // a console: the program may clear the end of input and read on. Windows
    // hands a write of nothing to the reader as a read of nothing; Wine drops
    // it, and there the pipe is closed instead. Passed on, a 0x1A would end
    // the program's input for good.
    if (!Take_Typed_Text(lines, buf, got, text)) {
      DWORD written = 0;
      if (Runs_Under_Wine() || !WriteFile(pipe, buf, 0, &written, nullptr)) break;
      continue;
    }
    if (text.empty()) continue;
    std::string bytes = Narrow(text);
    DWORD written = 0;
    if (!WriteFile(pipe, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
      break;
  }
  CloseHandle(pipe);
  return 0;
}

}  // namespace

void Prepare_Program_Input() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  if (!Is_Console(in)) return;
  Use_Input_Code_Page(CP_UTF8);
  // The tests' way into the branch of a console that Wine's is not.
  bool seam = !Environment_Variable(L"TIVEX_TEST_PROBE_FAILS").empty();
  CONSOLE_GIVES_UTF8 = !seam && Probe_Reads_Utf8(Probe_Console_Read(in));
}

HANDLE Begin_Input_Relay(const std::wstring& program) {
  WANTS_READER = false;
  if (CONSOLE_GIVES_UTF8 || !Is_Console(GetStdHandle(STD_INPUT_HANDLE))) return nullptr;
  std::string image = Read_Program_Image(program);
  if (Imports_Console_Reading(image)) {
    WANTS_READER = Same_Machine(image);
    return nullptr;
  }
  HANDLE read_end = nullptr, write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, nullptr, 0)) return nullptr;
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  if (RELAY_ENDING == nullptr) RELAY_ENDING = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ResetEvent(RELAY_ENDING);
  RELAY_THREAD = RELAY_ENDING ? CreateThread(nullptr, 0, Relay_Lines, write_end, 0, nullptr) : nullptr;
  if (RELAY_THREAD == nullptr) {
    CloseHandle(read_end);
    CloseHandle(write_end);
    return nullptr;
  }
  return read_end;
}

unsigned long Program_Start_Flags() { return WANTS_READER ? CREATE_SUSPENDED : 0; }

void Program_Input_Started(const PROCESS_INFORMATION& pi) {
  RELAY_PROGRAM = pi.dwProcessId;
  if (!WANTS_READER) return;
  // Without the reader the program runs as it did before there was one.
  Load_Console_Reader(pi.hProcess);
  ResumeThread(pi.hThread);
}

void End_Input_Relay() {
  RELAY_PROGRAM = 0;
  if (RELAY_THREAD == nullptr) return;
  SetEvent(RELAY_ENDING);
  // A line begun but not finished when the program ended keeps the relay in
  // ReadConsoleW; where that read cannot be cancelled, an Enter ends it.
  if (WaitForSingleObject(RELAY_THREAD, 200) == WAIT_TIMEOUT) {
    CancelSynchronousIo(RELAY_THREAD);
    if (WaitForSingleObject(RELAY_THREAD, 200) == WAIT_TIMEOUT)
      Type_Keys(GetStdHandle(STD_INPUT_HANDLE), 0);
  }
  WaitForSingleObject(RELAY_THREAD, 1000);
  CloseHandle(RELAY_THREAD);
  RELAY_THREAD = nullptr;
}
