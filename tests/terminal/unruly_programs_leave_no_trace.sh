#!/usr/bin/env bash
# A program that leaves the terminal raw, silent and non-blocking: the key
# waits after it still wait, Alt and a Chinese character is one key, and the
# terminal is as it was.
# Usage: raw_program_leaves_no_trace.sh TIVEX CONSOLE_PAUSER FAKE_COMPILER
set -u
. "$(dirname "$0")/lib.sh"
begin "$@"

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
  appears "$modes/stty.txt"
  check "Alt and a Chinese character is one key ($via)" not_on $via:0 "输入不是自然数"
  check "the terminal is given back as it was before the program ($via)" as_found_whole "$modes/stty.txt"
  t kill-session -t $via 2>/dev/null
done

finish
