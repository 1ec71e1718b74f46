#!/usr/bin/env bash
# The key waits: keys typed ahead kept, Ctrl-\ the program's own, Ctrl-C at
# the pauser's wait, no echo, Ctrl-\ at a pause giving the terminal back.
# Usage: key_waits_keep_their_keys.sh TIVEX CONSOLE_PAUSER FAKE_COMPILER
set -u
. "$(dirname "$0")/lib.sh"
begin "$@"

sig="$work/signals"
make_loop_dir "$sig"
t new-session -d -s keys -x 120 -y 40 -c "$sig" "trap : INT QUIT; env -u TMUX $tivex; stty -a > stty.txt; sleep 60"
pane=keys:0
# What the terminal is sent, read raw: a screen that cls clears shows nothing.
t pipe-pane -t keys:0 -o "cat >> '$work/raw.txt'"
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
check "a key pressed at a wait is not echoed" bash -c "! grep -qF '继续. . .q' '$work/raw.txt'"
# Keys typed while the program runs are not the pauser's key (the line
# editor keeps what is typed before the program starts, and a signal key
# would flush the terminal's input: the program is ended from outside).
keys keys:0 2 Enter loop.cpp Enter 0 Enter 1 Enter
wait_for keys:0 "fake_program ran"
keys keys:0 a b
sleep 0.3
pkill -TERM -f "$sig/loop"
wait_for keys:0 "请按任意键继续"
sleep 1
check "keys typed while the program ran do not end the pauser's wait" \
  bash -c "! tmux -L '$sock' capture-pane -p -t keys:0 | grep -q '启动成功\|4. 保存信息并退出'"
keys keys:0 q
wait_for keys:0 "启动成功！"
keys keys:0 q
wait_for keys:0 "4. 保存信息并退出"
keys keys:0 3 Enter 4 Enter
wait_for keys:0 "发布时间"
sleep 0.3
keys keys:0 'C-\'
appears "$sig/stty.txt"
check "Ctrl-\ at a pause ends tivex and gives the terminal back" as_found "$sig/stty.txt"
t kill-session -t keys 2>/dev/null

# A terminal that shows no escapes (TERM=dumb, or none) is sent none: cls
# writes a form feed, as to a redirected output, and no title is set.
for term in dumb ""; do
  t new-session -d -s "plain$term" -x 120 -y 40 -c "$sig" "env -u TMUX TERM=$term $tivex; sleep 60"
  pane=plain$term:0
  t pipe-pane -t "plain$term:0" -o "cat >> '$work/plain$term.txt'"
  wait_for "plain$term:0" "4. 保存信息并退出"
  keys "plain$term:0" 3 Enter 4 Enter
  wait_for "plain$term:0" "请按任意键继续"
  check "TERM=$term gets a form feed for cls" grep -q $'\f' "$work/plain$term.txt"
  check "and no escape at all" bash -c "! grep -q $'\\x1b' '$work/plain$term.txt'"
  t kill-session -t "plain$term" 2>/dev/null
done

finish
