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

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/typed_lines_windows.h"
#include "platform/windows_internal.h"

namespace {

// What was read but not yet taken: a read may ask for fewer bytes than a
// line is long in UTF-8. One console, so one of each.
CRITICAL_SECTION READING;
std::string PENDING;
size_t PENDING_AT = 0;
Typed_Lines LINES;

// Whether a read in bytes of `h` is to be answered here: `h` is the
// console's input (only that has input events), the program has not chosen
// a code page of its own, and line input is on (a raw read takes keys, which
// the console gives as they are).
bool Answers_Here(HANDLE h) {
  DWORD mode = 0, events = 0;
  return GetConsoleCP() == CP_UTF8 && GetConsoleMode(h, &mode) &&
         GetNumberOfConsoleInputEvents(h, &events) && (mode & ENABLE_LINE_INPUT);
}

// Reads the console once into PENDING; `end` when the read was an end of
// input. False, with the console's error, when the read fails.
bool Fill_Pending(HANDLE h, bool& end) {
  wchar_t read[4096];
  DWORD got = 0;
  if (!ReadConsoleW(h, read, 4096, &got, nullptr)) return false;
  std::wstring text;
  end = !Take_Typed_Text(LINES, read, got, text);
  PENDING = Narrow(text);
  PENDING_AT = 0;
  return true;
}

// A read of `n` bytes from the console `h`, in UTF-8.
BOOL Read_Utf8(HANDLE h, void* buf, DWORD n, DWORD* got) {
  EnterCriticalSection(&READING);
  BOOL ok = TRUE;
  bool end = false;
  while (n != 0 && PENDING_AT == PENDING.size() && !end && ok) ok = Fill_Pending(h, end);
  size_t take = std::min<size_t>(PENDING.size() - PENDING_AT, n);
  std::memcpy(buf, PENDING.data() + PENDING_AT, take);
  PENDING_AT += take;
  if (got) *got = ok ? static_cast<DWORD>(take) : 0;
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
