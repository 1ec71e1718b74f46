// Loads arbitrary bytes as the settings file, saves, loads again: the values
// come back byte for byte (but a byte-order mark at the start of the first,
// which the next start takes for the file's own) and the file has exactly
// the expected bytes.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "console/console.h"
#include "platform/test_seams.h"
#include "settings/settings.h"

namespace fs = std::filesystem;

namespace {

const char* const FILE_NAME = "yolvar_data.qd";

int No_Command(const std::string&, const std::vector<std::string>&) { return 0; }

void Enter_Scratch() {
  fs::path dir = fs::temp_directory_path() / ("tivex-fuzz-settings-" + std::to_string(getpid()));
  fs::create_directories(dir);
  fs::current_path(dir);
}

void Load(const std::string& bytes) {
  std::ofstream(FILE_NAME, std::ios::binary) << bytes;
  COM_PATH = CON_PATH = COM_SETTINGS = "";
  Init();
}

std::string File_Bytes() {
  std::ifstream in(FILE_NAME, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = (Enter_Scratch(), true);
  (void)ready;
  SYSTEM_HOOK = No_Command;
  Load(std::string(reinterpret_cast<const char*>(data), size));
  std::string a = COM_PATH, b = CON_PATH, c = COM_SETTINGS;
  if (a.find('\n') != std::string::npos || b.find('\n') != std::string::npos ||
      c.find('\n') != std::string::npos)
    std::abort();
  FILE_CALLS.clear();
  if (!Save_Settings()) std::abort();
  if (File_Bytes() != a + "\r\n" + b + "\r\n" + c) std::abort();
  COM_PATH = CON_PATH = COM_SETTINGS = "";
  Init();
  if (a.compare(0, 3, "\xEF\xBB\xBF") == 0) a.erase(0, 3);
  if (COM_PATH != a || CON_PATH != b || COM_SETTINGS != c) std::abort();
  return 0;
}
