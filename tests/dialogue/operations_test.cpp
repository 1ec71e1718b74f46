// What the menus do: the settings editors, new and open source file, build
// and run, with stand-ins for the compiler, the editor and the program.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "dialogue/harness.h"
#include "unit/scratch.h"

namespace {

const std::string NOT_FILE = "路径指向的不是文件，请重新输入。\n";
const std::string WRONG_TYPE = "路径指向的文件类型不正确，请重新输入。\n";

void Write_Settings(const Scratch& dir, const std::string& com, const std::string& con,
                    const std::string& options = "") {
  dir.Write(SETTINGS_FILE, com + "\r\n" + con + "\r\n" + options);
}

// The whole transcript of one Run from the main menu, back to the main menu,
// where the input ends; `body` is what follows the empty line after the
// source path.
std::string Run_Transcript(const std::string& body) {
  return Main_Screen() + Cls() + "请输入 C++ 文件的完整路径：\n\n" + body + Pause() +
         Main_Screen();
}

const std::string AUTO_COMPILE = "未找到对应程序的 exe 文件，自动编译。\n正在编译……\n";
const std::string COMPILED = "fake_compiler: ok\n编译成功！\n\n";
const std::string FAILED = "fake_compiler: error\n编译失败！\n\n";
const std::string ASK_COMPILE = "是否需要编译？（0/1）\n";
const std::string ASK_RUN = "是否需要运行？（0/1）\n";
// The fallback to a direct start, and the hint at the ConsolePauser that
// lies beside tivex, as it does in a build.
const std::string NO_PAUSER = "no-pauser";
const std::string DIRECT = "ConsolePauser 路径无效。即将直接启动程序。\nTivex 旁边有 ConsolePauser：" +
                           Tivex_Path(Pauser_File()) + "，可以在“设置 → 2”中填入这个路径。\n";

// What a started program writes here: on Windows it runs in a console window
// of its own, so only program_ran.txt shows it.
std::string Started(const std::string& line) { return Under_Wine() ? "" : line + "\n"; }

// On Windows the compiler's directory `compiler_dir`, where MinGW's runtime
// DLLs lie, leads the PATH `path` that a compiler or program found; POSIX
// leaves PATH as it is.
void Expect_Compiler_Path(const std::string& path, const std::string& compiler_dir) {
  if (Under_Wine())
    EXPECT_EQ(path.rfind(compiler_dir + ";", 0), 0u) << path;
  else
    EXPECT_EQ(path, std::getenv("PATH"));
}

// The lines that fake_program left in `dir`, once it has written any.
std::string Program_Ran(const Scratch& dir) {
  for (int i = 0; i < 100 && !dir.Exists("program_ran.txt"); i++)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return dir.Read("program_ran.txt");
}

class BuildAndRun : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("a.cpp", "int main() {}\n");
    dir_.Write("bad.cpp", "int main() {\n");
    // A ConsolePauser setting that names nothing: the program starts directly.
    Write_Settings(dir_, Helper("fake_compiler"), NO_PAUSER);
  }
  Outcome Run(const std::string& answers) { return Run_Tivex(dir_.Dir(), "2\n" + answers); }
  Scratch dir_;
};

}  // namespace

TEST_F(BuildAndRun, InvalidCompilerPathStopsBeforeAnythingWithAHintAtAFoundOne) {
  Write_Settings(dir_, "", "");
  Place_Program(dir_, Exe("a"));
  Outcome o = Run_Tivex(dir_.Dir(), "2\na.cpp\n", Without_Compilers(dir_));
  EXPECT_EQ(o.out, Lane(Run_Transcript("编译器路径无效！请重新设置。\n\n")));
  EXPECT_FALSE(dir_.Exists("compiler_args.txt"));
  EXPECT_EQ(o.status, 1);
  if (Under_Wine()) {
    // Where Dev-C++ and Code::Blocks keep their MinGW, in Wine's Program Files.
    const std::string programs = std::string(std::getenv("WINEPREFIX")) + "/drive_c/Program Files/";
    for (std::string ide : {"Dev-Cpp\\MinGW64\\bin", "CodeBlocks\\MinGW\\bin"}) {
      std::string unix_dir = ide;
      for (char& c : unix_dir)
        if (c == '\\') c = '/';
      std::filesystem::create_directories(programs + unix_dir);
      ASSERT_TRUE(Place_Fake_Program(programs + unix_dir + "/g++.exe"));
      o = Run_Tivex(dir_.Dir(), "2\na.cpp\n", Without_Compilers(dir_));
      EXPECT_NE(o.out.find(Lane("找到了编译器：C:\\Program Files\\" + ide + "\\g++.exe")), std::string::npos)
          << o.out;
      std::filesystem::remove_all(programs + unix_dir.substr(0, unix_dir.find('/')));
    }
    return;
  }
  dir_.Mkdir("bin");
  Place_Program(dir_, "bin/g++");
  o = Run_Tivex(dir_.Dir(), "2\na.cpp\n", {"PATH=/nowhere:" + dir_.Path("bin")});
  EXPECT_EQ(o.out, Run_Transcript("编译器路径无效！请重新设置。\n\n找到了编译器：" + dir_.Path("bin/g++") +
                                  "，可以在“设置 → 1”中填入这个路径。\n\n"));
  EXPECT_EQ(dir_.Read(SETTINGS_FILE), "\r\n\r\n");
  // Without PATH, the system's default path is searched, as posix_spawnp does.
  if (std::filesystem::exists("/usr/bin/g++")) {
    o = Run_Tivex(dir_.Dir(), "2\na.cpp\n", {"PATH"});
    EXPECT_NE(o.out.find("bin/g++，可以在“设置 → 1”中填入这个路径。"), std::string::npos) << o.out;
  }
}

TEST_F(BuildAndRun, MissingProgramCompilesAtOnceAndAFailureEndsTheRequest) {
  Outcome o = Run("nothing.cpp\nbad.cpp\n");
  EXPECT_EQ(o.out, Lane(Main_Screen() + Cls() + "请输入 C++ 文件的完整路径：\n" + INVALID + "\n" +
                        AUTO_COMPILE + FAILED + Pause() + Main_Screen()));
  EXPECT_EQ(dir_.Read("compiler_args.txt"), "-g\n-o\n" + Exe("bad") + "\nbad.cpp\n");
  // A source never saved from the editor gets a word on why.
  dir_.Write("bad empty.cpp", "");
  o = Run("bad empty.cpp\n");
  EXPECT_EQ(o.out, Lane(Run_Transcript(AUTO_COMPILE + FAILED +
                                       "源文件是空的：请先在编辑器里写好程序并保存，再编译。\n\n")));
}

