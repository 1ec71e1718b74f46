#!/usr/bin/env bash
# Drives tivex in a real terminal: a detached tmux session, answers typed with
# send-keys, the screen read with capture-pane.
# Usage: tmux_test.sh TIVEX CONSOLE_PAUSER FAKE_COMPILER
set -u
tivex=$1 pauser=$2 compiler=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/tivex-tmux.XXXXXX")
cd "$work" || exit 1
sock="tivex-test-$$"
t() { tmux -L "$sock" "$@"; }
trap 't kill-server >/dev/null 2>&1; rm -rf "$work"' EXIT
failed=0 passed=0

screen() { t capture-pane -p -t "$1" 2>/dev/null; }
history() { t capture-pane -p -S - -t "$1" 2>/dev/null; }

# Waits until the screen of pane $1 shows $2; false after ten seconds.
wait_for() {
  for _ in $(seq 100); do
    screen "$1" | grep -qF -- "$2" && return 0
    sleep 0.1
  done
  return 1
}

pane=main:0  # the pane shown when a check fails
check() {
  if "${@:2}"; then passed=$((passed + 1)); echo "ok: $1"
  else failed=$((failed + 1)); echo "FAILED: $1"; echo "--- screen:"; screen "$pane"; fi
}

not_on() { ! history "$1" | grep -qF -- "$2"; }
keys() { t send-keys -t "$1" "${@:2}"; }

printf '%s\r\n%s\r\n' "$compiler" "$pauser" > "$work/yolvar_data.qd"
: > "$work/a.cpp"
t new-session -d -s main -x 120 -y 40 -c "$work" "$tivex"

check "the main menu is typed out" wait_for main:0 "4. 保存信息并退出"

keys main:0 3 Enter
check "the settings page comes" wait_for main:0 "5. 返回"
check "the screen was cleared before it" not_on main:0 "1. 编辑 C++ 文件"

keys main:0 4 Enter
check "the about screen pauses" wait_for main:0 "请按任意键继续. . ."
sleep 0.5
check "pause waits for a key" not_on main:0 "5. 返回"
keys main:0 x
check "a key ends the pause" wait_for main:0 "5. 返回"
keys main:0 5 Enter
check "the next answer is not eaten by the pause" wait_for main:0 "4. 保存信息并退出"

keys main:0 2 Enter
wait_for main:0 "请输入 C++ 文件的完整路径："
keys main:0 a.cpp Enter
check "the program is compiled" wait_for main:0 "是否需要运行？（0/1）"
keys main:0 1 Enter
check "tivex says the start succeeded" wait_for main:0 "启动成功！"
check "a new window runs the program through ConsolePauser" wait_for main:1 "fake_program ran"
check "the new window shows the return value" wait_for main:1 "程序已退出，返回值为 0，用时"
check "the pauser's window is named after the program" \
  bash -c "tmux -L '$sock' list-windows -t main -F '#W' | grep -qx a"
check "and the pauser titles its terminal after the program" \
  bash -c "tmux -L '$sock' display -p -t main:1 '#{pane_title}' | grep -qx a"

keys main:0 x
check "tivex is back at the main menu" wait_for main:0 "4. 保存信息并退出"
sleep 0.3
check "the new window waits for a key" wait_for main:1 "请按任意键继续"
keys main:1 x
sleep 0.5
check "a key closes the new window" bash -c "! tmux -L '$sock' list-windows -t main -F '#I' | grep -qx 1"

keys main:0 4 Enter
# Whether file $1 comes to hold $2 within five seconds.
comes_to_hold() {
  for _ in $(seq 50); do grep -qF -- "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done
  return 1
}
check "choice 4 saves the settings" comes_to_hold "$work/yolvar_data.qd" "$pauser"

# --- Names that tmux would read as formats: a directory and a source whose
# names hold "#(cmd)" start nothing, and the window is named as the source.
# The server runs in $work, so a command that it ran would leave its marker here.
marker=tivex_marker_$$
odd="$work/d #(touch ${marker}1)"
mkdir "$odd"
printf '%s\r\n\r\n' "$compiler" > "$odd/yolvar_data.qd"
: > "$odd/#(touch ${marker}2).cpp"
# tmux would expand the format in the directory's name here too.
t new-session -d -s odd -x 120 -y 40 -c "${odd//#/##}" "$tivex"
# The program's window stays when the program ends, to be looked at.
t set-option -g remain-on-exit on
pane=odd:0
wait_for odd:0 "4. 保存信息并退出"
keys odd:0 2 Enter "#(touch ${marker}2).cpp" Enter
wait_for odd:0 "是否需要运行？（0/1）"
keys odd:0 1 Enter
for _ in $(seq 50); do [ -f "$odd/program_ran.txt" ] && break; sleep 0.1; done
check "the program ran in a window of its own" test -f "$odd/program_ran.txt"
check "no format was expanded" test -z "$(find "$work" "$HOME" -maxdepth 2 -name "$marker*")"
check "the window is named as the source" \
  bash -c "tmux -L '$sock' list-windows -t odd -F '#W' | grep -qxF '#(touch ${marker}2).cpp'"
