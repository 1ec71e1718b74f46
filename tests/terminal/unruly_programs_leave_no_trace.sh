#!/usr/bin/env bash
# Programs that leave the terminal raw, silent and non-blocking, that make
# themselves its foreground, or that stop themselves: neither tivex nor
# ConsolePauser is left stopped or waiting, the key waits after them still
# wait, Alt and a Chinese character is one key, and the terminal is as it was.
# Usage: unruly_programs_leave_no_trace.sh TIVEX CONSOLE_PAUSER FAKE_COMPILER
set -u
. "$(dirname "$0")/lib.sh"
begin "$@"

as_found_whole() { as_found "$1" && ! grep -qE '(^| )-(isig|opost)( |$)' "$1"; }
# What the program found at its start (its program_signals.txt): no signal
# blocked, none of the first 31 ignored, and its group the terminal's
# foreground.
started_clean() {
  local blocked ignored pgrp fg
  blocked=$(sed -n 's/^SigBlk:\t//p' "$1") ignored=$(sed -n 's/^SigIgn:\t//p' "$1")
  pgrp=$(sed -n 's/^Pgrp:\t//p' "$1") fg=$(sed -n 's/^Foreground:\t//p' "$1")
  [ -n "$ignored" ] && [ $((0x$blocked)) = 0 ] && [ $((0x$ignored & 0x7FFFFFFF)) = 0 ] && [ "$pgrp" = "$fg" ]
}
modes="$work/modes"
mkdir "$modes"
for program in raw foreground stop; do
  cp "$(dirname "$compiler")/fake_program" "$modes/$program"
  : > "$modes/$program.cpp"
  touch -d '1 hour ago' "$modes/$program.cpp"
  echo $program > "$modes/status.txt"
  for via in pauser here; do
    run="$program, $via"
    s=$program-$via
    rm -f "$modes/stty.txt" "$modes/program_signals.txt"
    if [ $via = pauser ]; then settings "$modes" "$pauser"; else settings "$modes" no-pauser; fi
    t new-session -d -s $s -x 120 -y 40 -c "$modes" "env -u TMUX $tivex; stty -a > stty.txt; sleep 60"
    pane=$s:0
    wait_for $s:0 "4. 保存信息并退出"
    keys $s:0 2 Enter $program.cpp Enter 0 Enter 1 Enter
    if [ $via = pauser ]; then
      check "the pauser reports the program's end ($run)" wait_for $s:0 "程序已退出，返回值为 0"
      sleep 0.5
      check "the pauser waits for a key after the program ($run)" not_on $s:0 "启动成功！"
      keys $s:0 M-中
    fi
    check "tivex goes on after the program ($run)" wait_for $s:0 "启动成功！"
    sleep 0.5
    check "tivex's pause waits after the program ($run)" wait_for $s:0 "请按任意键继续"
    check "the screen is not cleared before the key ($run)" wait_for $s:0 "启动成功！"
    keys $s:0 M-中
    wait_for $s:0 "4. 保存信息并退出"
    # The end of input ends tivex at once; the farewell is not what is tested.
    keys $s:0 C-d
    appears "$modes/stty.txt"
    check "Alt and a Chinese character is one key ($run)" not_on $s:0 "输入不是自然数"
    check "the terminal is given back as it was before the program ($run)" as_found_whole "$modes/stty.txt"
    check "the program started with its signals at their defaults, in the foreground ($run)" \
      started_clean "$modes/program_signals.txt"
    t kill-session -t $s 2>/dev/null
  done
done

finish