TEST_F(BuildAndRun, MissingProgramCompilesAtOnceThenRunCanBeSkipped) {
  Outcome o = Run("a.cpp\n\n");
  EXPECT_EQ(o.out, Lane(Run_Transcript(AUTO_COMPILE + COMPILED + ASK_RUN + "跳过运行。\n\n")));
  EXPECT_EQ(dir_.Read("compiler_args.txt"), "-g\n-o\n" + Exe("a") + "\na.cpp\n");
  EXPECT_TRUE(dir_.Exists(Exe("a")));
}

TEST_F(BuildAndRun, ExistingProgramAsksAndZeroSkipsTheCompile) {
  Place_Program(dir_, Exe("a"));
  Outcome o = Run("a.cpp\n2\n0\n0\n");
  EXPECT_EQ(o.out, Lane(Run_Transcript(ASK_COMPILE + OUT_OF_RANGE + "跳过编译。\n\n" + ASK_RUN +
                                       "跳过运行。\n\n")));
  EXPECT_FALSE(dir_.Exists("compiler_args.txt"));
}

TEST_F(BuildAndRun, ExistingProgramRecompiledOnRequestCanFail) {
  Place_Program(dir_, Exe("bad"));
  Outcome o = Run("bad.cpp\n1\n");
  EXPECT_EQ(o.out, Lane(Run_Transcript(ASK_COMPILE + "正在编译……\n" + FAILED)));
}

TEST_F(BuildAndRun, ExistingProgramRecompiledOnRequestKeepsCapitals) {
  dir_.Write("B.CPP", "");
  Place_Program(dir_, Exe("B"));
  Outcome o = Run("B.CPP\n1\n0\n");
  EXPECT_EQ(o.out, Lane(Run_Transcript(ASK_COMPILE + "正在编译……\n" + COMPILED + ASK_RUN +
                                       "跳过运行。\n\n")));
  EXPECT_EQ(dir_.Read("compiler_args.txt"), "-g\n-o\n" + Exe("B") + "\nB.CPP\n");
}

TEST_F(BuildAndRun, OptionsAreSplitLikeAWindowsCommandLine) {
  Write_Settings(dir_, Helper("fake_compiler"), "", "  -O2 -Wall -DNAME=\"a b\" ");
  Outcome o = Run("a.cpp\n0\n");
  EXPECT_EQ(o.out, Lane(Run_Transcript(AUTO_COMPILE + COMPILED + ASK_RUN + "跳过运行。\n\n")));
  EXPECT_EQ(dir_.Read("compiler_args.txt"),
            "-O2\n-Wall\n-DNAME=a b\n-g\n-o\n" + Exe("a") + "\na.cpp\n");
}

TEST_F(BuildAndRun, RunThroughConsolePauser) {
  Write_Settings(dir_, Helper("fake_compiler"), Helper("fake_program"));
  Outcome o = Run("a.cpp\n1\n");
  EXPECT_EQ(o.out, Lane(Run_Transcript(AUTO_COMPILE + COMPILED + ASK_RUN +
                                       "正在通过 ConsolePauser 启动程序……\n" +
                                       Started("fake_program ran [" + Exe("a") + "]") +
                                       "启动成功！\n\n")));
  EXPECT_EQ(Program_Ran(dir_), "fake_program ran [" + Exe("a") + "]\n");
}

// An empty setting is the ConsolePauser that came with Tivex, and stays
// empty; without one beside Tivex the program starts directly.
TEST_F(BuildAndRun, EmptyPauserSettingIsTheOneThatCameWithTivex) {
  Place_Program(dir_, Exe("a"));
  Write_Settings(dir_, Helper("fake_compiler"), "");
  Outcome o = Run("a.cpp\n0\n1\n4\n");
  // Here the real ConsolePauser writes its report, with its timings.
  const std::string through = Lane(ASK_RUN + "使用 Tivex 自带的 ConsolePauser：" + Tivex_Path(Pauser_File()) +
                                   "\n正在通过 ConsolePauser 启动程序……\n" + Started("fake_program ran"));
  EXPECT_NE(o.out.find(through), std::string::npos) << o.out;
  EXPECT_EQ(o.out.find("程序已退出，返回值为 0") != std::string::npos, !Under_Wine()) << o.out;
  EXPECT_EQ(Program_Ran(dir_), "fake_program ran\n");
  EXPECT_EQ(dir_.Read(SETTINGS_FILE), Helper("fake_compiler") + "\r\n\r\n");
  // A Tivex with no ConsolePauser beside it.
  dir_.Mkdir("alone");
  const std::string alone = dir_.Path("alone/" + Exe("tivex"));
  dir_.Write("alone/" + Exe("tivex"), Read_File(Tivex_File()));
  ASSERT_EQ(chmod(alone.c_str(), 0755), 0);
  o = Run_Binary({alone}, dir_.Dir(), "2\na.cpp\n0\n1\n", {});
  EXPECT_EQ(o.out, Lane(Run_Transcript(ASK_COMPILE + "跳过编译。\n\n" + ASK_RUN +
                                       "ConsolePauser 路径无效。即将直接启动程序。\n" +
                                       Started("fake_program ran") + "启动成功！\n\n")));
}

TEST_F(BuildAndRun, RunDirectlyWhenConsolePauserIsNotSet) {
  Place_Program(dir_, Exe("a"));
  Outcome o = Run("a.cpp\n1\n1\n");
  EXPECT_EQ(o.out, Lane(Run_Transcript(ASK_COMPILE + "正在编译……\n" + COMPILED + ASK_RUN + DIRECT +
                                       Started("fake_program ran") + "启动成功！\n\n")));
  EXPECT_EQ(Program_Ran(dir_), "fake_program ran\n");
  std::string compiler_dir = Helper("fake_compiler");
  compiler_dir.resize(compiler_dir.find_last_of(Under_Wine() ? '\\' : '/'));
  std::string path = dir_.Read("program_path.txt");
  Expect_Compiler_Path(path, compiler_dir);
  // The compiler speaks Chinese where it can, unless the user chose a
  // language; the program gets the environment as it was.
  for (const std::string language : {"", "en"}) {
    std::filesystem::remove(dir_.Path("program_ran.txt"));
    Outcome o = Run_Tivex(dir_.Dir(), "2\na.cpp\n1\n1\n", {"LANGUAGE=" + language});
    EXPECT_EQ(dir_.Read("compiler_language.txt"), language.empty() ? "zh_CN:zh" : language);
    Program_Ran(dir_);
    EXPECT_EQ(dir_.Read("program_language.txt"), language);
  }
}

