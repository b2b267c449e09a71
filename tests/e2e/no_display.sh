#!/usr/bin/env bash
# Without a display, or without a sound device, the game cannot be played: it must say why in
# words a player can act on and end at once with a failure status, not run on deaf or hang.
set -uo pipefail
game="$1"
source "$(dirname "$0")/common.sh"
export AllUsersProfile="$work/profile"
unset STRIKORA_TRACE SDL_VIDEODRIVER
mkdir -p "$AllUsersProfile"

# expect NAME HINT: runs the game (environment already set) and checks how it failed. Where a
# desktop can show it, the failure also opens a box that waits for OK; a signal must end the
# game at once all the same, with the failure's status, so the signal is sent either way.
expect() {
  local started=$SECONDS status
  "$game" >"$work/out.txt" 2>"$work/err.txt" &
  pid=$!
  for _ in $(seq 1 100); do
    grep -qx "Unable to start DirectX." "$work/err.txt" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  sleep 1  # time for a box to open
  kill -TERM "$pid" 2>/dev/null
  for _ in $(seq 1 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    echo "FAIL ($1): still running 3 s after SIGTERM"
    exit 1
  fi
  wait "$pid"
  status=$?
  pid=0
  if [ "$status" -ne 1 ]; then echo "FAIL ($1): exit status $status"; cat "$work/err.txt"; exit 1; fi
  [ $((SECONDS - started)) -le 15 ] || { echo "FAIL ($1): took $((SECONDS - started)) s"; exit 1; }
  grep -qx "Unable to start DirectX." "$work/err.txt" || { echo "FAIL ($1): no message"; cat "$work/err.txt"; exit 1; }
  grep -q -- "$2" "$work/err.txt" || { echo "FAIL ($1): no hint '$2'"; cat "$work/err.txt"; exit 1; }
  echo "ok ($1): $(grep -A1 -x "Unable to start DirectX." "$work/err.txt" | tail -1)"
}

(unset DISPLAY WAYLAND_DISPLAY; ALSOFT_DRIVERS=null expect "no display" "no display to open the game window") || exit 1

start_xvfb
(ALSOFT_DRIVERS=no-such-driver expect "no sound device" "ALSOFT_DRIVERS=null") || exit 1
# Nothing of the first run (its box) is left holding the data folder: the next start is no
# "already running" but the same failure.
(ALSOFT_DRIVERS=no-such-driver expect "no sound device, again" "ALSOFT_DRIVERS=null") || exit 1
echo "PASS"
