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
check "a locale that is not UTF-8 is told once at start" wait_for ed:0 "locale is not UTF-8" 1
keys ed:0 1 Enter 1 Enter
wait_for ed:0 "请输入想要创建的文件的完整目录："
keys ed:0 . Enter 测试好 BSpace Enter
wait_for ed:0 "请按任意键继续"
check "Backspace erases a whole Chinese character" test -f "$ed/测试.cpp"
# libedit takes the reply's "ESC [ ?" as a key of its own before Tivex can
# see it; GNU Readline lets Tivex read the keys first.
if ! ldd "$tivex" | grep -q libedit; then
  keys ed:0 x 1 Enter
  wait_for ed:0 "请输入想要创建的文件的完整目录："
  keys ed:0 . Enter re
  keys ed:0 -l $'\e[?64;1;2;6;9;15c'
  keys ed:0 ply Enter
  wait_for ed:0 "请按任意键继续"
  check "a terminal's reply among the keys is not typed text" test -f "$ed/reply.cpp"
fi
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
# A name typed in between (its directory recalled, so that the paths stay as
# they were): the options question recalls none of it.
keys ed:0 x 5 Enter 1 Enter 1 Enter
wait_for ed:0 "请输入想要创建的文件的完整目录："
keys ed:0 Up Enter zz Enter
wait_for ed:0 "请按任意键继续"
keys ed:0 x 3 Enter 3 Enter 3 Enter
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
# A line end put into an answer (Ctrl-V Ctrl-J) is refused at every kind of
# question; a name whose controls would reach the terminal is not offered by
# Tab, neither in the line nor in the list. What the terminal is sent is
# read raw, before any screen clears it.
: > "$ed/tab/c"$'\302\233'"x.cpp"
: > "$ed/tab/c"$'\302\233'"y.cpp"
t pipe-pane -t ed:0 -o "cat >> '$work/raw.txt'"
keys ed:0 1 C-v C-j Enter
check "a line end in a menu answer is refused" wait_for ed:0 "输入不是自然数"
keys ed:0 1 Enter
wait_for ed:0 "请输入想要创建的文件的完整目录："
keys ed:0 . C-v C-j Enter
check "a line end in a directory is refused" wait_for ed:0 "路径无效，请重新输入。"
keys ed:0 . Enter ab C-v C-j cd Enter
check "a line end in a new file's name is refused" wait_for ed:0 "创建失败！（文件名中不能有换行）"
check "and no such file is made" test -z "$(find "$ed" -maxdepth 1 -name 'ab*')"
keys ed:0 x 2 Enter
wait_for ed:0 "请输入想要打开的文件的完整目录："
keys ed:0 tab/c Tab Tab
sleep 0.5
keys ed:0 C-u tab/MAIN.CPP C-v C-j Enter
check "a line end in a source path is refused" wait_for ed:0 "路径无效，请重新输入。"
keys ed:0 tab/MAIN.CPP Enter
wait_for ed:0 "请按任意键继续"
check "Tab sends no control of a name to the terminal" bash -c "! grep -q $'\\xc2\\x9b' '$work/raw.txt'"
keys ed:0 x 3 Enter 3 Enter 3 Enter
wait_for ed:0 "请输入新编译选项："
keys ed:0 -- -O C-v C-j 2 Enter
check "a line end in the options is refused" wait_for ed:0 "编译选项中不能有换行，请重新输入。"
keys ed:0 -- -O2 Enter x 5 Enter 1 Enter
wait_for ed:0 "3. 返回"
keys ed:0 C-c
appears "$ed/stty.txt"
check "Ctrl-C at a question ends tivex and gives the terminal back" as_found "$ed/stty.txt"
t kill-session -t ed 2>/dev/null

# Ctrl-Z and fg in a shell with job control: the half-typed line is drawn
# again, and what is saved is what the screen shows.
t new-session -d -s job -x 120 -y 40 -c "$ed" "env PS1='$ ' bash --norc --noprofile -i"
pane=job:0
wait_for job:0 '$'
keys job:0 "$tivex" Enter
wait_for job:0 "4. 保存信息并退出"
keys job:0 3 Enter 3 Enter
wait_for job:0 "请输入新编译选项："
keys job:0 -- -Wall
sleep 0.3
keys job:0 C-z
wait_for job:0 "Stopped"
keys job:0 fg Enter
sleep 0.5
keys job:0 X
check "after Ctrl-Z and fg the line being edited is drawn again" \
  bash -c "tmux -L '$sock' capture-pane -p -t job:0 | grep -qx -- -WallX"
keys job:0 Enter x 3 Enter
check "and what is saved is what was shown" wait_for job:0 "当前编译选项：-WallX"
t kill-session -t job 2>/dev/null

finish