// Started by a launcher that left SIGCHLD and SIGHUP ignored and SIGINT
// blocked (python3 ignores SIGPIPE too): the compile's result and the
// program's status are still theirs, and the program starts with no signal
// blocked or ignored.
TEST_F(BuildAndRun, SignalsALauncherLeftChangeNoResult) {
  if (Under_Wine()) GTEST_SKIP() << "Windows hands down no signals";
  if (!std::filesystem::exists("/usr/bin/python3")) GTEST_SKIP() << "no python3 to launch with";
  dir_.Write("status.txt", "7");
  Write_Settings(dir_, Helper("fake_compiler"), Pauser_File());
  const std::string launcher =
      "import os, signal, sys\nfor s in (signal.SIGCHLD, signal.SIGHUP): signal.signal(s, signal.SIG_IGN)\n"
      "signal.pthread_sigmask(signal.SIG_BLOCK, [signal.SIGINT])\nos.execv(sys.argv[1], sys.argv[1:])";
  Outcome o = Run_Binary({"/usr/bin/python3", "-c", launcher, Tivex_File()}, dir_.Dir(), "2\na.cpp\n1\n", {});
  EXPECT_NE(o.out.find(COMPILED), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("程序已退出，返回值为 7，"), std::string::npos) << o.out;
  // Of the ignored ones, only the C library's own two above 31 (glibc's
  // posix_spawn leaves them so, and it sets them up itself) may remain.
  std::string signals = dir_.Read("program_signals.txt");
  size_t ignored = signals.find("SigIgn:\t");
  EXPECT_EQ(signals.substr(0, ignored), "SigBlk:\t0000000000000000\n");
  ASSERT_NE(ignored, std::string::npos) << signals;
  EXPECT_EQ(std::stoull(signals.substr(ignored + 8), nullptr, 16) & 0x7FFFFFFFull, 0u) << signals;
}

// On a file system that runs nothing (noexec): the program is told by its
// contents and compiled over again, and each start that fails says why.
TEST_F(BuildAndRun, NoexecFolderIsCompiledOverAndToldWhyNothingRuns) {
  if (Under_Wine()) GTEST_SKIP() << "Windows has no noexec mounts";
  if (geteuid() != 0 || std::system("unshare -m true 2>/dev/null") != 0)
    GTEST_SKIP() << "no mount namespace here to mount a noexec file system in";
  dir_.Mkdir("nx");
  const std::string script =
      "mount -t tmpfs -o noexec tmpfs nx && cp a.cpp yolvar_data.qd nx && cd nx && exec \"$0\"";
  Outcome o = Run_Binary({"unshare", "-m", "sh", "-c", script, Tivex_File()}, dir_.Dir(),
                         "2\na.cpp\n1\n2\na.cpp\n1\n1\n", {});
  const std::string why = "这个文件夹所在的文件系统不允许运行程序（noexec）";
  size_t first = o.out.find(why);
  EXPECT_NE(first, std::string::npos) << o.out;
  EXPECT_NE(o.out.find(why, first + 1), std::string::npos) << o.out;
  EXPECT_EQ(o.out.find("但它不是程序"), std::string::npos) << o.out;
}

// A signal while a window's start is awaited leaves nothing of Tivex's in
// the folder of temporary files.
TEST_F(BuildAndRun, ASignalWhileAWindowIsAwaitedLeavesNoHandshakeBehind) {
  if (Under_Wine()) GTEST_SKIP() << "Windows starts no terminal";
  Place_Program(dir_, "a");
  dir_.Write("status.txt", "sleep 0");
  dir_.Mkdir("tmp");
  const std::string script = "\"$0\" <&0 & p=$!; sleep 2; kill -TERM $p; wait $p";
  Run_Binary({"sh", "-c", script, Tivex_File()}, dir_.Dir(), "2\na.cpp\n0\n1\n",
             {"DISPLAY=:99", "TERMINAL=" + Helper_File("fake_program"), "TMPDIR=" + dir_.Path("tmp")});
  EXPECT_EQ(dir_.Listing("tmp"), "");
}

TEST_F(BuildAndRun, ProgramOrCompilerThatCannotStartIsAFailure) {
  if (Under_Wine()) GTEST_SKIP() << "Windows opens such a file with its associated program";
  // A compiler's output, to judge by its first bytes, that no system can run.
  dir_.Write("a", "\x7f" "ELF broken");
  ASSERT_EQ(chmod(dir_.Path("a").c_str(), 0755), 0);
  Outcome o = Run("a.cpp\n0\n1\n");
  EXPECT_EQ(o.out, Lane(Run_Transcript(ASK_COMPILE + "跳过编译。\n\n" + ASK_RUN + DIRECT +
                                       "启动失败！\n\n")));
  Write_Settings(dir_, dir_.Path("a.cpp"), "");
  o = Run("a.cpp\n1\n");
  EXPECT_EQ(o.out, Run_Transcript(ASK_COMPILE + "正在编译……\n编译失败！\n\n"));
}

TEST_F(BuildAndRun, CompilerThatCrashesIsAFailedCompile) {
  dir_.Write("crash.cpp", "int main() {}\n");
  Outcome o = Run("crash.cpp\n");
  EXPECT_EQ(o.out, Lane(Run_Transcript(AUTO_COMPILE + "编译失败！\n\n")));
}

// After "编译失败！": the first error's place with its line marked, a hint for
// each full-width mark; then opening that source puts the editor at the error.
TEST_F(BuildAndRun, FailedCompileTellsWhereAndWhyAndTheEditorOpensThere) {
  dir_.Write("bad.cpp", "int main() {\n  int a = 1；\n}\n");
  dir_.Write("diagnostics.txt",
             "bad.cpp: In function 'int main()':\nbad.cpp:2:11: error: unable to find numeric "
             "literal operator 'operator\"\"；'\n");
  std::string notepad = Under_Wine() ? "提示：在记事本中按 Ctrl+G，输入 2 可以跳到这一行\n" : "";
  std::string told = AUTO_COMPILE + FAILED + "第一个错误在第 2 行第 11 列：\n      int a = 1；\n" +
                     std::string(14, ' ') + "^\n提示：第 2 行第 12 列的“；”是中文标点，请切换到英文标点后改成 ;\n" +
                     notepad + "\n";
  Outcome o = Run("bad.cpp\n");
  EXPECT_EQ(o.out, Lane(Run_Transcript(told)));
  EXPECT_NE(o.err.find("bad.cpp:2:11: error: "), std::string::npos) << o.err;
  if (Under_Wine()) return;
  // nano counts the column as the screen shows it; a compile that succeeds
  // forgets the place.
  dir_.Mkdir("editor");
  Place_Program(dir_, "editor/nano");
  dir_.Write("a.cpp", "int main() {}\n");
  o = Run_Tivex(dir_.Dir(), "2\nbad.cpp\n1\n2\n./bad.cpp\n3\n2\na.cpp\n0\n1\n2\nbad.cpp\n",
                {"EDITOR=" + dir_.Path("editor/nano")});
  EXPECT_EQ(Program_Ran(dir_), "fake_program ran [+2,11] [./bad.cpp]\nfake_program ran [bad.cpp]\n");
}

