// Windows: the file system through Win32, every path in UTF-16 (CreateFileW,
// MoveFileExW, attributes).

#include <windows.h>

#include <string>

#include "platform/errors_internal.h"
#include "platform/file_system.h"
#include "platform/file_system_internal.h"
#include "platform/test_seams.h"
#include "platform/text_internal.h"
#include "platform/windows_internal.h"

namespace {

// Writes all of `data` to `h` and flushes it to disk; "" or what failed.
std::string Write_And_Flush(HANDLE h, const std::string& data) {
  DWORD size = static_cast<DWORD>(Fault_At("write") ? data.size() / 2 : data.size());
  DWORD written = 0;
  if (!WriteFile(h, data.data(), size, &written, nullptr)) return Call_Error("WriteFile", GetLastError());
  if (written < data.size()) return Call_Error("WriteFile", ERROR_WRITE_FAULT);
  FILE_CALLS.push_back("WriteFile");
  if (Fault_At("flush")) return Call_Error("FlushFileBuffers", ERROR_WRITE_FAULT);
  if (!FlushFileBuffers(h)) return Call_Error("FlushFileBuffers", GetLastError());
  FILE_CALLS.push_back("FlushFileBuffers");
  return "";
}

// Creates a fresh temporary file beside `p`, passing over names that a
// leftover holds; its handle, or INVALID_HANDLE_VALUE with `error` set.
HANDLE Create_Fresh_Temp(const std::string& p, std::string& temp, std::string& error) {
  DWORD err = 0;
  for (int attempt = 0; attempt < 100; attempt++) {
    temp = Temp_Name_Beside(p, attempt);
    HANDLE h = CreateFileW(Widen(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) return h;
    err = GetLastError();
    if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) break;
  }
  error = Call_Error("CreateFileW", err);
  return INVALID_HANDLE_VALUE;
}

// Whether `err` is what an antivirus, an indexer or a sync client causes
// while it holds a file that was just written, for a moment.
bool Is_Brief_Lock(DWORD err) {
  return err == ERROR_ACCESS_DENIED || err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION;
}

bool Attributes_Of(const std::string& p, WIN32_FILE_ATTRIBUTE_DATA& data) {
  return GetFileAttributesExW(Widen(p).c_str(), GetFileExInfoStandard, &data) != 0;
}

}  // namespace

unsigned long Process_Id() { return GetCurrentProcessId(); }

namespace {

// `p` as the file system is to be asked about it. Windows drops the blanks
// and dots at the end of a path, but a component that a separator follows
// keeps its blanks ("dir \" is not "dir"): such a path is resolved as
// Windows resolves it, and then asked about without further changes.
std::wstring Queried_Path(const std::string& p) {
  std::string trimmed = Without_Trailing_Separators(p, "\\/");
  std::wstring w = Widen(trimmed, MB_ERR_INVALID_CHARS);
  bool kept = trimmed.size() < p.size() && (trimmed.back() == ' ' || trimmed.back() == '.');
  if (!kept || w.empty()) return w;
  std::wstring full = Full_Path(Widen(p, MB_ERR_INVALID_CHARS));
  while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
  if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC" + full.substr(1);
  return full.empty() ? w : L"\\\\?\\" + full;
}

}  // namespace

Path_Kind Platform_Path_Status(const std::string& p) {
  std::wstring w = Queried_Path(p);
  DWORD attrs = GetFileAttributesW(w.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) return PATH_MISSING;
  if (attrs & FILE_ATTRIBUTE_REPARSE_POINT) {
    // A link: what counts is what it leads to.
    HANDLE h = CreateFileW(w.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return PATH_MISSING;
    BY_HANDLE_FILE_INFORMATION info;
    bool ok = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!ok) return PATH_MISSING;
    attrs = info.dwFileAttributes;
  }
  if (attrs & FILE_ATTRIBUTE_DIRECTORY) return PATH_DIRECTORY;
  if (attrs & FILE_ATTRIBUTE_DEVICE) return PATH_OTHER;
  return PATH_FILE;
}

bool Platform_Is_Executable(const std::string&) { return true; }

bool Platform_Is_Compiled_Program(const std::string&) { return true; }

