// Windows: ConsoleReader.dll, which ConsolePauser loads into a program that keeps its console.
//
// Where the console hands no UTF-8 to ReadFile (Windows 10's conhost gives
// NUL bytes for Chinese at input code page 65001), such a program keeps the
// console all the same, for its _getch. This library answers the program's
// reads of the console in bytes (ReadFile and ReadConsoleA, as every C runtime
// reads a line) with ReadConsoleW, whose UTF-16 the console gets right, in
// UTF-8. Nothing else changes: the console echoes and edits the line as
// before, and single keys are read as before.

#include <windows.h>
#include <psapi.h>

#include <cstring>

namespace {

// What was read but not yet taken: a read may ask for fewer bytes than a
// line is long in UTF-8. One console, so one of each.
CRITICAL_SECTION READING;
constexpr DWORD WIDE_READ = 4096;
char PENDING[3 * WIDE_READ + 8];
DWORD PENDING_AT = 0, PENDING_END = 0;
wchar_t HELD = 0;        // a surrogate whose pair the next read brings
bool LINE_START = true;  // the next character begins a line
bool DROPPING = false;   // the rest of a line after a Ctrl+Z, which a console drops

// Whether a read in bytes of `h` is to be answered here: `h` is the
// console's input (only that has input events), the program has not chosen
// a code page of its own, and line input is on (a raw read takes keys, which
// the console gives as they are).
bool Answers_Here(HANDLE h) {
  DWORD mode = 0, events = 0;
  return GetConsoleCP() == CP_UTF8 && GetConsoleMode(h, &mode) &&
         GetNumberOfConsoleInputEvents(h, &events) && (mode & ENABLE_LINE_INPUT);
}

// Reads the console once into PENDING; `end` when the line read starts with
// a Ctrl+Z, which a console's line reader takes as an end of input. It takes
// a line only up to a Ctrl+Z in it, and drops the rest. False, with the
// console's error, when the read fails.
bool Fill_Pending(HANDLE h, bool& end) {
  wchar_t text[WIDE_READ + 1];
  DWORD count = HELD ? 1 : 0, got = 0;
  text[0] = HELD;
  if (!ReadConsoleW(h, text + count, WIDE_READ, &got, nullptr)) return false;
  HELD = 0;
  count += got;
  PENDING_AT = PENDING_END = 0;
  if (got == 0) return true;
  end = LINE_START && text[0] == 0x1A;
  if (end) return true;
  bool ends_line = text[count - 1] == L'\n';
  DWORD keep = 0;
  while (!DROPPING && keep < count && text[keep] != 0x1A) keep++;
  if (keep < count) DROPPING = !ends_line;
  LINE_START = ends_line;
  count = keep;
  if (count > 0 && IS_HIGH_SURROGATE(text[count - 1])) HELD = text[--count];
  int bytes = count ? WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(count), PENDING,
                                          sizeof PENDING, nullptr, nullptr)
                    : 0;
  PENDING_END = bytes > 0 ? static_cast<DWORD>(bytes) : 0;
  return true;
}

// A read of `n` bytes from the console `h`, in UTF-8.
BOOL Read_Utf8(HANDLE h, void* buf, DWORD n, DWORD* got) {
  EnterCriticalSection(&READING);
  BOOL ok = TRUE;
  bool end = false;
  while (n != 0 && PENDING_AT == PENDING_END && !end && ok) ok = Fill_Pending(h, end);
  DWORD take = PENDING_END - PENDING_AT < n ? PENDING_END - PENDING_AT : n;
  std::memcpy(buf, PENDING + PENDING_AT, take);
  PENDING_AT += take;
  if (got) *got = ok ? take : 0;
  LeaveCriticalSection(&READING);
  return ok;
}

BOOL WINAPI Read_File(HANDLE h, LPVOID buf, DWORD n, LPDWORD got, LPOVERLAPPED overlapped) {
  if (overlapped != nullptr || !Answers_Here(h)) return ReadFile(h, buf, n, got, overlapped);
  return Read_Utf8(h, buf, n, got);
}

BOOL WINAPI Read_Console_A(HANDLE h, LPVOID buf, DWORD n, LPDWORD got,
                           PCONSOLE_READCONSOLE_CONTROL control) {
  // The control's characters already typed are counted in bytes, which a
  // read in UTF-16 cannot take over: such a read (a shell's) is left as it is.
  if (!Answers_Here(h) || control != nullptr) return ReadConsoleA(h, buf, n, got, control);
  return Read_Utf8(h, buf, n, got);
}

// Points the import `slot` at `call`.
void Replace_Import(ULONG_PTR* slot, void* call) {
  DWORD before = 0;
  if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &before)) return;
  *slot = reinterpret_cast<ULONG_PTR>(call);
  VirtualProtect(slot, sizeof *slot, before, &before);
}

// Points the module's imports of ReadFile and ReadConsoleA here, from
// whichever library it takes them.
void Redirect_Imports(HMODULE module) {
  auto* base = reinterpret_cast<BYTE*>(module);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  IMAGE_DATA_DIRECTORY imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return;
  auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
  for (; d->Name != 0; d++) {
    if (d->OriginalFirstThunk == 0) continue;  // no names to go by
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData != 0; names++, slots++) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* import = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      const char* name = reinterpret_cast<const char*>(import->Name);
      if (std::strcmp(name, "ReadFile") == 0)
        Replace_Import(&slots->u1.Function, reinterpret_cast<void*>(Read_File));
      if (std::strcmp(name, "ReadConsoleA") == 0)
        Replace_Import(&slots->u1.Function, reinterpret_cast<void*>(Read_Console_A));
    }
  }
}

// Redirects the reads of every module loaded now (the program, its C
// runtime) but the system's own libraries, which implement them, and this
// one, whose calls reach the console's own.
void Redirect_Loaded_Modules(HMODULE self) {
  HMODULE modules[512];
  DWORD bytes = 0;
  if (!EnumProcessModules(GetCurrentProcess(), modules, sizeof modules, &bytes)) return;
  HMODULE skip[] = {self, GetModuleHandleW(L"kernel32.dll"), GetModuleHandleW(L"kernelbase.dll"),
                    GetModuleHandleW(L"ntdll.dll")};
  for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; i++) {
    bool skipped = false;
    for (HMODULE s : skip) skipped = skipped || modules[i] == s;
    if (!skipped) Redirect_Imports(modules[i]);
  }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  InitializeCriticalSection(&READING);
  DisableThreadLibraryCalls(self);
  Redirect_Loaded_Modules(self);
  return TRUE;
}