t kill-session -t odd
t set-option -g remain-on-exit off 2>/dev/null

# Whether the terminal saved in $1 edits lines and echoes, as it did before.
as_found() { [ -f "$1" ] && ! grep -qE '(^| )-(icanon|echo)( |$)' "$1"; }

# --- Line editing: whole Chinese characters, cursor keys, history, and Tab
# completion of paths with spaces and Chinese names.
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
for _ in $(seq 50); do [ -f "$ed/stty.txt" ] && break; sleep 0.1; done
check "Ctrl-C at a question ends tivex and gives the terminal back" as_found "$ed/stty.txt"
t kill-session -t ed 2>/dev/null

# --- Ctrl-C and the terminal: in a terminal of its own (no tmux windows),
# Ctrl-C ends the program that runs, not tivex; keys are whole; a signal at
# a key wait leaves the terminal as it was.
sig="$work/signals"
mkdir "$sig"
printf '%s\r\n%s\r\n' "$compiler" "$pauser" > "$sig/yolvar_data.qd"
cp "$(dirname "$compiler")/fake_program" "$sig/loop"
echo loop > "$sig/status.txt"
: > "$sig/loop.cpp"
touch -d '1 hour ago' "$sig/loop.cpp"
t new-session -d -s sig -x 120 -y 40 -c "$sig" "env -u TMUX $tivex; stty -a > stty.txt; sleep 60"
pane=sig:0
wait_for sig:0 "4. 保存信息并退出"
keys sig:0 3 Enter 4 Enter
wait_for sig:0 "请按任意键继续"
keys sig:0 Down
sleep 0.3
keys sig:0 5 Enter
wait_for sig:0 "4. 保存信息并退出"
check "an arrow key at a key wait is one key" not_on sig:0 "输入不是自然数"
keys sig:0 2 Enter loop.cpp Enter 0 Enter 1 Enter
wait_for sig:0 "正在通过 ConsolePauser 启动程序"
sleep 0.5
keys sig:0 C-c
check "Ctrl-C ends the program, and the pauser tells so" wait_for sig:0 "程序被信号 2（被 Ctrl-C 中断）终止"
keys sig:0 x
wait_for sig:0 "启动成功！"
keys sig:0 x 3 Enter 3 Enter -O2 Enter
wait_for sig:0 "设置成功！"
keys sig:0 x 5 Enter 4 Enter
check "tivex lived on and saved what was set after Ctrl-C" comes_to_hold "$sig/yolvar_data.qd" "-O2"
for _ in $(seq 50); do [ -f "$sig/stty.txt" ] && break; sleep 0.1; done
check "the terminal is as it was at exit" as_found "$sig/stty.txt"
t kill-session -t sig 2>/dev/null
rm -f "$sig/stty.txt"
t new-session -d -s sig2 -x 120 -y 40 -c "$sig" "env -u TMUX $tivex; stty -a > stty.txt; sleep 60"
pane=sig2:0
wait_for sig2:0 "4. 保存信息并退出"
keys sig2:0 3 Enter 4 Enter
wait_for sig2:0 "请按任意键继续"
pkill -TERM -P "$(t display -p -t sig2:0 '#{pane_pid}')" -x tivex
for _ in $(seq 50); do [ -f "$sig/stty.txt" ] && break; sleep 0.1; done
check "SIGTERM at a key wait gives the terminal back" as_found "$sig/stty.txt"

