#include "unit/scratch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

fs::path U8(const std::string& s) {
  return fs::path(std::u8string(s.begin(), s.end()));
}

std::string Str(const fs::path& p) {
  std::u8string u = p.u8string();
  return std::string(u.begin(), u.end());
}

}  // namespace

Scratch::Scratch() {
  static std::atomic<int> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path base = fs::temp_directory_path();
  for (int tries = 0; tries < 100; tries++) {
    fs::path p = base / ("tivex-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    if (fs::create_directory(p)) {
      dir_ = Str(fs::canonical(p));
      return;
    }
  }
  throw std::runtime_error("cannot make a scratch directory");
}

Scratch::~Scratch() {
  std::error_code ec;
  fs::remove_all(U8(dir_), ec);
}

std::string Scratch::Path(const std::string& name) const { return Str(U8(dir_) / U8(name)); }

void Scratch::Write(const std::string& name, const std::string& content) const {
  std::ofstream out(U8(Path(name)), std::ios::binary);
  out << content;
}

std::string Scratch::Read(const std::string& name) const {
  std::ifstream in(U8(Path(name)), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Scratch::Exists(const std::string& name) const {
  std::error_code ec;
  return fs::exists(fs::symlink_status(U8(Path(name)), ec));
}

void Scratch::Mkdir(const std::string& name) const { fs::create_directories(U8(Path(name))); }

std::string Scratch::Listing(const std::string& sub) const {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(U8(sub.empty() ? dir_ : Path(sub)))) names.push_back(Str(e.path().filename()));
  std::sort(names.begin(), names.end());
  std::string out;
  for (const std::string& n : names) out += (out.empty() ? "" : " ") + n;
  return out;
}

Cwd_Guard::Cwd_Guard(const std::string& dir) : old_(fs::current_path()) {
  fs::current_path(U8(dir));
}

Cwd_Guard::~Cwd_Guard() {
  std::error_code ec;
  fs::current_path(old_, ec);
}

std::string Own_Program_Path() {
#ifdef _WIN32
  wchar_t buf[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
  return Str(fs::path(std::wstring(buf, n)));
#else
  return Str(fs::read_symlink("/proc/self/exe"));
#endif
}