TEST_F(BuildAndRun, OnlyTheLastDotCountsAndShellCharactersStayInThePath) {
  for (const char* d : {"my.proj", "R&D", "x^y (1)"}) dir_.Mkdir(d);
  const std::string sep = Under_Wine() ? "\\" : "/";
  for (std::string base : {"my.proj/a", "a.b", "R&D/a", "x^y (1)/a"}) {
    dir_.Write(base + ".cpp", "");
    if (base.find('/') != std::string::npos) base.replace(base.find('/'), 1, sep);
    std::remove(dir_.Path("compiler_args.txt").c_str());
    Outcome o = Run(base + ".cpp\n0\n");
    EXPECT_EQ(o.out, Lane(Run_Transcript(AUTO_COMPILE + COMPILED + ASK_RUN + "跳过运行。\n\n")));
    EXPECT_EQ(dir_.Read("compiler_args.txt"), "-g\n-o\n" + Exe(base) + "\n" + base + ".cpp\n");
  }
  // The compiler's own programs find their DLLs in its directory.
  std::string compiler_dir = Helper("fake_compiler");
  compiler_dir.resize(compiler_dir.find_last_of(sep));
  std::string path = dir_.Read("compiler_path.txt");
  Expect_Compiler_Path(path, compiler_dir);
  if (!Under_Wine()) return;
  // A compiler typed with forward slashes, as "C:/msys64/ucrt64/bin/g++.exe".
  std::string forward = Helper("fake_compiler");
  for (char& c : forward)
    if (c == '\\') c = '/';
  Write_Settings(dir_, forward, "");
  std::remove(dir_.Path("compiler_args.txt").c_str());
  Outcome o = Run("a.b.cpp\n1\n0\n");
  EXPECT_EQ(o.out, Lane(Run_Transcript(ASK_COMPILE + "正在编译……\n" + COMPILED + ASK_RUN +
                                       "跳过运行。\n\n")));
  EXPECT_EQ(dir_.Read("compiler_args.txt"), "-g\n-o\na.b.exe\na.b.cpp\n");
  path = dir_.Read("compiler_path.txt");
  EXPECT_EQ(path.rfind(compiler_dir + ";", 0), 0u) << path;
}

TEST_F(BuildAndRun, SomethingThatIsNotAProgramInItsPlaceIsLeftAlone) {
  dir_.Mkdir(Exe("d") + "/inside");
  dir_.Write("d.cpp", "");
  // A name's controls are shown, never obeyed by the terminal.
  std::vector<std::pair<std::string, std::string>> names = {{"d", Exe("d")}};
  if (!Under_Wine()) {
    names.push_back({"notes", "notes"});
    names.push_back({"script", "script"});
    names.push_back({"e\x1b]2;HACKED\a\x1b[2J\x1b[31mx", "e^[]2;HACKED^G^[[2J^[[31mx"});
    for (const auto& [name, shown] : names) {
      if (name == "d") continue;
      dir_.Write(name + ".cpp", "");
      dir_.Write(name, "#!/bin/sh\necho my notes\n");
    }
    ASSERT_EQ(chmod(dir_.Path("script").c_str(), 0755), 0);
  }
  for (const auto& [name, shown] : names) {
    Outcome o = Run(name + ".cpp\n");
    EXPECT_EQ(o.out, Lane(Run_Transcript("“" + shown +
                                         "”已经存在，但它不是程序：请把它改名或移走，再编译运行。\n\n")));
  }
  EXPECT_FALSE(dir_.Exists("compiler_args.txt"));
  EXPECT_TRUE(dir_.Exists(Exe("d") + "/inside"));
  if (!Under_Wine()) {
    EXPECT_EQ(dir_.Read("script"), "#!/bin/sh\necho my notes\n");
  }
}

TEST_F(BuildAndRun, ProgramStartedHereGetsTheRestOfThePipedInput) {
  if (Under_Wine()) GTEST_SKIP() << "Windows starts the program in a console of its own";
  dir_.Write("图形.cpp", "");
  Place_Program(dir_, "图形");
  dir_.Write("status.txt", "hex");
  // The answer after the program's line is the end of input, which ends Tivex
  // at the next question: what the program read was not Tivex's.
  const std::string answers = "2\n图形.cpp\n0\n1\n42\n";
  const std::string expected =
      Run_Transcript(ASK_COMPILE + "跳过编译。\n\n" + ASK_RUN + DIRECT +
                     "fake_program ran\n34 32 (2 bytes)\n启动成功！\n\n");
  // From a file, which can be given back, and from a pipe, which cannot.
  Outcome o = Run_Tivex(dir_.Dir(), answers);
  EXPECT_EQ(o.out, expected);
  o = Run_Tivex_Fed(dir_.Dir(), {answers});
  EXPECT_EQ(o.out, expected);
  EXPECT_EQ(o.status, 1);
}

TEST_F(BuildAndRun, SourceNewerThanItsProgramGetsAWarningFirst) {
  namespace fs = std::filesystem;
  Place_Program(dir_, Exe("a"));
  const std::string skipped = ASK_COMPILE + "跳过编译。\n\n" + ASK_RUN + "跳过运行。\n\n";
  // Within the same second too: a save right after a compile. The source is
  // made 0.6 s into a second, so that 300 ms either way stays in it.
  const fs::path source = dir_.Path("a.cpp");
  fs::last_write_time(source, std::chrono::floor<std::chrono::seconds>(fs::last_write_time(source)) +
                                  std::chrono::milliseconds(600));
  for (int ms : {-3600000, 3600000, -300, 300}) {
    fs::path program = dir_.Path(Exe("a"));
    fs::last_write_time(program, fs::last_write_time(source) + std::chrono::milliseconds(ms));
    Outcome o = Run("a.cpp\n0\n0\n");
    std::string warning = ms < 0 ? "源文件比 exe 文件新，建议重新编译。\n" : "";
    EXPECT_EQ(o.out, Lane(Run_Transcript(warning + skipped))) << ms;
  }
}

