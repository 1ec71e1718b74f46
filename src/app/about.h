// What the about screen says of the program.

#pragma once

#include "version.h"

#define ABOUT_AUTHOR "Tivex 开发组"
#define ABOUT_LINK "https://tivex.example.org/"
#define ABOUT_DESCRIPTION "为初学者准备的命令行 C++ 编辑、编译与运行工具。"
#define ABOUT_VERSION "v" TIVEX_VERSION
#define ABOUT_DATE TIVEX_RELEASE_DATE
