#!/usr/bin/env bash
# The main menu, the settings page and the about screen's pause in a real
# terminal; a program compiled and started in a tmux window of its own through
# ConsolePauser, titled after it and closed by a key; choice 4 saves.
# Usage: program_in_a_tmux_window.sh TIVEX CONSOLE_PAUSER FAKE_COMPILER
set -u
. "$(dirname "$0")/lib.sh"
begin "$@"

settings "$work" "$pauser"
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

# TMUX is inherited by what a pane starts (a graphical terminal, an editor's
# terminal): a tivex in a terminal that is no pane of that server runs the
# program where it is, not in a window of the other server.
trap 't kill-server >/dev/null 2>&1; tmux -L "$sock-other" kill-server >/dev/null 2>&1; rm -rf "$work"' EXIT
tmux -L "$sock-other" new-session -d -s other -x 80 -y 20
foreign=$(tmux -L "$sock-other" display -p -t other:0 'TMUX=#{socket_path},#{pid},0 TMUX_PANE=#{pane_id}')
t new-window -t main: -n foreign -c "$work" "env $foreign '$tivex'"
wait_for main:foreign "4. 保存信息并退出"
keys main:foreign 2 Enter
wait_for main:foreign "请输入 C++ 文件的完整路径："
keys main:foreign a.cpp Enter 0 Enter 1 Enter
check "a foreign TMUX leaves the program in this terminal" wait_for main:foreign "fake_program ran"
check "and opens no window in the other server" \
  bash -c "[ \"\$(tmux -L '$sock-other' list-windows -t other | wc -l)\" = 1 ]"
keys main:foreign x
wait_for main:foreign "启动成功！"
keys main:foreign x
wait_for main:foreign "4. 保存信息并退出"
keys main:foreign 4 Enter

keys main:0 4 Enter
check "choice 4 saves the settings" comes_to_hold "$work/yolvar_data.qd" "$pauser"

finish