TEST_F(BuildAndRun, WhenNoWindowCanBeOpenedTheProgramRunsHere) {
  if (Under_Wine()) GTEST_SKIP() << "Windows always opens a console window";
  Place_Program(dir_, "a");
  dir_.Mkdir("bin");
  dir_.Write("bin/tmux", "#!/bin/sh\necho 'no server running' >&2\nexit 1\n");
  // A terminal that runs what follows its -e, as xterm does.
  dir_.Write("bin/term", "#!/bin/sh\necho \"$@\" > terminal_args.txt\n"
                         "while [ \"$1\" != -e ]; do shift; done\nshift\nexec \"$@\"\n");
  ASSERT_EQ(chmod(dir_.Path("bin/tmux").c_str(), 0755), 0);
  ASSERT_EQ(chmod(dir_.Path("bin/term").c_str(), 0755), 0);
  const std::string path = "PATH=" + dir_.Path("bin") + ":" + std::getenv("PATH");
  const std::string head = ASK_COMPILE + "跳过编译。\n\n" + ASK_RUN + DIRECT;
  // A window that did not open says so, whatever the window's program wrote
  // of itself, and the program runs here.
  const std::pair<std::vector<std::string>, std::string> refused[] = {
      {{"DISPLAY=:99", "TERMINAL=/no/term -x"}, "/no/term"},
      {{"DISPLAY=:99", "TERMINAL=false"}, "false"},
      {{"DISPLAY=:99"}, "x-terminal-emulator"},
      {{"WAYLAND_DISPLAY=wayland-99"}, "x-terminal-emulator"}};
  for (auto [env, name] : refused) {
    env.push_back(path);
    Outcome o = Run_Tivex(dir_.Dir(), "2\na.cpp\n0\n1\n", env);
    EXPECT_EQ(o.out, Run_Transcript(head + "无法打开终端窗口“" + name + "”：程序将在这个终端里运行。\n" +
                                    "fake_program ran\n启动成功！\n\n")) << name;
    EXPECT_EQ(o.err, "") << name;
  }
  // TMUX that no pane of Tivex's own terminal set (inherited, or of a
  // server that is gone) is as no TMUX.
  Outcome o = Run_Tivex(dir_.Dir(), "2\na.cpp\n0\n1\n", {path, "TMUX=/tmp/none,1,0", "TMUX_PANE=%0"});
  EXPECT_EQ(o.out, Run_Transcript(head + "fake_program ran\n启动成功！\n\n"));
  o = Run_Tivex(dir_.Dir(), "2\na.cpp\n0\n1\n",
                {path, "DISPLAY=:99", "TERMINAL= " + dir_.Path("bin/term") + "  --title x"});
  EXPECT_EQ(o.out, Run_Transcript(head + "启动成功！\n\n"));
  // Every word reaches the window as an argument: tivex, which tells the
  // handshake that it is there and becomes the program.
  std::string args = dir_.Read("terminal_args.txt");
  const std::string start = "--title x -e " + Tivex_File() + " --in-window ";
  EXPECT_EQ(args.compare(0, start.size(), start), 0) << args;
  EXPECT_EQ(args.substr(args.size() - 13), "/started ./a\n") << args;
  // A window whose program cannot be run is a failed start, told as in this
  // terminal: no execute bit, another machine's ELF, and a Windows
  // ConsolePauser.exe with the execute bit, as on a FAT stick.
  const struct {
    std::string file, bytes;
    mode_t mode;
    std::string reason;
  } unrunnable[] = {{"a", "", 0644, "Permission denied"},
                    {"a", std::string("\x7f" "ELF\x01\x02\x01\0\0\0\0\0\0\0\0\0\0\x99", 18), 0755,
                     "Exec format error"},
                    {"ConsolePauser.exe", "MZ\x90", 0755, "Exec format error"}};
  for (const auto& u : unrunnable) {
    if (!u.bytes.empty()) dir_.Write(u.file, u.bytes);
    ASSERT_EQ(chmod(dir_.Path(u.file).c_str(), u.mode), 0);
    bool pauser = u.file != "a";
    Write_Settings(dir_, Helper("fake_compiler"), pauser ? dir_.Path(u.file) : NO_PAUSER);
    o = Run_Tivex(dir_.Dir(), "2\na.cpp\n0\n1\n",
                  {path, "DISPLAY=:99", "TERMINAL=" + dir_.Path("bin/term")});
    std::string how = pauser ? ASK_COMPILE + "跳过编译。\n\n" + ASK_RUN + "正在通过 ConsolePauser 启动程序……\n" : head;
    EXPECT_EQ(o.out, Run_Transcript(how + "启动失败！\n\n")) << u.reason;
    EXPECT_NE(o.err.find("tivex: execv: " + u.reason + " ("), std::string::npos) << o.err;
  }
}

TEST(SettingsEditors, CompilerPathRefusesUntilAProgramIsNamed) {
  Scratch dir;
  dir.Mkdir("sub");
  dir.Write("tool.txt", "");
  // A path pasted in quotes, as Explorer copies it, is taken without them.
  Outcome o = Run_Tivex(dir.Dir(), "3\n1\n\nnone\n" + Helper("fake_compiler") + "\r\r\nsub\ntool.txt\n\"" +
                                       Helper("fake_compiler") + "\"\n1\n");
  EXPECT_EQ(o.out, Lane(Main_Screen() + Settings_Screen() + Cls() +
                        "当前编译器路径：\n请输入新编译器路径：\n" + INVALID + INVALID + INVALID + NOT_FILE +
                        WRONG_TYPE + "设置成功！\n\n" + Pause() + Settings_Screen() + Cls() +
                        "当前编译器路径：" + Helper("fake_compiler") + "\n请输入新编译器路径：\n"));
}

TEST(SettingsEditors, ConsolePauserPathShowsTheCurrentValue) {
  Scratch dir;
  // Someone else's settings file may hold controls: they are shown, not obeyed.
  Write_Settings(dir, "c", "旧的\x1b]0;x\a 路径\xc2\x9b");
  Outcome o = Run_Tivex(dir.Dir(), "3\n2\n" + Helper("fake_program") + "\n2\n");
  const std::string ask = "\n请输入新 ConsolePauser 路径：\n";
  EXPECT_EQ(o.out, Lane(Main_Screen() + Settings_Screen() + Cls() +
                        "当前 ConsolePauser 路径：旧的^[]0;x^G 路径\\302\\233" +
                        ask + "设置成功！\n\n" + Pause() + Settings_Screen() + Cls() +
                        "当前 ConsolePauser 路径：" + Helper("fake_program") + ask));
}

