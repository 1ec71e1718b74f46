// The entry point of tivex.

#include "app/app.h"
#include "platform/programs.h"

int main(int argc, char** argv) { return Tivex_Main(Program_Arguments(argc, argv)); }
