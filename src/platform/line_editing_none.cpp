// POSIX without a line editor: the terminal's own line editing serves.

#include "platform/answers.h"
#include "platform/line_editing.h"

bool Line_Editing_Available() { return false; }

bool Read_Edited_Line(std::string& s, Input_Kind) { return Read_Plain_Line(s); }