TEST(SettingsEditors, OptionsKeepTheirBlanksAndAnEmptyLineClearsThem) {
  Scratch dir;
  // A line end inside an answer (the line editor lets one in) is refused.
  // So is a line of Ctrl+Z, which a console gives for Ctrl+Z, Enter.
  Outcome o =
      Run_Tivex(dir.Dir(), "3\n3\n-O2\r-Wall\n\x1A\n  -O2 -Wall  \n3\n\n3\n \t-g3 \n5\n4\n");
  std::string editor = Cls() + "当前编译选项：";
  std::string done = "\n请输入新编译选项：\n设置成功！\n\n" + Pause() + Settings_Screen();
  std::string refused = std::string("\n请输入新编译选项：\n编译选项中不能有换行，请重新输入。\n") +
                        "编译选项中不能有 Ctrl+Z，请重新输入。\n设置成功！\n\n" + Pause() +
                        Settings_Screen();
  EXPECT_EQ(o.out, Lane(Main_Screen() + Settings_Screen() + editor + refused + editor +
                        "  -O2 -Wall  " + done + editor + done + Main_Screen() + Farewell()));
  EXPECT_EQ(dir.Read(SETTINGS_FILE), "\r\n\r\n \t-g3 ");
}

namespace {

const std::string ASK_DIR = "请输入想要创建的文件的完整目录：\n";
const std::string ASK_NAME = "请输入想要创建的文件名（不含扩展名）：\n";

// One New File from the edit menu, and back out through choice 4.
std::string New_File_Transcript(const std::string& rejects, const std::string& result) {
  return Main_Screen() + Edit_Screen() + Cls() + ASK_DIR + rejects + ASK_NAME + "\n" + result +
         Pause() + Edit_Screen() + Main_Screen();
}

Outcome New_File(const Scratch& dir, const std::string& lines) {
  return Run_Tivex(dir.Dir(), "1\n1\n" + lines + "3\n");
}

std::string Sep() { return Under_Wine() ? "\\" : "/"; }

}  // namespace

TEST(NewFile, CreatesAnEmptyFileInTheWorkingDirectory) {
  Scratch dir;
  Outcome o = New_File(dir, "nowhere\n.\nhello\n");
  EXPECT_EQ(o.out, Lane(New_File_Transcript(INVALID, "创建成功！\n\n")));
  EXPECT_TRUE(dir.Exists("hello.cpp"));
  EXPECT_EQ(dir.Read("hello.cpp"), "");
}

TEST(NewFile, ExistingFileIsLeftAlone) {
  Scratch dir;
  dir.Write("hello.cpp", "keep");
  Outcome o = New_File(dir, ".\nhello\n");
  EXPECT_EQ(o.out, Lane(New_File_Transcript("", "文件已存在。\n\n")));
  EXPECT_EQ(dir.Read("hello.cpp"), "keep");
}

TEST(NewFile, NamesAreTakenAsTyped) {
  Scratch dir;
  dir.Mkdir("sub");
  std::string sub = Tivex_Path(dir.Path("sub"));
  // Trailing separator, empty base name, a base name with .cpp, Chinese text,
  // and on Windows the blanks and dots that Windows drops at a path's end.
  std::vector<std::string> lines = {sub + Sep() + "\nx\n", sub + "\n\n", sub + "\nmain.cpp\n",
                                    sub + "\n你好 世界\n"};
  std::vector<std::string> names = {"x.cpp", ".cpp", "main.cpp.cpp", "你好 世界.cpp"};
  if (Under_Wine()) lines.push_back(sub + ". \nw\n"), names.push_back("w.cpp");
  for (const std::string& typed : lines) {
    Outcome o = New_File(dir, typed);
    EXPECT_EQ(o.out, Lane(New_File_Transcript("", "创建成功！\n\n"))) << typed;
  }
  for (const std::string& name : names)
    EXPECT_EQ(dir.Read(std::string("sub/") + name), "") << name;
  EXPECT_EQ(dir.Listing(), "sub");
  if (!Under_Wine()) return;
  // A blank before a separator stays in the name that Windows opens.
  Outcome o = New_File(dir, sub + " \\\n" + sub + " \\x\n" + sub + "\nv\n");
  EXPECT_EQ(o.out, Lane(New_File_Transcript(INVALID + INVALID, "创建成功！\n\n")));
  EXPECT_EQ(dir.Read("sub/v.cpp"), "");
}

TEST(NewFile, FileThatCannotBeCreatedIsToldWithTheReason) {
  Scratch dir;
  Outcome o = New_File(dir, ".\nmissing" + Sep() + "x\n");
  EXPECT_EQ(o.out, Lane(New_File_Transcript("", "创建失败！（文件或目录不存在）\n\n")));
  EXPECT_EQ(dir.Listing(), "");
  // The directory prompt takes any entry that exists, a file too.
  dir.Write("a.txt", "");
  o = New_File(dir, "a.txt\nx\n");
  std::string reason = Under_Wine() ? "文件或目录不存在" : "路径中有一项不是目录";
  EXPECT_EQ(o.out, Lane(New_File_Transcript("", "创建失败！（" + reason + "）\n\n")));
  EXPECT_EQ(dir.Listing(), "a.txt");
  dir.Mkdir("d.cpp");
  o = New_File(dir, ".\nd\n");
  EXPECT_EQ(o.out, Lane(New_File_Transcript("", "创建失败！（这是一个目录）\n\n")));
}

TEST(OpenFile, StartsTheEditorOnTheTypedPath) {
  Scratch dir;
  dir.Mkdir("my dir");
  dir.Write("my dir/a b.CPP", "");
  std::vector<std::string> env = {"EDITOR=" + Helper_File("fake_program")};
  // cmd.exe looks for notepad.exe in the working directory first.
  if (Under_Wine()) dir.Write("notepad.exe", Read_File(Helper_File("fake_program")));
  Outcome o = Run_Tivex(dir.Dir(), "1\n2\nmy dir\nmy dir" + Sep() + "a b.CPP\n3\n", env);
  EXPECT_EQ(o.out, Lane(Main_Screen() + Edit_Screen() + Cls() +
                        "请输入想要打开的文件的完整目录：\n" + NOT_FILE +
                        "\n打开成功！请在弹出的窗口内编写代码，编写完成后保存。\n\n" +
                        "fake_program ran [my dir" + Sep() + "a b.CPP]\n" + Pause() +
                        Edit_Screen() + Main_Screen()));
}

