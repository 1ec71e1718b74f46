#include "app/app.h"

int main() { return Tivex_Main(); }
