#!/usr/bin/env bash
# Answers edited at a terminal: whole Chinese characters, cursor keys,
# histories per kind of question, Tab completion of paths as typed.
# Usage: answers_are_edited_by_whole_characters.sh TIVEX CONSOLE_PAUSER FAKE_COMPILER
set -u
. "$(dirname "$0")/lib.sh"
begin "$@"

ed="$work/editing"
mkdir -p "$ed/中文 目录" "$ed/my dir"
: > "$ed/中文 目录/程序 一.cpp"
: > "$ed/my dir/a b.cpp"
: > "$ed/my dir/notes.txt"
# Under the C locale too, characters are whole. (The shell around tivex
# survives Ctrl-C with a trap of its own; tivex gets SIGINT as it is.)
t new-session -d -s ed -x 120 -y 40 -c "$ed" \
  "trap : INT; env LC_ALL=C VISUAL=$(dirname "$compiler")/fake_program $tivex; stty -a > stty.txt; sleep 60"
pane=ed:0
wait_for ed:0 "4. 保存信息并退出"
keys ed:0 1 Enter 1 Enter
wait_for ed:0 "请输入想要创建的文件的完整目录："
keys ed:0 . Enter 测试好 BSpace Enter
wait_for ed:0 "请按任意键继续"
check "Backspace erases a whole Chinese character" test -f "$ed/测试.cpp"
keys ed:0 x 1 Enter
wait_for ed:0 "请输入想要创建的文件的完整目录："
keys ed:0 Up Enter ab Left X End Y Home Z Enter
wait_for ed:0 "请按任意键继续"
check "Up recalls a directory and the arrows move the cursor" test -f "$ed/ZaXbY.cpp"
keys ed:0 x 2 Enter
wait_for ed:0 "请输入想要打开的文件的完整目录："
keys ed:0 中 Tab 程 Tab Enter
wait_for ed:0 "请按任意键继续"
keys ed:0 x 2 Enter
wait_for ed:0 "请输入想要打开的文件的完整目录："
keys ed:0 my Tab a Tab Enter
wait_for ed:0 "请按任意键继续"
opened=$(printf 'fake_program ran [中文 目录/程序 一.cpp]\nfake_program ran [my dir/a b.cpp]')
check "Tab completes Chinese names and names with spaces, as typed" \
  test "$(cat "$ed/program_ran.txt")" = "$opened"
keys ed:0 x
wait_for ed:0 "3. 返回"
# Tab offers at each question what it asks for, in any letter case; paths
# recall paths and options recall options.
mkdir "$ed/tab"
: > "$ed/tab/MAIN.CPP"
: > "$ed/tab/MAIN.TXT"
cp /bin/true "$ed/tab/MAINPROG"
keys ed:0 2 Enter
wait_for ed:0 "请输入想要打开的文件的完整目录："
keys ed:0 tab/MAIN. Tab Enter
wait_for ed:0 "请按任意键继续"
keys ed:0 x 3 Enter 3 Enter 3 Enter
wait_for ed:0 "请输入新编译选项："
keys ed:0 -- -O2 Enter
wait_for ed:0 "设置成功！"
keys ed:0 x 1 Enter
wait_for ed:0 "请输入新编译器路径："
keys ed:0 tab/MAIN Tab Enter
wait_for ed:0 "设置成功！"
keys ed:0 x 3 Enter
wait_for ed:0 "请输入新编译选项："
keys ed:0 Up Enter
wait_for ed:0 "设置成功！"
keys ed:0 x 3 Enter
check "options recall options" wait_for ed:0 "当前编译选项：-O2"
keys ed:0 Up Enter
wait_for ed:0 "设置成功！"
keys ed:0 x 1 Enter
check "the compiler question offered only the program" wait_for ed:0 "当前编译器路径：tab/MAINPROG"
keys ed:0 Up Enter
wait_for ed:0 "设置成功！"
keys ed:0 x 5 Enter 1 Enter 2 Enter
wait_for ed:0 "请输入想要打开的文件的完整目录："
keys ed:0 Up Up Enter
wait_for ed:0 "请按任意键继续"
check "the source question offered MAIN.CPP alone, and paths recall paths" \
  test "$(tail -2 "$ed/program_ran.txt")" = "$(printf 'fake_program ran [tab/MAIN.CPP]\nfake_program ran [tab/MAIN.CPP]')"
keys ed:0 x
wait_for ed:0 "3. 返回"
keys ed:0 C-c
appears "$ed/stty.txt"
check "Ctrl-C at a question ends tivex and gives the terminal back" as_found "$ed/stty.txt"
t kill-session -t ed 2>/dev/null

finish
