// The three settings, the settings file, and the screens that change them.

#pragma once

#include <string>

extern std::string COM_PATH;      // the compiler's path; empty when not set
extern std::string CON_PATH;      // ConsolePauser's path; empty when not set
extern std::string COM_SETTINGS;  // extra compile options, one line

// Switches the console to UTF-8, sets the window title, and loads the three
// settings from the settings file in the working directory when it is a
// regular file. Prints nothing.
void Init();

// Writes the three settings to the settings file and hides it. The old file
// is replaced in one rename only once the new content is safely on disk, so a
// failure leaves it as it was; only a regular file (or nothing) is replaced,
// through a link too. Returns false when the save failed.
bool Save_Settings();

// Loads the three settings from the text of a settings file: one byte-order
// mark at its start is dropped, lines end at LF, a CR right before the LF is
// dropped, missing lines are empty and lines after the third are ignored.
void Parse_Settings(const std::string& text);

// The bytes of the settings file for the current settings: CR LF after the
// first two lines and nothing after the third.
std::string Settings_Content();

// The settings editors: each shows its setting, reads a new value and stores
// it in memory only.
void Set_COM_Path();
void Set_CON_Path();
void Set_COM_Settings();
