// Windows: a compiler that reads its arguments and writes its messages in the
// ANSI code page (MinGW before GCC 13, TDM-GCC) gets short paths and its own
// code page at the console.

#include <windows.h>

#include <string>

#include "platform/compiler.h"
#include "platform/file_system.h"
#include "platform/commands.h"
#include "platform/programs.h"
#include "platform/text_internal.h"
#include "platform/windows_internal.h"

namespace {

UINT OUTPUT_CP_BEFORE = 0;     // the console's, while an ANSI compiler runs; 0 when none
std::wstring BUILT, PROGRAM;   // a program written under another name, and its own
std::string UNREADABLE;        // what the last compile's paths hold that it cannot read
std::string UNREADABLE_OWN;    // what the compiler's own path holds that it cannot read
UINT ANSI_CP = 0;              // the code page of an ANSI compiler; 0 for a UTF-8 one

// Whether the program at `path` says in its manifest that it speaks UTF-8
// (GCC 13 and later do), read without running it.
bool Has_Utf8_Manifest(const std::wstring& path) {
  HMODULE image = LoadLibraryExW(path.c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (image == nullptr) return false;
  bool utf8 = false;
  // A program's manifest is its resource number 1 of type RT_MANIFEST.
  if (HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
    HGLOBAL loaded = LoadResource(image, found);
    const char* text = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (text) utf8 = Manifest_Says_Utf8(std::string(text, SizeofResource(image, found)));
  }
  FreeLibrary(image);
  return utf8;
}

// Whether every character of `w` has a byte form in the code page `cp`.
bool Fits_Code_Page(const std::wstring& w, UINT cp) {
  if (cp == CP_UTF8 || w.empty()) return true;
  BOOL lost = FALSE;
  int n = WideCharToMultiByte(cp, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()),
                              nullptr, 0, nullptr, &lost);
  return n > 0 && !lost;
}

// The characters of `w` without a byte form in the code page `cp`, added to
// `found` unless it has them.
void Collect_Unfitting(const std::wstring& w, UINT cp, std::wstring& found) {
  for (size_t i = 0; i < w.size(); i++) {
    size_t n = IS_HIGH_SURROGATE(w[i]) && i + 1 < w.size() ? 2 : 1;
    std::wstring c = w.substr(i, n);
    i += n - 1;
    if (!Fits_Code_Page(c, cp) && found.find(c) == std::wstring::npos) found += c;
  }
}

// `path` as a compiler reading the code page `cp` can take it: itself where
// it fits, else its short form where that fits; itself when neither does.
std::wstring Readable_Path(const std::wstring& path, UINT cp) {
  if (Fits_Code_Page(path, cp)) return path;
  wchar_t short_form[32768];
  DWORD n = GetShortPathNameW(Full_Path(path).c_str(), short_form, 32768);
  std::wstring shorter(short_form, n > 0 && n < 32768 ? n : 0);
  return !shorter.empty() && Fits_Code_Page(shorter, cp) ? shorter : path;
}

// Where a compiler reading `cp` is to write the program `program`: a path it
// can read in the program's folder, under an ASCII name when the program's
// own name does not fit (BUILT and PROGRAM then say so).
std::wstring Readable_Program_Path(const std::wstring& program, UINT cp) {
  if (Fits_Code_Page(program, cp)) return program;
  std::wstring full = Full_Path(program);
  if (full.empty()) full = program;
  size_t slash = full.find_last_of(L"\\/");
  std::wstring folder = full.substr(0, slash + 1), name = full.substr(slash + 1);
  folder = Readable_Path(folder, cp);
  if (Fits_Code_Page(name, cp)) return folder + name;
  PROGRAM = program;
  BUILT = folder + L"tivex-build-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
  return BUILT;
}

}  // namespace

void Begin_Compile(const std::string& compiler, const std::string& source,
                   const std::string& program, std::string& compiler_arg, std::string& source_arg,
                   std::string& program_arg) {
  compiler_arg = compiler;
  source_arg = source;
  program_arg = program;
  BUILT.clear();
  UNREADABLE.clear();
  UNREADABLE_OWN.clear();
  // The interpreter starts a compile from a network folder in the Windows
  // folder instead: the paths must not depend on where it starts.
  if (Working_Directory_Is_Unc()) {
    for (std::string* arg : {&compiler_arg, &source_arg, &program_arg})
      if (!Full_Path(Widen(*arg)).empty()) *arg = Narrow(Full_Path(Widen(*arg)));
  }
  ANSI_CP = 0;
  UINT cp = GetACP();
  if (cp == CP_UTF8 || Has_Utf8_Manifest(Widen(compiler))) return;
  ANSI_CP = cp;
  // It finds cc1plus beside itself through GetModuleFileNameA.
  std::wstring compiler_w = Readable_Path(Widen(compiler_arg), cp), own;
  Collect_Unfitting(compiler_w, cp, own);
  compiler_arg = Narrow(compiler_w);
  UNREADABLE_OWN = Narrow(own);
  std::wstring source_w = Readable_Path(Widen(source_arg), cp);
  std::wstring program_w = Readable_Program_Path(Widen(program_arg), cp);
  std::wstring unreadable;
  Collect_Unfitting(source_w + program_w, cp, unreadable);
  source_arg = Narrow(source_w);
  program_arg = Narrow(program_w);
  UNREADABLE = Narrow(unreadable);
  // Its messages, and the names in them, are bytes of the ANSI code page.
  if (Is_Console(GetStdHandle(STD_OUTPUT_HANDLE))) {
    OUTPUT_CP_BEFORE = Use_Output_Code_Page(cp);
  }
}

bool End_Compile(bool compiled) {
  if (OUTPUT_CP_BEFORE) Use_Output_Code_Page(OUTPUT_CP_BEFORE);
  OUTPUT_CP_BEFORE = 0;
  if (BUILT.empty()) return compiled;
  // An antivirus holds a new program for a moment: the move is retried as a
  // save of the settings is.
  bool moved = compiled && Replace_File(Narrow(BUILT), Narrow(PROGRAM)).empty();
  if (!moved) DeleteFileW(BUILT.c_str());
  BUILT.clear();
  return moved;
}

std::string Unreadable_Characters() { return UNREADABLE; }

std::string Unreadable_Compiler_Characters() { return UNREADABLE_OWN; }

bool Compiler_Shows_Chinese() {
  // Simplified and Traditional Chinese Windows (GBK, Big5) hold it.
  return ANSI_CP == 0 || ANSI_CP == 936 || ANSI_CP == 950;
}

std::string Compile_Messages() {
  const std::string& raw = Captured_Errors();
  if (ANSI_CP == 0 || raw.empty()) return raw;
  int n = MultiByteToWideChar(ANSI_CP, 0, raw.data(), static_cast<int>(raw.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(ANSI_CP, 0, raw.data(), static_cast<int>(raw.size()), w.data(), n);
  return Narrow(w);
}
