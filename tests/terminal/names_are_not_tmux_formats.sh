#!/usr/bin/env bash
# A directory and a source whose names hold "#(cmd)" start nothing in tmux,
# and the program's window is named as the source.
# Usage: names_are_not_tmux_formats.sh TIVEX CONSOLE_PAUSER FAKE_COMPILER
set -u
. "$(dirname "$0")/lib.sh"
begin "$@"

# The server runs in $work, so a command that it ran would leave its marker here.
marker=tivex_marker_$$
odd="$work/d #(touch ${marker}1)"
mkdir "$odd"
settings "$odd" no-pauser
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
appears "$odd/program_ran.txt"
check "the program ran in a window of its own" test -f "$odd/program_ran.txt"
check "no format was expanded" test -z "$(find "$work" "$HOME" -maxdepth 2 -name "$marker*")"
check "the window is named as the source" \
  bash -c "tmux -L '$sock' list-windows -t odd -F '#W' | grep -qxF '#(touch ${marker}2).cpp'"
t kill-session -t odd
t set-option -g remain-on-exit off 2>/dev/null

finish