TEST_F(BuildAndRun, ChineseNameWithBlanksBuildsAndRunsTheRightProgram) {
  dir_.Write("程序 一.cpp", "");
  Outcome o = Run("程序 一.cpp\n1\n");
  EXPECT_EQ(o.out, Lane(Run_Transcript(AUTO_COMPILE + COMPILED + ASK_RUN + DIRECT +
                                       Started("fake_program ran") + "启动成功！\n\n")));
  EXPECT_EQ(dir_.Read("compiler_args.txt"), "-g\n-o\n" + Exe("程序 一") + "\n程序 一.cpp\n");
  EXPECT_EQ(Program_Ran(dir_), "fake_program ran\n");
  if (!Under_Wine()) return;
  // A compiler before GCC 13 reads its arguments in the ANSI code page (1252
  // cannot hold these names, 936 can): it gets paths that it can open, and the
  // program still gets its own name.
  dir_.Mkdir("张三的作业");
  dir_.Write("张三的作业/第一题.cpp", "");
  Write_Settings(dir_, Helper("ansi_compiler"), NO_PAUSER);
  o = Run("张三的作业\\第一题.cpp\n0\n");
  EXPECT_NE(o.out.find("fake_compiler: compiling "), std::string::npos) << o.out;
  EXPECT_NE(o.out.find(Lane(COMPILED)), std::string::npos) << o.out;
  EXPECT_EQ(dir_.Listing("张三的作业"), "第一题.cpp 第一题.exe");
  // It finds its own programs by its own path, which it must be able to read
  // too: it is started by the short form of a folder 1252 cannot hold.
  dir_.Mkdir("编译器");
  for (const std::string helper : {"ansi_compiler.exe", "fake_program.exe"})
    dir_.Write("编译器/" + helper, Read_File(Helper_File(helper.substr(0, helper.size() - 4))));
  Write_Settings(dir_, Tivex_Path(dir_.Path("编译器/ansi_compiler.exe")), NO_PAUSER);
  o = Run("张三的作业\\第一题.cpp\n1\n0\n");
  EXPECT_NE(o.out.find(Lane(COMPILED)), std::string::npos) << o.out;
}

// Names that a program between us and the compiler, the pauser or the
// program might split or read as an option, an assignment or a command.
const char* const HOSTILE_NAMES[] = {
    "x\" \"-wrapper\" \"sh,-c,touch PWNED\" \"-o\" \"y\" \"z",
    "k -wrapper sh,-c,touch${IFS}PWNED -o y \\",
    "My \"first\" program",
    "a\\\" b\\\\\"c",
    "x=1",
    "-leading",
    "+plus",
    "@file",
    "tab\tand\x1b[31mred",
    "空格 和 中文"};

TEST_F(BuildAndRun, EveryPathIsOneArgumentWhateverItHolds) {
  if (Under_Wine()) GTEST_SKIP() << "Windows forbids quotes in names";
  for (const std::string name : HOSTILE_NAMES) {
    dir_.Write(name + ".cpp", "");
    std::remove(dir_.Path("compiler_args.txt").c_str());
    Write_Settings(dir_, Helper("fake_compiler"), NO_PAUSER);
    Outcome o = Run(name + ".cpp\n1\n");
    EXPECT_EQ(o.out, Run_Transcript(AUTO_COMPILE + COMPILED + ASK_RUN + DIRECT +
                                    "fake_program ran\n启动成功！\n\n")) << name;
    std::string arg = name[0] == '-' || name[0] == '@' ? "./" + name : name;
    EXPECT_EQ(dir_.Read("compiler_args.txt"), "-g\n-o\n" + arg + "\n" + arg + ".cpp\n") << name;
    // The recording pauser gets the program's path as its one argument.
    Write_Settings(dir_, Helper("fake_compiler"), Helper("fake_program"));
    o = Run(name + ".cpp\n0\n1\n");
    EXPECT_NE(o.out.find("fake_program ran [" + name + "]\n启动成功！"), std::string::npos) << o.out;
  }
  EXPECT_FALSE(dir_.Exists("PWNED"));
}

TEST(RealCompiler, SourceInADirectoryWithShellCharactersIsBuiltAndRun) {
  if (Under_Wine()) GTEST_SKIP() << "the Linux g++ cannot be waited for under Wine";
  Scratch dir;
  const std::string sub = "my $HOME `id`; 'q' 程序";
  dir.Mkdir(sub);
  dir.Write(sub + "/hello.cpp",
            "#include <cstdio>\nint main() { std::puts(\"你好，Tivex\"); return 0; }\n");
  Write_Settings(dir, "/usr/bin/g++", NO_PAUSER, "-O0");
  Outcome o = Run_Tivex(dir.Dir(), "2\n" + sub + "/hello.cpp\n1\n");
  EXPECT_EQ(o.out, Run_Transcript(AUTO_COMPILE + "编译成功！\n\n" + ASK_RUN + DIRECT +
                                  "你好，Tivex\n启动成功！\n\n"));
  EXPECT_TRUE(dir.Exists(sub + "/hello"));
  EXPECT_EQ(dir.Listing(), sub + " " + SETTINGS_FILE);
  // g++ runs the command of "-wrapper", should a name ever be split into it.
  for (const std::string name : {HOSTILE_NAMES[0], HOSTILE_NAMES[1], HOSTILE_NAMES[4]}) {
    dir.Write(name + ".cpp", "int main() { return 0; }\n");
    o = Run_Tivex(dir.Dir(), "2\n" + name + ".cpp\n1\n");
    EXPECT_EQ(o.out, Run_Transcript(AUTO_COMPILE + "编译成功！\n\n" + ASK_RUN + DIRECT +
                                    "启动成功！\n\n")) << name;
    EXPECT_TRUE(dir.Exists(name)) << name;
  }
  EXPECT_FALSE(dir.Exists("PWNED"));
}

// The real g++ with no locale set (a fresh account), in English and, where
// GCC's Chinese catalog is installed, in Chinese: the place and the hint.
TEST(RealCompiler, FirstErrorIsPlacedAndExplainedInEitherLanguage) {
  if (Under_Wine()) GTEST_SKIP() << "the Linux g++ cannot be waited for under Wine";
  const struct {
    std::string source, place, words;
  } rows[] = {
      {"#include <iostream>\nusing namespace std;\nint main() {\n    cout << 1 << endl\n    return 0;\n}\n",
       "第 4 行第 22 列", "末尾可能少了分号 ;"},
      {"#include <iostream>\nint main() {\n    cout << 1;\n}\n", "第 3 行第 5 列", "std::cout"},
      {"int main() {\n    int a = 1；\n}\n", "第 2 行第 13 列", "第 2 行第 14 列的“；”是中文标点"},
      {"void main() {}\n", "第 1 行第 1 列", "int main()"},
      {"#include <iostream>\nint main() { int a; std::cin << a; }\n", "第 2 行第 30 列", "cin 要用 >>"},
      {"int main() {\n", "第 1 行第 13 列", "大括号没有配对"},
      {"int main() { return y; }\n", "第 1 行第 21 列", "y 没有声明"},
      {"int mian() { return 0; }\n", "", "找不到 main 函数"}};
  bool catalog = std::system("ls /usr/share/locale/zh_CN/LC_MESSAGES/gcc-*.mo >/dev/null 2>&1") == 0;
  Scratch dir;
  Write_Settings(dir, "/usr/bin/g++", NO_PAUSER);
  for (const std::string language : {"en", ""}) {
    for (const auto& row : rows) {
      dir.Write("t.cpp", row.source);
      Outcome o = Run_Tivex(dir.Dir(), "2\nt.cpp\n",
                            {"LANGUAGE=" + language, "LANG=", "LC_ALL=", "LC_MESSAGES="});
      std::string place = row.place.empty() ? "" : "第一个错误在" + row.place + "：\n";
      EXPECT_NE(o.out.find("编译失败！\n\n" + place), std::string::npos) << o.out;
      EXPECT_NE(o.out.find("\n提示：", o.out.find("编译失败！")), std::string::npos) << o.out;
      EXPECT_NE(o.out.find(row.words), std::string::npos) << o.out;
      if (row.place.empty()) continue;
      bool chinese = o.err.find("错误：") != std::string::npos;
      EXPECT_EQ(chinese, language.empty() && catalog) << o.err;
    }
  }
  if (!catalog) GTEST_SKIP() << "GCC's Chinese messages (gcc-N-locales) are not installed";
}