bool Modified_Time(const std::string& p, long long& time) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!Attributes_Of(p, data)) return false;
  time = (static_cast<long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
         data.ftLastWriteTime.dwLowDateTime;
  return true;
}

bool File_Is_Empty(const std::string& p) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!Attributes_Of(p, data)) return false;
  return !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && data.nFileSizeHigh == 0 &&
         data.nFileSizeLow == 0;
}

bool Can_Open_For_Writing(const std::string& p) {
  HANDLE h = CreateFileW(Widen(p).c_str(), GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

std::string Create_New_File(const std::string& p) {
  HANDLE h = CreateFileW(Widen(p).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return Error_Reason(GetLastError());
  CloseHandle(h);
  return "";
}

std::string Read_Head(const std::string& p, int lines, std::string& text) {
  text.clear();
  HANDLE h = CreateFileW(Widen(p).c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return Call_Error("CreateFileW", GetLastError());
  std::string error = Read_Head_Through(
      [h](char* buf, size_t size, std::string& failed) -> long {
        DWORD got = 0;
        if (ReadFile(h, buf, static_cast<DWORD>(size), &got, nullptr)) return static_cast<long>(got);
        failed = Call_Error("ReadFile", GetLastError());
        return -1;
      },
      "ReadFile", lines, text);
  CloseHandle(h);
  return error;
}

std::string Link_Target(const std::string& p) { return p; }

// A read-only settings file is replaced all the same: Windows marks files
// read-only for reasons of its own, and the save clears the attribute.
std::string Replace_Refusal(const std::string& p, bool) {
  if (Platform_Path_Status(p) != PATH_OTHER) return "";
  return p + " is a device, not a regular file; it is left as it is";
}

std::string Write_Temp_Beside(const std::string& p, const std::string& data, std::string& temp) {
  if (Fault_At("create")) return Call_Error("CreateFileW", ERROR_ACCESS_DENIED);
  std::string error;
  HANDLE h = Create_Fresh_Temp(p, temp, error);
  if (h == INVALID_HANDLE_VALUE) return error;
  FILE_CALLS.push_back("CreateFileW");
  error = Write_And_Flush(h, data);
  CloseHandle(h);
  if (!error.empty()) Remove_File(temp);
  return error;
}

std::string Replace_File(const std::string& from, const std::string& to) {
  if (Fault_At("rename")) return Call_Error("MoveFileExW", ERROR_ACCESS_DENIED);
  std::wstring wf = Widen(from), wt = Widen(to);
  DWORD attrs = GetFileAttributesW(wt.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) &&
      !RemoveDirectoryW(wt.c_str()))
    return Call_Error("RemoveDirectoryW", GetLastError());
  const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
  const DWORD blocking = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  bool cleared = false;
  // Back-off of 10 ms, doubled up to half a second: about 2 s in all.
  for (DWORD pause = 10, waited = 0;; waited += pause, pause = pause < 250 ? pause * 2 : 500) {
    if (MoveFileExW(wf.c_str(), wt.c_str(), flags)) {
      FILE_CALLS.push_back("MoveFileExW");
      return "";
    }
    DWORD err = GetLastError();
    if (!cleared && attrs != INVALID_FILE_ATTRIBUTES && (attrs & blocking)) {
      // The old file's attributes may forbid the replace: clear them and try again.
      SetFileAttributesW(wt.c_str(), FILE_ATTRIBUTE_NORMAL);
      cleared = true;
      continue;
    }
    if (!Is_Brief_Lock(err) || waited >= 2000) {
      if (cleared) SetFileAttributesW(wt.c_str(), attrs);
      return Call_Error("MoveFileExW", err);
    }
    Sleep(pause);
  }
}

void Remove_File(const std::string& p) { DeleteFileW(Widen(p).c_str()); }

void Hide_File(const std::string& p) {
  SetFileAttributesW(Widen(p).c_str(), FILE_ATTRIBUTE_HIDDEN);
}

std::string Expand_Home(const std::string& p) { return p; }

std::string Opened_Path(const std::string& p) { return Without_Trailing_Blanks_And_Dots(p); }
