#!/usr/bin/env bash
# Names that a shell, env or the compiler would read as something else reach
# tmux's window as exactly the program's path.
# Usage: hostile_names_reach_the_window.sh TIVEX CONSOLE_PAUSER FAKE_COMPILER
set -u
. "$(dirname "$0")/lib.sh"
begin "$@"

host="$work/hostile"
mkdir -p "$host/k=v"
cp "$pauser" "$host/k=v/ConsolePauser"
name='x=1 "q" -o y \'
settings "$host" no-pauser
: > "$host/$name.cpp"
: > "$host/date.cpp"
t new-session -d -s host -x 120 -y 40 -c "$host" "$tivex"
t set-option -g remain-on-exit on
pane=host:0
wait_for host:0 "4. 保存信息并退出"
keys host:0 2 Enter
keys host:0 -l "$name.cpp"
keys host:0 Enter 1 Enter
appears "$host/program_ran.txt"
check "a source named with =, quotes and a last backslash runs in its window" \
  test "$(cat "$host/program_ran.txt" 2>/dev/null)" = "fake_program ran"
keys host:0 x 3 Enter 2 Enter
keys host:0 -l "$host/k=v/ConsolePauser"
keys host:0 Enter x 5 Enter 2 Enter date.cpp Enter 1 Enter
check "a ConsolePauser under k=v runs the program named date" wait_for host:2 "程序已退出，返回值为 0"
check "and it ran our date, not the system's" wait_for host:2 "fake_program ran"
t kill-session -t host
t set-option -g remain-on-exit off 2>/dev/null

finish
