// The entry point of tivex.

#include "app/app.h"
#include "console/console.h"
#include "platform/answers.h"
#include "platform/programs.h"

int main(int argc, char** argv) {
  READ_LINE_HOOK = Platform_Read_Line;
  return Tivex_Main(Program_Arguments(argc, argv));
}
