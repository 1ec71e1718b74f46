#include "app/app.h"
#include "platform/platform.h"

int main(int argc, char** argv) { return Tivex_Main(Program_Arguments(argc, argv)); }