# --- Signals at the key waits: Ctrl-\ is the program's own (default in the
# child), Ctrl-C at the pauser's wait ends only the pauser, a key pressed at
# a wait is not echoed, and Ctrl-\ at tivex's pause gives the terminal back.
rm -f "$sig/stty.txt"
t new-session -d -s keys -x 120 -y 40 -c "$sig" "trap : INT QUIT; env -u TMUX $tivex; stty -a > stty.txt; sleep 60"
pane=keys:0
wait_for keys:0 "4. 保存信息并退出"
# Keys typed ahead of tivex's pause are kept: one for the pause, the rest
# for the next question.
keys keys:0 3 Enter 4 Enter x 5 Enter
sleep 1.5
check "keys typed ahead of a pause are kept" bash -c "! tmux -L '$sock' capture-pane -p -t keys:0 | grep -q '输入不'"
wait_for keys:0 "4. 保存信息并退出"
keys keys:0 2 Enter loop.cpp Enter 0 Enter 1 Enter
wait_for keys:0 "正在通过 ConsolePauser 启动程序"
sleep 0.5
keys keys:0 'C-\'
check "Ctrl-\ ends the program by its default action" wait_for keys:0 "程序被信号 3（被 Ctrl-\ 退出）终止"
wait_for keys:0 "请按任意键继续"
keys keys:0 C-c
check "Ctrl-C at the pauser's wait ends only the pauser" wait_for keys:0 "启动成功！"
keys keys:0 q
wait_for keys:0 "4. 保存信息并退出"
check "a key pressed at a wait is not echoed" not_on keys:0 "继续. . .q"
keys keys:0 3 Enter 4 Enter
wait_for keys:0 "发布时间"
sleep 0.3
keys keys:0 'C-\'
for _ in $(seq 50); do [ -f "$sig/stty.txt" ] && break; sleep 0.1; done
check "Ctrl-\ at a pause ends tivex and gives the terminal back" as_found "$sig/stty.txt"
t kill-session -t keys 2>/dev/null

# --- A program that leaves the terminal raw, silent and non-blocking: the
# key waits after it still wait, Alt and a Chinese character is one key, and
# the terminal is as it was when tivex ends.
as_found_whole() { as_found "$1" && ! grep -qE '(^| )-(isig|opost)( |$)' "$1"; }
modes="$work/modes"
mkdir "$modes"
cp "$(dirname "$compiler")/fake_program" "$modes/raw"
echo raw > "$modes/status.txt"
: > "$modes/raw.cpp"
touch -d '1 hour ago' "$modes/raw.cpp"
for via in pauser here; do
  rm -f "$modes/stty.txt"
  if [ $via = pauser ]; then printf '%s\r\n%s\r\n' "$compiler" "$pauser"; else printf '%s\r\n\r\n' "$compiler"; fi \
    > "$modes/yolvar_data.qd"
  t new-session -d -s $via -x 120 -y 40 -c "$modes" "env -u TMUX $tivex; stty -a > stty.txt; sleep 60"
  pane=$via:0
  wait_for $via:0 "4. 保存信息并退出"
  keys $via:0 2 Enter raw.cpp Enter 0 Enter 1 Enter
  if [ $via = pauser ]; then
    wait_for $via:0 "程序已退出"
    sleep 0.5
    check "the pauser waits for a key after a program left input non-blocking" not_on $via:0 "启动成功！"
    keys $via:0 M-中
  fi
  wait_for $via:0 "启动成功！"
  sleep 0.5
  check "tivex's pause waits after such a program ($via)" wait_for $via:0 "请按任意键继续"
  check "the screen is not cleared before the key ($via)" wait_for $via:0 "启动成功！"
  keys $via:0 M-中
  wait_for $via:0 "4. 保存信息并退出"
  keys $via:0 4 Enter
  for _ in $(seq 50); do [ -f "$modes/stty.txt" ] && break; sleep 0.1; done
  check "Alt and a Chinese character is one key ($via)" not_on $via:0 "输入不是自然数"
  check "the terminal is given back as it was before the program ($via)" as_found_whole "$modes/stty.txt"
  t kill-session -t $via 2>/dev/null
done

# --- Names that a shell, env or the compiler would read as something else
# reach tmux's window as exactly the program's path.
host="$work/hostile"
mkdir -p "$host/k=v"
cp "$pauser" "$host/k=v/ConsolePauser"
name='x=1 "q" -o y \'
printf '%s\r\n\r\n' "$compiler" > "$host/yolvar_data.qd"
: > "$host/$name.cpp"
: > "$host/date.cpp"
t new-session -d -s host -x 120 -y 40 -c "$host" "$tivex"
t set-option -g remain-on-exit on
pane=host:0
wait_for host:0 "4. 保存信息并退出"
keys host:0 2 Enter
keys host:0 -l "$name.cpp"
keys host:0 Enter 1 Enter
for _ in $(seq 50); do [ -f "$host/program_ran.txt" ] && break; sleep 0.1; done
check "a source named with =, quotes and a last backslash runs in its window" \
  test "$(cat "$host/program_ran.txt" 2>/dev/null)" = "fake_program ran"
keys host:0 x 3 Enter 2 Enter
keys host:0 -l "$host/k=v/ConsolePauser"
keys host:0 Enter x 5 Enter 2 Enter date.cpp Enter 1 Enter
check "a ConsolePauser under k=v runs the program named date" wait_for host:2 "程序已退出，返回值为 0"
check "and it ran our date, not the system's" wait_for host:2 "fake_program ran"
t kill-session -t host
t set-option -g remain-on-exit off 2>/dev/null

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
