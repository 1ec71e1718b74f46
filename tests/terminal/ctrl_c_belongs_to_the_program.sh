#!/usr/bin/env bash
# In a terminal of its own, Ctrl-C ends the program that runs, not tivex;
# arrow keys are whole; SIGTERM at a key wait leaves the terminal as it was.
# Usage: ctrl_c_belongs_to_the_program.sh TIVEX CONSOLE_PAUSER FAKE_COMPILER
set -u
. "$(dirname "$0")/lib.sh"
begin "$@"

sig="$work/signals"
make_loop_dir "$sig"
# Started by sh (dash, the login shell that useradd gives), which a Ctrl-C
# meant for the program would end.
t new-session -d -s sig -x 120 -y 40 -c "$sig" \
  "exec /bin/sh -c 'env -u TMUX $tivex; echo after-tivex; stty -a > stty.txt; sleep 60'"
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
check "and so did the shell that started it" wait_for sig:0 "after-tivex"
appears "$sig/stty.txt"
check "the terminal is as it was at exit" as_found "$sig/stty.txt"
t kill-session -t sig 2>/dev/null
# A signal that ends tivex at a key wait gives the terminal back: SIGTERM,
# and Ctrl-C (the shell around tivex lives on with a trap of its own).
for how in SIGTERM Ctrl-C; do
  rm -f "$sig/stty.txt"
  t new-session -d -s "$how" -x 120 -y 40 -c "$sig" "trap : INT; env -u TMUX $tivex; stty -a > stty.txt; sleep 60"
  pane=$how:0
  wait_for "$how:0" "4. 保存信息并退出"
  keys "$how:0" 3 Enter 4 Enter
  wait_for "$how:0" "请按任意键继续"
  if [ $how = SIGTERM ]; then
    pkill -TERM -P "$(t display -p -t "$how:0" '#{pane_pid}')" -x tivex
  else
    keys "$how:0" C-c
  fi
  appears "$sig/stty.txt"
  check "$how at a key wait gives the terminal back" as_found "$sig/stty.txt"
done

finish