TEST_F(BuildAndRun, RelinkingOverARunningProgramGetsNoFalseHint) {
  if (Under_Wine()) GTEST_SKIP() << "a Linux program cannot stand in for a running Windows one";
  dir_.Write("bad", Read_File("/bin/sleep"));
  ASSERT_EQ(chmod(dir_.Path("bad").c_str(), 0755), 0);
  // The old program still runs; Linux lets the linker replace it all the same.
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    execl(dir_.Path("bad").c_str(), "bad", "60", static_cast<char*>(nullptr));
    _exit(127);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  Outcome o = Run("bad.cpp\n1\n");
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  EXPECT_EQ(o.out, Run_Transcript(ASK_COMPILE + "正在编译……\n" + FAILED));
}

TEST(OpenFile, VisualComesBeforeEditorAndItsWordsStayArguments) {
  if (Under_Wine()) GTEST_SKIP() << "Windows opens Notepad";
  Scratch dir;
  dir.Write("a.cpp", "");
  std::string open = Main_Screen() + Edit_Screen() + Cls() + "请输入想要打开的文件的完整目录：\n" +
                     "\n打开成功！请在弹出的窗口内编写代码，编写完成后保存。\n\n";
  std::string back = Pause() + Edit_Screen() + Main_Screen();
  Outcome o = Run_Tivex(dir.Dir(), "1\n2\na.cpp\n3\n",
                        {"VISUAL= " + Helper_File("fake_program") + "  --wait ",
                         "EDITOR=/nonexistent/editor"});
  EXPECT_EQ(o.out, open + "fake_program ran [--wait] [a.cpp]\n" + back);
  o = Run_Tivex(dir.Dir(), "1\n2\na.cpp\n3\n", {"VISUAL=", "EDITOR=/nonexistent/editor"});
  EXPECT_EQ(o.out, open + back);
  EXPECT_NE(o.err.find("/nonexistent/editor"), std::string::npos) << o.err;
}

TEST(OpenFile, NamesThatEditorsReadAsOptionsArePathsAndNobodyElseSeesThem) {
  if (Under_Wine()) GTEST_SKIP() << "Windows opens Notepad";
  Scratch dir;
  std::vector<std::string> env = {"EDITOR=" + Helper_File("fake_program")};
  for (std::string name : {"+!touch x.cpp", "-x.cpp", "--help.cpp", "my $HOME `id`;'\"*.cpp"}) {
    dir.Write(name, "");
    Outcome o = Run_Tivex(dir.Dir(), "1\n2\n" + name + "\n", env);
    std::string arg = name[0] == '-' || name[0] == '+' ? "./" + name : name;
    EXPECT_NE(o.out.find("fake_program ran [" + arg + "]\n"), std::string::npos) << o.out;
  }
}

TEST(OpenFile, PathsAsFileManagersPasteThemAreTakenAsMeant) {
  Scratch dir;
  dir.Mkdir("my dir");
  dir.Write("my dir/a b.CPP", "");
  std::vector<std::string> env = {"EDITOR=" + Helper_File("fake_program"), "HOME=" + dir.Dir()};
  if (!Under_Wine()) dir.Write("it's.cpp", "");
  const std::string sep = Under_Wine() ? "\\" : "/";
  // Each line names nothing as typed, but its reading does.
  std::vector<std::pair<std::string, std::string>> rows = {
      {"\"my dir" + sep + "a b.CPP\"", "my dir" + sep + "a b.CPP"}};
  if (!Under_Wine()) {
    rows.push_back({"'my dir/a b.CPP' ", "my dir/a b.CPP"});
    rows.push_back({"~/my dir/a b.CPP", dir.Dir() + "/my dir/a b.CPP"});
    // As a shell quotes a name that holds an apostrophe, and a path dropped
    // with its trailing blank but no quotes.
    rows.push_back({"'" + dir.Dir() + "/it'\\''s.cpp' ", dir.Dir() + "/it's.cpp"});
    rows.push_back({"my dir/a b.CPP ", "my dir/a b.CPP"});
  }
  if (Under_Wine()) {
    // Windows drops the blanks and dots at a path's end when it opens it.
    rows.push_back({"my dir\\a b.CPP ", "my dir\\a b.CPP"});
    rows.push_back({"my dir\\a b.CPP. .", "my dir\\a b.CPP"});
    dir.Write("notepad.exe", Read_File(Helper_File("fake_program")));
  }
  for (const auto& [typed, meant] : rows) {
    Outcome o = Run_Tivex(dir.Dir(), "1\n2\n" + typed + "\n", env);
    EXPECT_NE(o.out.find(Lane("编写完成后保存。\n\nfake_program ran [" + meant + "]\n")),
              std::string::npos) << typed << "\n" << o.out;
  }
}

TEST(OpenFile, WithoutAChosenEditorNanoComesFirstAndViIsExplained) {
  if (Under_Wine()) GTEST_SKIP() << "Windows opens Notepad";
  Scratch dir;
  dir.Write("a.cpp", "");
  dir.Mkdir("bin");
  const std::string path = "PATH=" + dir.Path("bin");
  const std::string hint = "vi：按 i 开始输入，写完按 Esc，再输入 :wq 回车保存并退出。\n";
  for (const char* editor : {"vi", "nano"}) {
    std::string file = dir.Path(std::string("bin/") + editor);
    dir.Write(std::string("bin/") + editor, std::string("#!/bin/sh\necho ") + editor + " \"$@\"\n");
    ASSERT_EQ(chmod(file.c_str(), 0755), 0);
    Outcome o = Run_Tivex(dir.Dir(), "1\n2\na.cpp\n", {path});
    std::string expected = std::string(editor) == "vi" ? hint + "vi a.cpp\n" : "nano a.cpp\n";
    EXPECT_NE(o.out.find("编写完成后保存。\n\n" + expected + Pause()), std::string::npos) << o.out;
  }
}
