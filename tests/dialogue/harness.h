#pragma once

// Runs the real tivex (or tivex.exe under Wine) with a scripted standard input
// in a directory of the test's, and builds the transcripts it must write.

#include <string>
#include <vector>

class Scratch;

struct Outcome {
  std::string out;  // standard output, whole
  std::string err;  // standard error, whole
  int status;       // exit status, or 128 and the signal
};

// Whether the tests drive tivex.exe under Wine (TIVEX_WINE=1).
bool Under_Wine();

// Runs tivex in `dir` with `input` as standard input, `env` ("NAME=value")
// added to its environment and `args` as its arguments. A run that takes
// longer than a minute is killed.
Outcome Run_Tivex(const std::string& dir, const std::string& input,
                  const std::vector<std::string>& env = {},
                  const std::vector<std::string>& args = {});

// Runs tivex in `dir` with its standard input a pipe that it finds
// non-blocking, into which `chunks` are written one by one, 200 ms apart.
Outcome Run_Tivex_Fed(const std::string& dir, const std::vector<std::string>& chunks);

// The file of tivex (tivex.exe under Wine) that the tests run.
std::string Tivex_File();

// Runs ConsolePauser (ConsolePauser.exe under Wine) in `dir` with `args`.
Outcome Run_Pauser(const std::string& dir, const std::vector<std::string>& args);

// Runs `argv` (under Wine when the lane is Wine's) in `dir`.
Outcome Run_Binary(const std::vector<std::string>& argv, const std::string& dir,
                   const std::string& input, const std::vector<std::string>& env);

// A path of this machine as tivex sees it (under Wine: Z: and backslashes).
std::string Tivex_Path(const std::string& path);

// The helper program `name` built for the lane under test: its file here, and
// its path as tivex sees it.
std::string Helper_File(const std::string& name);
std::string Helper(const std::string& name);

// ConsolePauser built for the lane under test, beside tivex: its file here.
std::string Pauser_File();

// The environment in which tivex finds no g++ to hint at: an empty PATH,
// or Wine's own, which holds none.
std::vector<std::string> Without_Compilers(const Scratch& dir);

// The bytes of a file of this machine.
std::string Read_File(const std::string& path);

// Puts a copy of fake_program at `path`, ready to run; false when it cannot.
bool Place_Fake_Program(const std::string& path);

// Puts a copy of fake_program at `name` in `dir`; where `status` is given,
// it ends as status.txt beside it then says: with that status, or by a crash
// ("crash"); "sleep" first makes it sleep.
void Place_Program(const Scratch& dir, const std::string& name, const std::string& status = "");

// The name of the program built from `base`.cpp on the lane under test.
std::string Exe(const std::string& base);

// The expected transcript, written with LF, as the lane under test writes it.
std::string Lane(const std::string& text);

// What "cls" and "pause" write when standard streams are not terminals.
std::string Cls();
std::string Pause();

// The three menu pages as drawn after their "cls".
std::string Main_Screen();
std::string Edit_Screen();
std::string Settings_Screen();

// The end through choice 4: cls, the farewell line.
std::string Farewell();

const std::string NOT_NATURAL = "输入不是自然数，请重新输入。\n";
const std::string OUT_OF_RANGE = "输入不在给定范围内，请重新输入。\n";
const std::string SETTINGS_FILE = "yolvar_data.qd";
const std::string INVALID = "路径无效，请重新输入。\n";
