// The main loop, the three menu pages, the two sub-menu loops and the about screen.

#pragma once

#include <string>
#include <vector>

// Draw their page and return the user's choice, a member of the page's set.
int Main_Page();
int Edit_Page();
int Settings_Page();

// Run their sub-menu until its "back" item is chosen.
void Edit();
void Settings();

// Shows the about screen and waits for a key.
void Print_Message();

// The whole program: start-up, the main loop, and the save on leaving.
// Returns the exit status: 0, or 1 when the settings could not be saved.
// `args` are the program's own arguments (the first is its name): --help and
// --version answer and return 0 at once; any other argument is refused with
// status 2.
int Tivex_Main(const std::vector<std::string>& args);
