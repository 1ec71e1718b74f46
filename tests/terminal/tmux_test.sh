#!/usr/bin/env bash
# Drives tivex in a real terminal: a detached tmux session, answers typed with
# send-keys, the screen read with capture-pane.
# Usage: tmux_test.sh TIVEX CONSOLE_PAUSER FAKE_COMPILER
set -u
tivex=$1 pauser=$2 compiler=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/tivex-tmux.XXXXXX")
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

check() {
  if "${@:2}"; then passed=$((passed + 1)); echo "ok: $1"
  else failed=$((failed + 1)); echo "FAILED: $1"; echo "--- screen:"; screen main:0; fi
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
keys main:0 x
check "tivex is back at the main menu" wait_for main:0 "4. 保存信息并退出"
sleep 0.3
check "the new window waits for a key" wait_for main:1 "请按任意键继续"
keys main:1 x
sleep 0.5
check "a key closes the new window" bash -c "! tmux -L '$sock' list-windows -t main -F '#I' | grep -qx 1"

keys main:0 4 Enter
sleep 3.5
check "choice 4 saves the settings" grep -qF "$pauser" "$work/yolvar_data.qd"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
