// The three settings in memory, loaded from the settings file at start and saved to it at the end.

#include "settings/settings.h"

#include <iostream>

#include "console/console.h"
#include "platform/console.h"
#include "platform/file_system.h"

std::string COM_PATH;
std::string CON_PATH;
std::string COM_SETTINGS;

namespace {

const std::string SETTINGS = "yolvar_data.qd";

// Why the settings file could not be read at start, or "". Such a file is
// never replaced: what it holds was not loaded, so a save would lose it.
std::string SETTINGS_READ_ERROR;

// Takes the next line of `text` from `pos` into `line`.
void Take_Line(const std::string& text, size_t& pos, std::string& line) {
  line.clear();
  if (pos >= text.size()) return;
  size_t end = text.find('\n', pos);
  if (end == std::string::npos) {
    line = text.substr(pos);
    pos = text.size();
    return;
  }
  line = text.substr(pos, end - pos);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  pos = end + 1;
}

}  // namespace

void Parse_Settings(const std::string& text) {
  // Notepad, and some editors elsewhere, begin a file with a byte-order mark.
  size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  Take_Line(text, pos, COM_PATH);
  Take_Line(text, pos, CON_PATH);
  Take_Line(text, pos, COM_SETTINGS);
}

std::string Settings_Content() {
  return COM_PATH + "\r\n" + CON_PATH + "\r\n" + COM_SETTINGS;
}

void Init() {
  Setup_Console();
  System("title Yolvar");
  SETTINGS_READ_ERROR.clear();
  if (Platform_Path_Status(SETTINGS) != PATH_FILE) return;
  std::string text;
  SETTINGS_READ_ERROR = Read_Head(SETTINGS, 3, text);
  if (!SETTINGS_READ_ERROR.empty()) {
    std::cerr << "tivex: " << SETTINGS << ": " << SETTINGS_READ_ERROR << std::endl;
    return;
  }
  Parse_Settings(text);
}

bool Save_Settings() {
  if (!SETTINGS_READ_ERROR.empty()) {
    std::cerr << "tivex: " << SETTINGS << ": not replaced, since it could not be read at start ("
              << SETTINGS_READ_ERROR << ")" << std::endl;
    return false;
  }
  // A settings file kept elsewhere through a link is written there, and the
  // link stays.
  std::string target = Link_Target(SETTINGS);
  std::string temp;
  std::string error = Replace_Refusal(target, target != SETTINGS);
  if (error.empty()) error = Write_Temp_Beside(target, Settings_Content(), temp);
  if (error.empty()) {
    error = Replace_File(temp, target);
    if (!error.empty()) Remove_File(temp);
  }
  if (!error.empty()) {
    std::cerr << "tivex: " << SETTINGS << ": " << error << std::endl;
    return false;
  }
  Hide_File(target);
  return true;
}
