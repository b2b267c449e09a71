#!/usr/bin/env bash
# Without a display, or without a sound device, the game cannot be played: it must say why in
# words a player can act on and end at once with a failure status, not run on deaf or hang.
set -uo pipefail
game="$1"
source "$(dirname "$0")/common.sh"
export AllUsersProfile="$work"
unset STRIKORA_TRACE SDL_VIDEODRIVER

# expect NAME HINT: how the game failed. Where a desktop can show it, a box waits for OK; a
# signal must end the game at once all the same, with the failure's status.
expect() {
  timeout --preserve-status -k 3 6 "$game" >/dev/null 2>"$work/err.txt"
  local status=$? why=""
  [ "$status" -eq 1 ] || why="exit status $status"
  grep -qx "Unable to start DirectX." "$work/err.txt" || why="no message"
  grep -q -- "$2" "$work/err.txt" || why="no hint '$2'"
  [ -z "$why" ] || { echo "FAIL ($1): $why"; cat "$work/err.txt"; exit 1; }
  echo "ok ($1): $(grep -A1 -x "Unable to start DirectX." "$work/err.txt" | tail -1)"
}

(unset DISPLAY WAYLAND_DISPLAY; ALSOFT_DRIVERS=null expect "no display" "no display to open the game window") || exit 1

start_xvfb
(ALSOFT_DRIVERS=no-such-driver expect "no sound device" "ALSOFT_DRIVERS=null") || exit 1
# Nothing of the first run (its box) holds the data folder: the same failure, no "already running".
(ALSOFT_DRIVERS=no-such-driver expect "no sound device, again" "ALSOFT_DRIVERS=null") || exit 1
echo "PASS"
