#!/usr/bin/env bash
# Runs a program from tivex in a real graphical terminal: Xvfb, no tmux, the
# system's x-terminal-emulator (an xterm on Debian). The program's window
# opens with ConsolePauser's Chinese report drawn in a font that has Chinese
# glyphs, a key sent to it closes it, and tivex goes on. A screenshot is left
# as ARTIFACT_DIR/xterm-report.png.
# Usage: xterm_test.sh TIVEX CONSOLE_PAUSER FAKE_COMPILER ARTIFACT_DIR
set -u
. "$(dirname "$0")/lib.sh"
artifacts=$(realpath -m "$4")
begin "$1" "$2" "$3"
# Xvfb picks a free display and names it on a pipe once it is ready.
exec {ready}< <(Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null)
xvfb=$!
trap 't kill-server >/dev/null 2>&1; kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
read -r -t 20 number <&$ready || { echo "FAILED: Xvfb did not start"; exit 1; }
display=":$number"
export DISPLAY=$display
pane=x:0

settings . "$pauser"
: > 程序.cpp
t new-session -d -s x -x 120 -y 30 -c "$work" "env -u TMUX -u TERMINAL DISPLAY=$display $tivex"
wait_for x:0 "4. 保存信息并退出"
t send-keys -t x:0 2 Enter 程序.cpp Enter 1 Enter
check "tivex started the program" wait_for x:0 "启动成功！"
window=""
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --class 'XTerm|UXTerm' 2>/dev/null | head -1)
  [ -n "$window" ] && break
  sleep 0.1
done
check "a terminal window opened" test -n "$window"
sleep 2
mkdir -p "$artifacts"
shot="$artifacts/xterm-report.png"
import -window root "$shot"
check "the screenshot was taken" test -s "$shot"

# The report's fourth line reads "程序已退出，返回值为 0，…": 值 fills the
# window's columns 16-17 and 为 18-19. xterm's own fonts have glyphs for
# some Chinese characters but not for these two, and draw both as the same
# box; real glyphs differ, and neither is blank.
[ -n "$window" ] || { finish; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"
cell_w=$(( (WIDTH - 4) / 80 )) cell_h=$(( (HEIGHT - 4) / 24 ))
crop() {  # crop COLUMN FILE: two cells of the fourth row of the window
  convert "$shot" -crop "$((2 * cell_w))x${cell_h}+$((X + 2 + $1 * cell_w))+$((Y + 2 + 3 * cell_h))" +repage "$2"
}
crop 16 "$work/first.png"
crop 18 "$work/second.png"
differing=$(compare -metric AE "$work/first.png" "$work/second.png" null: 2>&1)
spread() { convert "$1" -format '%[fx:standard_deviation]' info:; }
check "the report's Chinese is drawn in real glyphs, not boxes ($differing pixels differ)" \
  test "${differing%%.*}" -gt 20
check "the glyphs are not blank" \
  python3 -c "import sys; sys.exit(not (float('$(spread "$work/first.png")') > 0.02 and float('$(spread "$work/second.png")') > 0.02))"

# xterm ignores synthetic key events: the key goes through XTEST to the
# focused window.
xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key x 2>/dev/null
gone() { for _ in $(seq 50); do ! xdotool search --onlyvisible --class 'XTerm|UXTerm' >/dev/null 2>&1 && return 0; sleep 0.1; done; return 1; }
check "a key closes the program's window" gone
t send-keys -t x:0 x
check "tivex goes on" wait_for x:0 "4. 保存信息并退出"

finish
