# Helpers that the terminal tests source: a tmux server of their own, its
# screens and keys, waits, checks and the count of them.
# A test calls `begin TIVEX CONSOLE_PAUSER FAKE_COMPILER` first (the Windows
# lane, which has no such programs, sets `sock` itself) and `finish` last.

failed=0 passed=0
pane=main:0  # the pane shown when a check fails

t() { tmux -L "$sock" "$@"; }
screen() { t capture-pane -p -t "$1" 2>/dev/null; }
history() { t capture-pane -p -S - -t "$1" 2>/dev/null; }
keys() { t send-keys -t "$1" "${@:2}"; }

# Waits until the screen of pane $1 shows $2; false after $3 seconds (10).
# The screen is read whole before grep, which under pipefail could fail the
# pipe by stopping early.
wait_for() {
  for _ in $(seq $((${3:-10} * 10))); do
    grep -qF -- "$2" <<<"$(screen "$1")" && return 0
    sleep 0.1
  done
  return 1
}

not_on() { ! grep -qF -- "$2" <<<"$(history "$1")"; }

# Whether file $1 comes to hold $2 within five seconds.
comes_to_hold() {
  for _ in $(seq 50); do grep -qF -- "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done
  return 1
}

# Waits up to five seconds for the file $1.
appears() {
  for _ in $(seq 50); do [ -e "$1" ] && return 0; sleep 0.1; done
  return 1
}

# Whether the terminal saved in $1 (stty -a) edits lines and echoes, as it
# did before.
as_found() { [ -f "$1" ] && ! grep -qE '(^| )-(icanon|echo)( |$)' "$1"; }

# check NAME COMMAND...: counts and tells whether COMMAND succeeds.
check() {
  if "${@:2}"; then passed=$((passed + 1)); echo "ok: $1"
  else failed=$((failed + 1)); echo "FAILED: $1"; echo "--- screen of $pane:"; screen "$pane"; fi
}

# A scratch directory as the working directory, and a tmux server of the
# test's own, both gone at the end.
begin() {
  tivex=$(realpath "$1") pauser=$(realpath "$2") compiler=$(realpath "$3")
  work=$(mktemp -d "${TMPDIR:-/tmp}/tivex-tmux.XXXXXX")
  cd "$work" || exit 1
  sock="tivex-test-$$"
  trap 't kill-server >/dev/null 2>&1; rm -rf "$work"' EXIT
  # A server with no session left ends, and the next session a test starts
  # may meet it ending ("server exited unexpectedly"): one session stays.
  # It watches this test, and when a timeout kills the test without its trap
  # it removes the folder and ends the server, and with it every tivex.
  t new-session -d -s keep-server \
    "while kill -0 $$ 2>/dev/null; do sleep 1; done; rm -rf '$work'; tmux -L '$sock' kill-server"
}

# Writes the settings in folder $1: the compiler, and the ConsolePauser $2.
settings() { printf '%s\r\n%s\r\n' "$compiler" "$2" > "$1/yolvar_data.qd"; }

finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

# A ConsolePauser setting of "no-pauser" names nothing: the program starts
# directly (an empty one would be the ConsolePauser beside tivex).

# Makes the directory $1 with the settings of the compiler and ConsolePauser,
# and loop.cpp, an hour older than its program "loop": a fake_program that
# runs until something ends it.
make_loop_dir() {
  mkdir -p "$1"
  settings "$1" "$pauser"
  cp "$(dirname "$compiler")/fake_program" "$1/loop"
  echo loop > "$1/status.txt"
  : > "$1/loop.cpp"
  touch -d '1 hour ago' "$1/loop.cpp"
}
