#include "dialogue/harness.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include "unit/scratch.h"

namespace {

std::string Env(const char* name, const std::string& fallback) {
  const char* v = std::getenv(name);
  return v && *v ? v : fallback;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// `in_fd` is the standard input to give, or -1 to open the file `in`.
[[noreturn]] void Exec_Child(const std::vector<std::string>& argv, const std::string& dir,
                             int in_fd, const std::string& in, const std::string& out,
                             const std::string& err, const std::vector<std::string>& env) {
  if (chdir(dir.c_str()) != 0) _exit(126);
  int fds[3] = {in_fd >= 0 ? in_fd : open(in.c_str(), O_RDONLY),
                open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644),
                open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)};
  for (int i = 0; i < 3; i++)
    if (fds[i] < 0 || dup2(fds[i], i) < 0) _exit(126);
  // A test decides for itself which window and editor tivex may find.
  for (const char* name : {"TMUX", "DISPLAY", "WAYLAND_DISPLAY", "VISUAL", "EDITOR", "TERMINAL", "LANGUAGE"})
    unsetenv(name);
  setenv("WINEDEBUG", "-all", 1);
  for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
  std::vector<char*> args;
  if (Under_Wine()) args.push_back(const_cast<char*>("wine"));
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

int Wait_With_Limit(pid_t pid) {
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > limit) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + WTERMSIG(status);
}

std::string Page(int spaces, const std::string& header, const std::string& items) {
  return Cls() + std::string(spaces, ' ') + header + "\n" + std::string(100, '-') + "\n" + items;
}

}  // namespace

bool Under_Wine() { return Env("TIVEX_WINE", "") == "1"; }

std::string Tivex_File() { return Env("TIVEX_BIN", TIVEX_BIN); }

Outcome Run_Tivex(const std::string& dir, const std::string& input,
                  const std::vector<std::string>& env, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {Tivex_File()};
  argv.insert(argv.end(), args.begin(), args.end());
  return Run_Binary(argv, dir, input, env);
}

Outcome Run_Tivex_Fed(const std::string& dir, const std::vector<std::string>& chunks) {
  Scratch io;
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    close(fds[1]);
    fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    Exec_Child({Tivex_File()}, dir, fds[0], "", io.Path("out"), io.Path("err"), {});
  }
  close(fds[0]);
  for (const std::string& chunk : chunks) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    if (write(fds[1], chunk.data(), chunk.size()) < 0) break;
  }
  close(fds[1]);
  int status = Wait_With_Limit(pid);
  return Outcome{Slurp(io.Path("out")), Slurp(io.Path("err")), status};
}

std::vector<std::string> Without_Compilers(const Scratch& dir) {
  if (Under_Wine()) return {};
  return {"PATH=" + dir.Path("no such directory")};
}

std::string Pauser_File() { return Env("TIVEX_PAUSER", CONSOLE_PAUSER); }

Outcome Run_Pauser(const std::string& dir, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {Pauser_File()};
  argv.insert(argv.end(), args.begin(), args.end());
  return Run_Binary(argv, dir, "", {});
}

Outcome Run_Binary(const std::vector<std::string>& argv, const std::string& dir,
                   const std::string& input, const std::vector<std::string>& env) {
  Scratch io;
  io.Write("in", input);
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) Exec_Child(argv, dir, -1, io.Path("in"), io.Path("out"), io.Path("err"), env);
  int status = Wait_With_Limit(pid);
  return Outcome{Slurp(io.Path("out")), Slurp(io.Path("err")), status};
}

std::string Tivex_Path(const std::string& path) {
  if (!Under_Wine()) return path;
  std::string p = "Z:" + path;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

std::string Helper_File(const std::string& name) {
  std::string dir = Env("TIVEX_HELPERS", "");
  if (!dir.empty()) return dir + "/" + name + ".exe";
  return name == "fake_compiler" ? FAKE_COMPILER : FAKE_PROGRAM;
}

std::string Helper(const std::string& name) { return Tivex_Path(Helper_File(name)); }

std::string Read_File(const std::string& path) { return Slurp(path); }

bool Place_Fake_Program(const std::string& path) {
  std::ofstream(path, std::ios::binary) << Slurp(Helper_File("fake_program"));
  return chmod(path.c_str(), 0755) == 0;
}

void Place_Program(const Scratch& dir, const std::string& name, const std::string& status) {
  ASSERT_TRUE(Place_Fake_Program(dir.Path(name)));
  size_t slash = name.rfind('/');
  std::string beside = slash == std::string::npos ? "" : name.substr(0, slash + 1);
  if (!status.empty()) dir.Write(beside + "status.txt", status);
}

std::string Exe(const std::string& base) { return base + (Under_Wine() ? ".exe" : ""); }

std::string Lane(const std::string& text) {
  if (!Under_Wine()) return text;
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string Cls() { return "\f"; }

std::string Pause() { return "请按任意键继续. . .\n"; }

std::string Main_Screen() {
  return Page(43, "Tivex C++ IDE",
              "1. 编辑 C++ 文件\n2. 运行 C++ 程序\n3. 设置\n4. 保存信息并退出\n\n");
}

std::string Edit_Screen() {
  return Page(35, "Tivex C++ IDE -- 编辑 C++ 文件",
              "1. 新建 C++ 文件\n2. 打开已有 C++ 文件\n3. 返回\n\n");
}

std::string Settings_Screen() {
  return Page(39, "Tivex C++ IDE -- 设置",
              "1. 修改编译器（g++.exe）路径\n2. 修改 ConsolePauser 路径\n3. 修改编译选项\n"
              "4. 程序信息\n5. 返回\n\n");
}

std::string Farewell() { return Cls() + "将在 3s 内退出……\n"; }
